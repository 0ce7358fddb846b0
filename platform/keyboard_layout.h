#pragma once

#include <QString>

namespace pelorin {

// Locks the X keyboard to the layout group whose name is the language ("ar" for Arabic).
// False when the session is not X11 or no such group is configured.
bool switchXkbGroup(const QString& language);

} // namespace pelorin
