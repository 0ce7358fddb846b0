#include "msgbox.h"

namespace pelorin::chrome {

int MsgBox(const QString& text, int style, const QString& title)
{
    return platform().msgBox(text, style, title);
}

} // namespace pelorin::chrome
