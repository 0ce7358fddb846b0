// In its own test program: it changes the whole application (translators, direction, font).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>

#include "translations.h"

using namespace pelorin::chrome;

TEST(Translations, QtsOwnDialogsSpeakArabic)
{
    ASSERT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    SetUpArabicApplication(*qApp);
    EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("OK"));
    EXPECT_NE(QCoreApplication::translate("QPrintPreviewDialog", "Print Preview"),
              QStringLiteral("Print Preview"));

    // a message box's buttons are Arabic
    QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No);
    const QString yes = box.button(QDialogButtonBox::Yes)->text();
    EXPECT_TRUE(std::any_of(yes.begin(), yes.end(), [](QChar c) {
        return c.script() == QChar::Script_Arabic;
    })) << yes.toStdString();

    EXPECT_EQ(qApp->layoutDirection(), Qt::RightToLeft);
    EXPECT_FALSE(qApp->windowIcon().isNull());
}
