// The stored design of the printed loan ledger, one instance for the whole program.
#pragma once

#include "report_design.h"

namespace pelorin::ledger {

// A fresh copy of the stored design (no data source, the title label still at its design text).
report::ReportDesign MakeDRPelorin();

// The program-wide design, created on first use and kept.
report::ReportDesign& DRPelorin();

} // namespace pelorin::ledger
