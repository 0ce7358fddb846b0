// Modal Arabic message boxes. Style values are those of platform.h (MsgStyle), added up.
#pragma once

#include <QString>

#include "platform.h"

namespace pelorin::chrome {

int MsgBox(const QString& text, int style, const QString& title);

} // namespace pelorin::chrome
