// Mouse events delivered straight to one widget, as Qt delivers them while that widget holds
// the implicit grab (so a release can arrive with the pointer outside it).
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace pelorin::test {

inline void sendMouse(QWidget* w, QEvent::Type type, QPointF local, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
{
    const QPointF global = w->mapToGlobal(local);
    QMouseEvent e(type, local, w->window()->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void press(QWidget* w, QPointF at, Qt::MouseButton b = Qt::LeftButton, Qt::MouseButtons held = {})
{
    sendMouse(w, QEvent::MouseButtonPress, at, b, held | b);
}

inline void release(QWidget* w, QPointF at, Qt::MouseButton b = Qt::LeftButton, Qt::MouseButtons held = {})
{
    sendMouse(w, QEvent::MouseButtonRelease, at, b, held);
}

inline void moveTo(QWidget* w, QPointF at, Qt::MouseButtons held = {})
{
    sendMouse(w, QEvent::MouseMove, at, Qt::NoButton, held);
}

} // namespace pelorin::test
