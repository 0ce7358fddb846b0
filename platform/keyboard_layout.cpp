#include "keyboard_layout.h"

namespace pelorin {

bool switchXkbGroup(const QString& language)
{
    Q_UNUSED(language);
    return false;
}

} // namespace pelorin
