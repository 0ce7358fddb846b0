#include "fake_platform.h"

#include <QApplication>
#include <QCursor>

namespace pelorin::test {

QPoint FakePlatform::cursorPos()
{
    return useRealCursor ? QCursor::pos() : cursor;
}

QWidget* FakePlatform::activeWindow()
{
    return useRealActiveWindow ? QApplication::activeWindow() : active;
}

} // namespace pelorin::test
