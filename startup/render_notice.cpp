// render_notice PNG: draws the language notice's message with this machine's Arabic font. The
// build refuses to go on without one rather than deliver a notice of empty boxes.
#include <QApplication>
#include <QFontDatabase>

#include <cstdio>

#include "notice_picture.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_notice PNG\n");
        return 2;
    }
    if (QFontDatabase::families(QFontDatabase::Arabic).isEmpty()) {
        std::fprintf(stderr,
                     "render_notice: no font with Arabic letters here (install fonts-noto-ui-core)\n");
        return 1;
    }
    const QPixmap picture =
        pelorin::startup::RenderNotice(pelorin::startup::NoticeLines(), pelorin::startup::kMessageSize);
    if (!picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "render_notice: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
