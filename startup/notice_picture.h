// The language notice's message, drawn as a picture. The build draws it once (render_notice), so
// that the notice reads correctly on a system without any Arabic font, where it is shown.
#pragma once

#include <QPixmap>
#include <QStringList>

namespace pelorin::startup {

inline const QSize kMessageSize(425, 156);

// The five lines of the message.
const QStringList& NoticeLines();
// Draws the lines centred, one under the other, in the Arabic font, on a transparent picture.
QPixmap RenderNotice(const QStringList& lines, const QSize& size);

} // namespace pelorin::startup
