// The library name: shown at load, saved trimmed, blank refused, and a file without a row.
#include <QPushButton>
#include <QTest>

#include "ledger_fixture.h"

using namespace pelorin;
using namespace pelorin::ledger;
using namespace pelorin::ledger::testing;

namespace {

constexpr int kStopBox = 16 + 524288 + 1048576;
constexpr int kPlainBox = 524288 + 1048576;
const QString kNotice = QStringLiteral("تنبيه");
const QString kSaved = QStringLiteral("تم حفظ اسم المكتبة بنجاح");
const QString kFillBox = QStringLiteral("يرجى ملء مربع النص");

class LibraryNameTest : public LedgerFixture {
protected:
    QStringList storedNames() const
    {
        return test::Query(path, "SELECT ifnull(NameLibrary,'<null>') FROM TableSetting");
    }
};

TEST_F(LibraryNameTest, LoadShowsTheStoredNameAsItIs)
{
    FrmMain& w = load({}, QStringLiteral("  مكتبة الحي "));
    EXPECT_EQ(w.TxtNameLibrary->text(), QStringLiteral("  مكتبة الحي "));
}

TEST_F(LibraryNameTest, SaveStoresTheTrimmedNameAndLeavesTheBoxAsTyped)
{
    FrmMain& w = load({});
    w.TxtNameLibrary->setText(QStringLiteral("  مكتبة النور  "));
    QTest::mouseClick(w.CmdSave, Qt::LeftButton);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, kSaved);
    EXPECT_EQ(fake.messages[0].style, kPlainBox);
    EXPECT_EQ(fake.messages[0].title, kNotice);
    EXPECT_EQ(storedNames(), QStringList{QStringLiteral("مكتبة النور")});
    EXPECT_EQ(w.TxtNameLibrary->text(), QStringLiteral("  مكتبة النور  "));
    EXPECT_FALSE(store::MData::Rs) << "the result set is released after the save";

    // The next start shows the trimmed name.
    window = std::make_unique<FrmMain>();
    window->Form_Load();
    EXPECT_EQ(window->TxtNameLibrary->text(), QStringLiteral("مكتبة النور"));
}

// Only typing is limited to 40 characters: a longer stored name is neither cut in the box nor
// by the next save, and typing cannot lengthen it.
TEST_F(LibraryNameTest, ANameLongerThanTheTypingLimitIsKeptWhole)
{
    const QString longName = QString(50, QChar(0x0645)); // 50 letters
    FrmMain& w = load({}, longName);
    EXPECT_EQ(w.TxtNameLibrary->text(), longName);
    w.CmdSave_Click();
    EXPECT_EQ(storedNames(), QStringList{longName});

    w.TxtNameLibrary->setFocus();
    w.TxtNameLibrary->end(false);
    QTest::sendKeyEvent(QTest::Click, w.TxtNameLibrary, Qt::Key_unknown, QStringLiteral("ب"), {});
    EXPECT_EQ(w.TxtNameLibrary->text(), longName);
    QTest::keyClick(w.TxtNameLibrary, Qt::Key_Backspace);
    QTest::sendKeyEvent(QTest::Click, w.TxtNameLibrary, Qt::Key_unknown, QStringLiteral("ب"), {});
    EXPECT_EQ(w.TxtNameLibrary->text(), longName.left(49));

    // A short name brings the limit back to 40.
    w.TxtNameLibrary->setText(QStringLiteral("قصير"));
    w.TxtNameLibrary->end(false);
    for (int i = 0; i < 45; ++i)
        QTest::sendKeyEvent(QTest::Click, w.TxtNameLibrary, Qt::Key_unknown, QStringLiteral("ب"), {});
    EXPECT_EQ(w.TxtNameLibrary->text().size(), FrmMain::kNameLibraryLength);
}

TEST_F(LibraryNameTest, BlankNamesAreRefusedAndNothingIsStored)
{
    FrmMain& w = load({}, QStringLiteral("الأصل"));
    for (const QString& blank : {QString(), QStringLiteral("    ")}) {
        fake.messages.clear();
        w.TxtNameLibrary->setText(blank);
        w.CmdSave_Click();
        ASSERT_EQ(fake.messages.size(), 1);
        EXPECT_EQ(fake.messages[0].text, kFillBox);
        EXPECT_EQ(fake.messages[0].style, kStopBox);
        EXPECT_EQ(fake.messages[0].title, kNotice);
    }
    EXPECT_EQ(storedNames(), QStringList{QStringLiteral("الأصل")});
}

TEST_F(LibraryNameTest, AFileWithoutASettingsRowShowsAnEmptyBoxAndSaveWritesTheFirstRow)
{
    FrmMain& w = load({}, QString()); // no TableSetting row at all
    EXPECT_EQ(w.TxtNameLibrary->text(), QString());
    w.TxtNameLibrary->setText(QStringLiteral("مكتبة جديدة"));
    w.CmdSave_Click();
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, kSaved);
    EXPECT_EQ(storedNames(), QStringList{QStringLiteral("مكتبة جديدة")});
    w.CmdSave_Click();
    EXPECT_EQ(storedNames(), QStringList{QStringLiteral("مكتبة جديدة")})
        << "the row is reused, not added again";
}

TEST_F(LibraryNameTest, ANullNameShowsAnEmptyBox)
{
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword, {}, QString()));
    test::Query(path, "INSERT INTO TableSetting VALUES (NULL)");
    window = std::make_unique<FrmMain>();
    window->Form_Load();
    EXPECT_EQ(window->TxtNameLibrary->text(), QString());
    EXPECT_TRUE(fake.messages.isEmpty());
}

TEST_F(LibraryNameTest, AFailedSaveSaysSoAndKeepsTheStoredName)
{
    FrmMain& w = load({}, QStringLiteral("الأصل"));
    w.TxtNameLibrary->setText(QStringLiteral("اسم آخر"));
    {
        test::WriteLock lock(path); // another program holds the file for writing
        w.CmdSave_Click();
    }
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("خطأ"));
    EXPECT_EQ(fake.messages[0].style, kStopBox);
    EXPECT_NE(fake.messages[0].text, kSaved);
    EXPECT_EQ(storedNames(), QStringList{QStringLiteral("الأصل")});
    EXPECT_EQ(w.TxtNameLibrary->text(), QStringLiteral("اسم آخر"));
}

} // namespace
