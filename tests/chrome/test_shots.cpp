// Pictures for a person to look at: set PELORIN_SHOTS to write them.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QPainter>

#include "fake_platform.h"
#include "frameless_window.h"
#include "image_button.h"
#include "style.h"
#include "twips.h"

using namespace pelorin::chrome;

TEST(Shots, SampleWindowAndEveryPicture)
{
    const QString dir = qEnvironmentVariable("PELORIN_SHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "PELORIN_SHOTS not set";
    QDir().mkpath(dir);
    pelorin::test::FakePlatform platform;

    ChromeLayout l;
    l.clientWidth = 5445;
    l.clientHeight = 3780;
    l.titleRect = QRect(1050, 75, 3405, 255);
    l.title = QStringLiteral("حول البرنامج");
    l.exitLeft = 5180;
    FramelessWindow w(l);
    auto* text = new QLabel(QStringLiteral("نافذة تجريبية بإطار مرسوم"), &w);
    text->setGeometry(twRect(400, 900, 4600, 400));
    text->setAlignment(Qt::AlignCenter);
    int x = 40;
    for (const char* name : {"about", "report", "update", "compact", "calendar"}) {
        auto* b = new ImageButton(QLatin1String(name), &w);
        b->setGeometry(x, 120, 32, 32);
        x += 40;
    }
    auto* banner = new QLabel(&w);
    banner->setPixmap(Picture(QStringLiteral("banner_a")));
    banner->setGeometry(80, 180, 200, 40);
    EXPECT_TRUE(w.grab().save(dir + QStringLiteral("/chrome_window.png")));

    // Every picture at its size and enlarged four times, on purple and on white.
    const QStringList names{"about_up",    "about_down", "report_up",    "report_down", "update_up",
                            "update_down", "compact_up", "compact_down", "calendar_up", "calendar_down",
                            "exit_up",     "exit_down",  "exit_move",    "sort_up",     "sort_down",
                            "hand",        "app_icon"};
    const int cell = 140;
    QImage sheet(cell * 9, cell * 2 * 2 + 220, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 7));
    for (int i = 0; i < names.size(); ++i) {
        const QRect box((i % 9) * cell, (i / 9) * cell * 2, cell, cell * 2);
        p.fillRect(box.adjusted(2, 2, -2, -cell), kPurple);
        const QPixmap small = Picture(names[i]);
        const QSize big = names[i] == QLatin1String("app_icon") ? QSize(96, 96)
                                                                : small.deviceIndependentSize().toSize() * 4;
        p.drawPixmap(box.left() + 10, box.top() + 10, small);
        p.drawPixmap(box.left() + 10, box.top() + cell + 10, Picture(names[i], big));
        p.drawPixmap(box.left() + 60, box.top() + 10, Picture(names[i], big / 2));
        p.setPen(Qt::black);
        p.drawText(box.left() + 4, box.bottom() - 4, names[i]);
    }
    const int y = cell * 4 + 10;
    p.drawPixmap(10, y, Picture(QStringLiteral("banner_a")));
    p.drawPixmap(230, y, Picture(QStringLiteral("banner_b")));
    p.drawPixmap(10, y + 60, Picture(QStringLiteral("banner_a"), QSize(400, 80)));
    p.drawPixmap(430, y + 60, Picture(QStringLiteral("banner_b"), QSize(400, 80)));
    p.drawPixmap(450, y, Picture(QStringLiteral("header"), QSize(723, 22)));
    p.drawPixmap(450, y + 30, Picture(QStringLiteral("line_bottom"), QSize(400, 4)));
    p.drawPixmap(860, y + 30, Picture(QStringLiteral("line_side"), QSize(12, 120)));
    p.end();
    EXPECT_TRUE(sheet.save(dir + QStringLiteral("/chrome_pictures.png")));
}
