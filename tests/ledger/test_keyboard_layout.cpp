// The keyboard switch on a real X server: Arabic is locked only over English (US).
#include <QGuiApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <X11/XKBlib.h>

#include "keyboard_layout.h"

namespace {

class KeyboardLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X server";
        dpy = XOpenDisplay(nullptr);
        ASSERT_NE(dpy, nullptr);
    }
    void TearDown() override
    {
        if (dpy) XCloseDisplay(dpy);
    }
    void layouts(const char* list, int group = 0)
    {
        ASSERT_EQ(
            QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), QLatin1String(list)}),
            0);
        XkbLockGroup(dpy, XkbUseCoreKbd, unsigned(group));
        XSync(dpy, False);
        ASSERT_EQ(activeGroup(), group);
    }
    int activeGroup()
    {
        XSync(dpy, False);
        XkbStateRec state;
        XkbGetState(dpy, XkbUseCoreKbd, &state);
        return state.group;
    }
    Display* dpy = nullptr;
};

TEST_F(KeyboardLayoutTest, ArabicIsLockedWhenEnglishUsIsActive)
{
    layouts("us,ara");
    EXPECT_TRUE(pelorin::switchXkbGroup(QStringLiteral("AR")));
    EXPECT_EQ(activeGroup(), 1);
    // Already Arabic: nothing more happens.
    EXPECT_FALSE(pelorin::switchXkbGroup(QStringLiteral("ar")));
    EXPECT_EQ(activeGroup(), 1);
    // And back to English on request.
    EXPECT_TRUE(pelorin::switchXkbGroup(QStringLiteral("en")));
    EXPECT_EQ(activeGroup(), 0);
}

TEST_F(KeyboardLayoutTest, OtherLayoutsAndOtherLanguagesAreLeftAlone)
{
    layouts("fr,ara");
    EXPECT_FALSE(pelorin::switchXkbGroup(QStringLiteral("ar")));
    EXPECT_EQ(activeGroup(), 0);
    layouts("us,fr");
    EXPECT_FALSE(pelorin::switchXkbGroup(QStringLiteral("ar")));
    EXPECT_EQ(activeGroup(), 0);
    layouts("us,ara");
    EXPECT_FALSE(pelorin::switchXkbGroup(QStringLiteral("fr")));
    EXPECT_EQ(activeGroup(), 0);
    layouts("us");
    EXPECT_FALSE(pelorin::switchXkbGroup(QStringLiteral("en")));
    EXPECT_FALSE(pelorin::switchXkbGroup(QStringLiteral("ar")));
}

} // namespace

namespace {

TEST(KeyboardLayoutWithoutX, DoesNothingAndSaysSo)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) GTEST_SKIP() << "runs without an X server";
    EXPECT_FALSE(pelorin::switchXkbGroup(QStringLiteral("ar")));
    EXPECT_FALSE(pelorin::switchXkbGroup(QStringLiteral("en")));
}

} // namespace
