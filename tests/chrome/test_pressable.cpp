// Picture buttons and close images from the keyboard and through a screen reader's eyes.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "fake_platform.h"
#include "frameless_window.h"
#include "image_button.h"
#include "mouse.h"
#include "pressable.h"

using namespace pelorin::chrome;
using namespace pelorin::test;

namespace {

class PressableTest : public ::testing::Test {
protected:
    FakePlatform platform;
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    ImageButton* button = new ImageButton(QStringLiteral("report"), &window);
    void SetUp() override
    {
        button->setGeometry(40, 0, 32, 32);
        button->setToolTip(QStringLiteral("تقرير بالكتب المُعارة"));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        before->setFocus();
    }
};

} // namespace

TEST_F(PressableTest, SpaceAndEnterClickAsTheLeftButtonDoes)
{
    QSignalSpy clicks(button, &ImageButton::clicked);
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), button);
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_TRUE(button->isPressedPicture()) << "held Space shows the pressed picture";
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_FALSE(button->isPressedPicture());
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks.count(), 3);
    // Other keys, and Space with a modifier, do nothing.
    QTest::keyClick(button, Qt::Key_A);
    QTest::keyClick(button, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(clicks.count(), 3);
    // A disabled picture runs nothing.
    button->setEnabled(false);
    Pressable::Of(button)->Press();
    EXPECT_EQ(clicks.count(), 3);
}

TEST_F(PressableTest, FocusFrameOnlyWhileTheKeyboardIsInUse)
{
    press(button, QPointF(5, 5));
    release(button, QPointF(5, 5));
    EXPECT_EQ(QApplication::focusWidget(), before) << "a click must not take the focus";
    EXPECT_FALSE(Pressable::Of(button)->FocusFrameShown());
    // Focus moved by the program after a click, even with a Tab reason, draws nothing.
    button->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(Pressable::Of(button)->FocusFrameShown());
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_TRUE(Pressable::Of(button)->FocusFrameShown());
    press(&window, QPointF(200, 5));
    EXPECT_FALSE(Pressable::Of(button)->FocusFrameShown()) << "a mouse press ends the keyboard's frame";
    QTest::keyClick(button, Qt::Key_Backtab);
    EXPECT_FALSE(Pressable::Of(button)->FocusFrameShown());
}

TEST_F(PressableTest, PushButtonsShowTheirFocusOnlyWhileTheKeyboardIsInUse)
{
    auto* add = new QPushButton(QStringLiteral("إضافة"), &window);
    add->setGeometry(80, 0, 80, 24);
    add->show();
    ShowKeyboardFocus(add);
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), add);
    EXPECT_FALSE(KeyboardFocusShown(add)) << "a click gives the focus without the cue";
    QTest::keyClick(add, Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), add);
    EXPECT_TRUE(KeyboardFocusShown(add));
    press(&window, QPointF(200, 5));
    EXPECT_FALSE(KeyboardFocusShown(add)) << "a mouse press ends the keyboard's cue";
    QTest::keyClick(add, Qt::Key_Tab);
    EXPECT_FALSE(KeyboardFocusShown(add)) << "the cue leaves with the focus";
}

TEST_F(PressableTest, ReadAsAPushButtonNamedByItsToolTipWithAPressAction)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("تقرير بالكتب المُعارة"));
    EXPECT_TRUE(a->state().focusable);
    QAccessibleActionInterface* act = a->actionInterface();
    ASSERT_NE(act, nullptr);
    ASSERT_TRUE(act->actionNames().contains(QAccessibleActionInterface::pressAction()));
    QSignalSpy clicks(button, &ImageButton::clicked);
    act->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 0) << "runs once the screen reader's call has returned";
    EXPECT_TRUE(clicks.wait(1000));
}

TEST(CloseImageAccess, NamedCloseAndPressableWhateverItsToolTip)
{
    FakePlatform platform;
    ChromeLayout layout;
    layout.clientWidth = 3000;
    layout.clientHeight = 2000;
    layout.exitLeft = 2700;
    layout.closeToolTip = QStringLiteral("Exit");
    FramelessWindow w(layout);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w.ImgExit());
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("إغلاق"));
    w.ImgExit()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.ImgExit(), Qt::Key_Space);
    EXPECT_FALSE(w.isVisible());
}

TEST(WordedLabelAccess, ReachedAndReadByItsWordsWithoutChangingHowTheyAreLaidOut)
{
    FakePlatform platform;
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* label = new QLabel(QStringLiteral("انقر هنا للبحث عن تحديث جديد للبرنامج"), &window);
    label->setGeometry(0, 40, 200, 26);
    label->setToolTip(QStringLiteral("يجب أن تكون متصلاً بالإنترنت"));
    int presses = 0;
    Pressable* p = Pressable::Attach(label, [&] { ++presses; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_TRUE(label->hasFocus());
    EXPECT_TRUE(p->FocusFrameShown());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(presses, 1);
    // A label that can take the focus itself would lay its words out for editing.
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(p->FocusTarget());
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), label->text());
    EXPECT_EQ(a->text(QAccessible::Description), label->toolTip());
}
