// The ledger window's toolbar opens the update check and the about window modally, each
// built afresh.
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "frm_about.h"
#include "frm_main.h"
#include "frm_update.h"
#include "image_button.h"

using namespace pelorin;

namespace {

// Presses button and, once the modal window is up, reports it and closes it.
template <class Window>
void OpenAndClose(ledger::FrmMain& main, chrome::ImageButton* button, QList<Window*>& seen)
{
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<Window*>(QApplication::activeModalWidget());
        seen << w;
        if (!w) return;
        EXPECT_TRUE(w->isModal());
        EXPECT_EQ(w->parentWidget(), &main);
        QMetaObject::invokeMethod(w, "close", Qt::QueuedConnection);
    });
    emit button->clicked();
}

} // namespace

TEST(Toolbar, OpensFreshModalWindows)
{
    test::FakePlatform fake;
    ledger::FrmMain main;
    main.show();

    QList<update::FrmUpdate*> updates;
    OpenAndClose(main, main.ImgUpdate, updates);
    OpenAndClose(main, main.ImgUpdate, updates);
    ASSERT_EQ(updates.size(), 2);
    EXPECT_NE(updates[0], nullptr);
    EXPECT_NE(updates[1], nullptr);

    QList<about::FrmAbout*> abouts;
    OpenAndClose(main, main.ImgAbout, abouts);
    ASSERT_EQ(abouts.size(), 1);
    EXPECT_NE(abouts[0], nullptr);

    // Nothing is left behind once they are closed.
    EXPECT_TRUE(main.findChildren<update::FrmUpdate*>().isEmpty());
    EXPECT_TRUE(main.findChildren<about::FrmAbout*>().isEmpty());
}
