// The common look of every window: colours, fonts and the hand pointer.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

class QWidget;

namespace pelorin::chrome {

inline const QColor kPurple(128, 0, 128);
inline const QColor kLightPink(255, 192, 255);
inline const QColor kWhite(255, 255, 255);

// The picture ":/pelorin/<name>.svg" rendered crisply at logicalSize (logical pixels) for the
// screen's device pixel ratio; an empty size means the picture's own size. Falls back to
// "<name>.png"; a name with no picture gives a null pixmap, which callers must tolerate.
QPixmap Picture(const QString& name, const QSize& logicalSize = QSize());
// The program's icon, at every size a window manager asks for.
QIcon AppIcon();

// The Arabic UI font at a size in points (with fallbacks for Latin text).
QFont ArabicFont(qreal pointSize, bool bold = false);
// The pointing-hand cursor of everything clickable (hot spot 6, 0 of 32 x 32).
QCursor HandCursor();
void SetHandCursor(QWidget* w);
// Purple background, white labels, light-pink buttons: the style sheet of a whole window.
QString WindowStyleSheet();
// White text boxes with purple text and selection.
QString EntryStyleSheet();
// White lists with a purple selection under light-pink column headers.
QString ListStyleSheet();

} // namespace pelorin::chrome
