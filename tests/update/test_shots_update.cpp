// Pictures for a person to look at: set PELORIN_SHOTS to write them.
#include <QDir>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "frm_update.h"
#include "update_texts.h"

using namespace pelorin::update;

TEST(Shots, UpdateWindowInEachState)
{
    const QString dir = qEnvironmentVariable("PELORIN_SHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "PELORIN_SHOTS not set";
    QDir().mkpath(dir);
    pelorin::test::FakePlatform platform;

    const auto shoot = [&](FrmUpdate& f, const char* name) {
        EXPECT_TRUE(f.grab().save(dir + QStringLiteral("/update_%1.png").arg(QLatin1String(name))));
    };
    {
        FrmUpdate f(nullptr);
        f.show();
        shoot(f, "1_ready");
    }
    {
        FrmUpdate f(nullptr);
        f.setVersionFileUrl(QStringLiteral("http://127.0.0.1:1/myfiles/Pelorin.txt"));
        f.TmrTimeEnd->setInterval(3600 * 1000);
        f.show();
        f.LblVerNew_Click();
        for (int i = 0; i < 37; ++i)
            f.TmrTimeEnd_Timer();
        shoot(f, "2_checking");
        for (int i = 0; i < 64; ++i)
            f.TmrTimeEnd_Timer();
        shoot(f, "3_server_problem");
    }
    {
        FrmUpdate f(nullptr);
        f.show();
        f.UpdateState = QStringLiteral("2");
        f.Download1_DownloadComplete(FrmUpdate::ReadKey(), "1.02\r\nhttp://dl.example.org/p", 2);
        shoot(f, "4_link");
    }
    {
        FrmUpdate f(nullptr);
        f.show();
        f.UpdateState = QStringLiteral("2");
        f.Download1_DownloadComplete(FrmUpdate::ReadKey(), "1.01\r\nhttp://dl.example.org/p", 2);
        shoot(f, "5_up_to_date");
    }
    {
        FrmUpdate f(nullptr);
        f.show();
        platform.connected = false;
        f.LblVerNew_Click();
        shoot(f, "6_offline");
        platform.connected = true;
    }
    {
        FrmUpdate f(nullptr);
        f.setVersionFileUrl(QStringLiteral("http://127.0.0.1:1/myfiles/Pelorin.txt"));
        f.show();
        f.LblVerNew_Click();
        f.TmrTimeEnd_Timer();
        platform.connected = false;
        f.TmrTimeEnd_Timer();
        shoot(f, "7_lost");
    }
}
