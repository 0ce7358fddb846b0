// The floor of a start: a bare Qt window, shown. Says "shown" on stderr once it is.
#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(723, 420);
    window.show();
    std::fputs("shown\n", stderr);
    std::fflush(stderr);
    return 0;
}
