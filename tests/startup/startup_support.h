// Helpers shared by the start-up tests.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "fake_platform.h"

namespace pelorin::test {

// Runs f and reports whether it ended the program (through the platform double).
template <class F> bool EndsProgram(F&& f)
{
    try {
        f();
    } catch (const ProgramEnded&) {
        return true;
    }
    return false;
}

// The visible top-level windows of type W.
template <class W> QList<W*> VisibleWindows()
{
    QList<W*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* typed = qobject_cast<W*>(w); typed && typed->isVisible()) found << typed;
    return found;
}

inline int VisibleWindowCount()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow() && !w->inherits("QMenu")) ++n;
    return n;
}

inline void DeleteAllWindows()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows << w;
    for (const QPointer<QWidget>& w : windows)
        delete w.data();
    QApplication::processEvents();
}

} // namespace pelorin::test
