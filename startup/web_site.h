// The maker's web site: one base address, chosen when the program is built.
#pragma once

#include <QString>

namespace pelorin::startup {

QString WebSiteAddress();
// The page that explains how to add Arabic support to a system without it.
QString HelpPageAddress();

} // namespace pelorin::startup
