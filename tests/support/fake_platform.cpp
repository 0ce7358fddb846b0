#include "fake_platform.h"

#include <QApplication>
#include <QCursor>

#include "linux_platform.h"

namespace pelorin::test {

QPoint FakePlatform::cursorPos()
{
    return useRealCursor ? QCursor::pos() : cursor;
}

bool FakePlatform::fileOpenElsewhere(const QString& path)
{
    return useRealOpenFiles ? FileOpenByOtherProcess(path) : filesOpenElsewhere.contains(path);
}

QWidget* FakePlatform::activeWindow()
{
    return useRealActiveWindow ? QApplication::activeWindow() : active;
}

} // namespace pelorin::test
