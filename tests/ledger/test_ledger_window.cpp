// The window's controls: places, texts, tab order, the default button and select-all.
#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <limits>

#include "image_button.h"
#include "ledger_fixture.h"
#include "style.h"
#include "twips.h"

using namespace pelorin;
using namespace pelorin::ledger;
using namespace pelorin::ledger::testing;

namespace {

class LedgerWindowTest : public LedgerFixture {};

// Arabic text goes in one key event per character.
void typeText(QWidget* w, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), {});
}

TEST_F(LedgerWindowTest, ControlsStandWhereTheLayoutPutsThem)
{
    FrmMain w;
    const struct {
        QWidget* widget;
        QRect twips;
    } places[] = {
        {w.TxtNameLibrary, {120, 460, 2085, 375}},  {w.CmdSave, {120, 940, 2100, 375}},
        {w.FrameHelp, {120, 1460, 2085, 860}},      {w.ImgAbout, {60, 240, 480, 480}},
        {w.ImgReport, {520, 240, 480, 480}},        {w.ImgUpdate, {1020, 240, 480, 480}},
        {w.ImgCompact, {1560, 240, 480, 480}},      {w.FrameEnterData, {2280, 380, 8445, 1935}},
        {w.TxtNameBook, {5805, 240, 1600, 360}},    {w.TxtNameWriter, {3045, 240, 1600, 360}},
        {w.TxtNameBorrower, {120, 240, 1600, 360}}, {w.LblDateLoan, {4755, 840, 1600, 360}},
        {w.ImgDateLoan, {4245, 760, 480, 480}},     {w.LblDateReturn, {1560, 840, 1605, 360}},
        {w.ImgDateReturn, {1035, 760, 480, 480}},   {w.CmdClear, {2940, 1440, 900, 375}},
        {w.CmdAdd, {1995, 1440, 900, 375}},         {w.CmdEdit, {1065, 1440, 900, 375}},
        {w.CmdDelete, {120, 1440, 900, 375}},       {w.lvwRoom, {120, 2420, 10605, 3735}},
        {w.ImgLine(0), {0, 330, 45, 5920}},         {w.ImgLine(1), {10800, 330, 45, 5920}},
        {w.ImgLine(2), {-10, 6240, 10880, 60}},
    };
    for (const auto& p : places) {
        SCOPED_TRACE(p.widget->objectName().toStdString());
        EXPECT_EQ(p.widget->geometry(),
                  chrome::twRect(p.twips.x(), p.twips.y(), p.twips.width(), p.twips.height()));
    }
    EXPECT_EQ(w.size(), chrome::twSize(10845, 6300));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(w.ImgLine(i)->pixmap().deviceIndependentSize().toSize(), w.ImgLine(i)->size()) << i;
    EXPECT_EQ(w.ImgAbout->parentWidget(), w.FrameHelp);
    EXPECT_EQ(w.TxtNameBook->parentWidget(), w.FrameEnterData);
    // Captions keep their right edge; none may spill over the box beside it.
    for (int i : {0, 1, 2, 3, 6}) {
        SCOPED_TRACE(i);
        ASSERT_NE(w.Lbl[i], nullptr);
        EXPECT_LE(w.Lbl[i]->fontMetrics().horizontalAdvance(w.Lbl[i]->text()), w.Lbl[i]->width());
    }
}

TEST_F(LedgerWindowTest, TextsToolTipsAndStartingStates)
{
    FrmMain w;
    EXPECT_EQ(w.TxtNameLibrary->text(), QStringLiteral("اكتب اسم مكتبتك هنا"));
    EXPECT_EQ(w.TxtNameLibrary->toolTip(), QStringLiteral("اكتب اسم مكتبتك هنا"));
    EXPECT_EQ(w.TxtNameLibrary->maxLength(), 40);
    EXPECT_EQ(w.TxtNameBook->maxLength(), std::numeric_limits<int>::max()); // no limit of its own
    EXPECT_EQ(w.FrameHelp->title(), QStringLiteral(" مساعدة : "));
    EXPECT_EQ(w.FrameEnterData->title(), QStringLiteral(" إدخال البيانات : "));
    const std::pair<QWidget*, QString> tips[] = {
        {w.ImgAbout, QStringLiteral("حول البرنامج")},
        {w.ImgReport, QStringLiteral("تقرير بالكتب المُعارة")},
        {w.ImgUpdate, QStringLiteral("البحث عن تحديث للبرنامج")},
        {w.ImgCompact, QStringLiteral("ضغط وصيانة قاعدة البيانات\nتُحفظ نسخة احتياطية منها قبل كل ضغط")},
        {w.ImgDateLoan, QStringLiteral("اختيار تاريخ الإعارة")},
        {w.ImgDateReturn, QStringLiteral("اختيار تاريخ الرد")},
    };
    for (const auto& [widget, tip] : tips)
        EXPECT_EQ(widget->toolTip(), tip);
    const std::pair<QPushButton*, QString> captions[] = {
        {w.CmdSave, QStringLiteral("حفظ")},   {w.CmdClear, QStringLiteral("تفريغ")},
        {w.CmdAdd, QStringLiteral("إضافة")},  {w.CmdEdit, QStringLiteral("تعديل")},
        {w.CmdDelete, QStringLiteral("حذف")},
    };
    for (const auto& [button, caption] : captions) {
        EXPECT_EQ(button->text(), caption);
        EXPECT_EQ(button->cursor().shape(), chrome::HandCursor().shape());
    }
    EXPECT_EQ(w.Lbl[0]->text(), QStringLiteral("اسم الكتاب :"));
    EXPECT_EQ(w.Lbl[6]->text(), QStringLiteral("تاريخ الرد :"));
    EXPECT_TRUE(w.CmdAdd->isDefault());
    EXPECT_FALSE(w.CmdEdit->isEnabled());
    EXPECT_FALSE(w.CmdDelete->isEnabled());
    w.TxtNameBook->ensurePolished();
    EXPECT_EQ(w.TxtNameBook->palette().color(QPalette::Text), QColor(128, 0, 128));
}

TEST_F(LedgerWindowTest, TabOrderRunsThroughTheEntryTheLibraryTheListThenThePictures)
{
    // With rows in it, Tab must still leave the list rather than walk its cells.
    FrmMain& w = load({{"كتاب", "مؤلف", "مستعير", "2024/03/01", kOut, ""}});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(QApplication::focusWidget(), w.TxtNameBook);
    const QList<QWidget*> order = {w.TxtNameWriter,  w.TxtNameBorrower, w.CmdClear,   w.CmdAdd,
                                   w.TxtNameLibrary, w.CmdSave,         w.lvwRoom,    w.ImgDateLoan,
                                   w.ImgDateReturn,  w.ImgCompact,      w.ImgUpdate,  w.ImgReport,
                                   w.ImgAbout,       w.ImgExit(),       w.TxtNameBook};
    // Edit and Delete are disabled at the start and so are passed over.
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST_F(LedgerWindowTest, FocusSelectsTheWholeTextOfEachBox)
{
    FrmMain& w = load({});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    for (QLineEdit* box : {w.TxtNameWriter, w.TxtNameBook, w.TxtNameLibrary}) {
        box->setText(QStringLiteral("نص قديم"));
        box->deselect();
    }
    w.TxtNameBook->setFocus(Qt::TabFocusReason);
    w.TxtNameWriter->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.TxtNameWriter->selectedText(), QStringLiteral("نص قديم"));

    // A click selects too, once the click has placed its cursor.
    QTest::mouseClick(w.TxtNameLibrary, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::qWait(20);
    EXPECT_EQ(w.TxtNameLibrary->selectedText(), w.TxtNameLibrary->text());

    // Typing replaces the selected text.
    w.TxtNameBook->setFocus(Qt::TabFocusReason);
    typeText(w.TxtNameBook, QStringLiteral("جديد"));
    EXPECT_EQ(w.TxtNameBook->text(), QStringLiteral("جديد"));
}

TEST_F(LedgerWindowTest, EnterInABoxRunsAddAndEscapeLeavesTheWindowOpen)
{
    FrmMain& w = load({});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QSignalSpy add(w.CmdAdd, &QPushButton::clicked);
    w.TxtNameBorrower->setFocus();
    QTest::keyClick(w.TxtNameBorrower, Qt::Key_Return);
    EXPECT_EQ(add.count(), 1);
    QTest::keyClick(w.TxtNameBook, Qt::Key_Enter);
    EXPECT_EQ(add.count(), 2);
    QTest::keyClick(w.TxtNameBook, Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
}

// Enter presses the button that has the focus; from a box or the list it presses Add.
TEST_F(LedgerWindowTest, EnterOnAFocusedButtonPressesThatButton)
{
    FrmMain& w = load({{"كتاب", "مؤلف", "مستعير", "2024/03/01", kOut, ""}});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QSignalSpy add(w.CmdAdd, &QPushButton::clicked);
    QSignalSpy clear(w.CmdClear, &QPushButton::clicked);
    QSignalSpy save(w.CmdSave, &QPushButton::clicked);

    w.TxtNameBook->setText(QStringLiteral("نص"));
    w.CmdClear->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.CmdClear, Qt::Key_Return);
    EXPECT_EQ(clear.count(), 1);
    EXPECT_EQ(add.count(), 0);
    EXPECT_TRUE(w.TxtNameBook->text().isEmpty());

    w.CmdSave->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.CmdSave, Qt::Key_Enter);
    EXPECT_EQ(save.count(), 1);
    EXPECT_EQ(add.count(), 0);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("تم حفظ اسم المكتبة بنجاح"));

    // Back in a box, or in the list, Add is the button again.
    w.TxtNameLibrary->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.TxtNameLibrary, Qt::Key_Return);
    EXPECT_EQ(add.count(), 1);
    w.lvwRoom->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.lvwRoom, Qt::Key_Return);
    EXPECT_EQ(add.count(), 2);
    EXPECT_EQ(save.count(), 1);
    EXPECT_EQ(clear.count(), 1);
}

TEST_F(LedgerWindowTest, ClosingTheWindowFromTheCloseImage)
{
    FrmMain& w = load({});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QPoint centre = w.ImgExit()->rect().center();
    QTest::mousePress(w.ImgExit(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(w.ImgExit(), Qt::LeftButton, {}, centre);
    EXPECT_FALSE(w.isVisible());
}

} // namespace
