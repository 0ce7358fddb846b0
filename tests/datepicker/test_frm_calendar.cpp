#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "frm_calendar.h"
#include "twips.h"

using namespace pelorin;
using chrome::twRect;
using datepicker::FrmCalendar;

namespace {

const QString kReady = QStringLiteral("تكرم بإدخال تاريخ مناسب");
const QString kNoYear = QStringLiteral("يرجى إدخال السنة الميلادية !!");
const QString kSaveNoYear = QStringLiteral("يرجى إدخال سنة الولادة !!");
const QString kMarker = QStringLiteral("لم يرد بعد");

class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake.todayValue = QDate(2024, 3, 10); // a Sunday
        datepicker::PastePending = false;
        loan.setText(QStringLiteral("2020/01/01"));
        ret.setText(QStringLiteral("2020/02/02"));
    }

    std::unique_ptr<FrmCalendar> open(int target)
    {
        datepicker::CalendarTarget = target;
        auto f = std::make_unique<FrmCalendar>(&loan, &ret);
        f->show();
        QApplication::setActiveWindow(f.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(f.get()));
        return f;
    }

    static void focusYear(FrmCalendar& f)
    {
        f.TxtYearConvert->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }

    static void chooseMonth(FrmCalendar& f, int month) { f.CmbMonthConvert->setCurrentIndex(month - 1); }
    static void chooseDay(FrmCalendar& f, int day) { f.CmbDayConvert->setCurrentIndex(day - 1); }

    // Replaces the year text the way a user would: select all, then type.
    static void typeYear(FrmCalendar& f, const QString& text)
    {
        focusYear(f);
        f.TxtYearConvert->selectAll();
        QTest::keyClick(f.TxtYearConvert, Qt::Key_Backspace);
        QTest::keyClicks(f.TxtYearConvert, text);
    }

    test::FakePlatform fake;
    QLabel loan, ret;
};

TEST_F(CalendarTest, OpensAtTodayInBothModes)
{
    for (int target : {1, 2}) {
        auto f = open(target);
        EXPECT_EQ(f->TxtYearConvert->text(), "2024");
        EXPECT_EQ(f->CmbMonthConvert->count(), 12);
        EXPECT_EQ(f->CmbMonthConvert->itemText(0), "01");
        EXPECT_EQ(f->CmbMonthConvert->currentText(), "03");
        EXPECT_EQ(f->CmbDayConvert->count(), 31);
        EXPECT_EQ(f->CmbDayConvert->currentText(), "10");
        EXPECT_EQ(f->LblDate->text(), "2024/03/10");
        // Arabic weekday even though the tests run under the C locale.
        EXPECT_EQ(f->LblDay->text(), QStringLiteral("الأحد"));
        EXPECT_EQ(f->LblStutConvert->text(), kReady);
        EXPECT_TRUE(f->OptYes->isChecked());
        EXPECT_EQ(QApplication::focusWidget(), f->CmbDayConvert);
    }
}

TEST_F(CalendarTest, TitlesAndOptionTextsFollowTheTarget)
{
    auto loanDlg = open(1);
    EXPECT_EQ(loanDlg->LblMain()->text(), QStringLiteral("اختيار تاريخ الإعارة"));
    EXPECT_EQ(loanDlg->windowTitle(), QStringLiteral("اختيار تاريخ الإعارة"));
    EXPECT_EQ(loanDlg->OptYes->text(), QStringLiteral("تم إعارة الكتاب بتاريخ : "));
    EXPECT_FALSE(loanDlg->OptNo->isVisible());
    loanDlg.reset();

    auto retDlg = open(2);
    EXPECT_EQ(retDlg->LblMain()->text(), QStringLiteral("اختيار تاريخ الرد"));
    EXPECT_EQ(retDlg->windowTitle(), QStringLiteral("اختيار تاريخ الرد"));
    EXPECT_EQ(retDlg->OptYes->text(), QStringLiteral("تم رد الكتاب بتاريخ :"));
    EXPECT_TRUE(retDlg->OptNo->isVisible());
}

TEST_F(CalendarTest, TodayOnTheLastDayOfAShortMonth)
{
    fake.todayValue = QDate(2023, 2, 28);
    auto f = open(2);
    EXPECT_EQ(f->CmbDayConvert->count(), 28);
    EXPECT_EQ(f->LblDate->text(), "2023/02/28");
    EXPECT_EQ(f->LblDay->text(), QStringLiteral("الثلاثاء"));
}

struct DayCount {
    const char* year;
    int month;
    int days;
};

TEST_F(CalendarTest, DayCountsFollowTheGregorianCalendar)
{
    const DayCount cases[] = {
        {"1900", 2, 28}, {"2000", 2, 29}, {"2012", 2, 29},  {"2013", 2, 28},  {"2100", 2, 28},
        {"2400", 2, 29}, {"12", 2, 29},   {"29", 2, 28},    {"96", 2, 29},    {"0", 2, 29},
        {"2013", 1, 31}, {"2013", 4, 30}, {"2013", 12, 31}, {"2013", 11, 30},
    };
    auto f = open(2);
    for (const DayCount& c : cases) {
        typeYear(*f, QString::fromLatin1(c.year));
        chooseMonth(*f, c.month);
        EXPECT_EQ(f->CmbDayConvert->count(), c.days) << c.year << "/" << c.month;
        EXPECT_EQ(f->CmbDayConvert->itemText(c.days - 1), QString::number(c.days));
    }
}

TEST_F(CalendarTest, DaySelectionFollowsTheMonthLength)
{
    auto f = open(2);
    chooseMonth(*f, 1);
    chooseDay(*f, 31);
    EXPECT_EQ(f->LblDate->text(), "2024/01/31");
    chooseMonth(*f, 3);
    EXPECT_EQ(f->CmbDayConvert->currentText(), "31"); // 31 to 31 keeps the day
    chooseMonth(*f, 4);
    EXPECT_EQ(f->CmbDayConvert->currentText(), "30");
    chooseMonth(*f, 5);
    EXPECT_EQ(f->CmbDayConvert->currentText(), "30"); // the remembered day is now the 30th
    chooseDay(*f, 31);
    chooseMonth(*f, 2);
    EXPECT_EQ(f->CmbDayConvert->currentText(), "29");
    EXPECT_EQ(f->LblDate->text(), "2024/02/29");
    EXPECT_EQ(f->LblDay->text(), QStringLiteral("الخميس"));

    // The year changing under a chosen 29 February moves it to the 28th.
    focusYear(*f);
    QTest::keyClick(f->TxtYearConvert, Qt::Key_End);
    QTest::keyClick(f->TxtYearConvert, Qt::Key_Backspace);
    QTest::keyClick(f->TxtYearConvert, Qt::Key_3);
    EXPECT_EQ(f->LblDate->text(), "2023/02/28");
}

TEST_F(CalendarTest, YearKeyFilter)
{
    auto f = open(2);
    focusYear(*f);
    QTest::keyClick(f->TxtYearConvert, Qt::Key_End);

    // A letter, a blank and an Arabic letter are dropped with a beep.
    QTest::keyClick(f->TxtYearConvert, Qt::Key_A);
    QTest::keyClick(f->TxtYearConvert, Qt::Key_Space);
    QTest::sendKeyEvent(QTest::KeyAction::Click, f->TxtYearConvert, Qt::Key_unknown, QStringLiteral("ب"),
                        Qt::NoModifier);
    EXPECT_EQ(f->TxtYearConvert->text(), "2024");
    EXPECT_EQ(fake.beeps, 3);
    EXPECT_FALSE(datepicker::PastePending);

    // A fifth digit is refused by the length limit (no beep of ours).
    QTest::keyClick(f->TxtYearConvert, Qt::Key_5);
    EXPECT_EQ(f->TxtYearConvert->text(), "2024");
    EXPECT_EQ(fake.beeps, 3);

    // Digits, Backspace and the minus sign pass.
    typeYear(*f, "19");
    EXPECT_EQ(f->TxtYearConvert->text(), "19");
    QTest::keyClick(f->TxtYearConvert, Qt::Key_Minus);
    EXPECT_EQ(f->TxtYearConvert->text(), "19-");
    EXPECT_EQ(fake.beeps, 3);
}

TEST_F(CalendarTest, KeysThatMayPasteMarkTheNextChange)
{
    auto f = open(2);
    focusYear(*f);
    // Nothing to paste and nothing selected, so that the flag is not used up at once.
    QApplication::clipboard()->clear();
    QTest::keyClick(f->TxtYearConvert, Qt::Key_End);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    };
    for (const Case& c : {Case{Qt::Key_Control, Qt::ControlModifier}, Case{Qt::Key_Menu, Qt::NoModifier},
                          Case{Qt::Key_Insert, Qt::ShiftModifier}, Case{Qt::Key_Q, Qt::ControlModifier}}) {
        datepicker::PastePending = false;
        QTest::keyPress(f->TxtYearConvert, c.key, c.mods);
        EXPECT_TRUE(datepicker::PastePending) << c.key;
        QTest::keyRelease(f->TxtYearConvert, c.key, c.mods);
    }
    datepicker::PastePending = false;
    QTest::keyClick(f->TxtYearConvert, Qt::Key_Insert);
    EXPECT_FALSE(datepicker::PastePending);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        datepicker::PastePending = false;
        QTest::mousePress(f->TxtYearConvert, button);
        EXPECT_TRUE(datepicker::PastePending) << button;
        QTest::mouseRelease(f->TxtYearConvert, button);
    }
    datepicker::PastePending = false;
    QTest::mouseClick(f->TxtYearConvert, Qt::LeftButton);
    EXPECT_FALSE(datepicker::PastePending);
    EXPECT_FALSE(f->TxtYearConvert->acceptDrops());
}

TEST_F(CalendarTest, PastedTextKeepsOnlyItsDigits)
{
    auto f = open(2);
    typeYear(*f, "");
    ASSERT_EQ(f->TxtYearConvert->text(), "");
    const int beeps = fake.beeps;
    QApplication::clipboard()->setText(QStringLiteral("20a1"));
    QTest::keyClick(f->TxtYearConvert, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f->TxtYearConvert->text(), "201");
    EXPECT_EQ(f->TxtYearConvert->selectedText(), "201");
    EXPECT_EQ(fake.beeps, beeps + 1);
    EXPECT_FALSE(datepicker::PastePending);
    EXPECT_EQ(f->LblDate->text(), "201/03/10"); // the key release refreshed the date

    // Clean digits pass without a beep.
    typeYear(*f, "");
    QApplication::clipboard()->setText(QStringLiteral("1999"));
    QTest::keyClick(f->TxtYearConvert, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f->TxtYearConvert->text(), "1999");
    EXPECT_EQ(fake.beeps, beeps + 1);
}

TEST_F(CalendarTest, ClosingBracketIsTypedThenRemoved)
{
    auto f = open(2);
    focusYear(*f);
    QTest::keyClick(f->TxtYearConvert, Qt::Key_End);
    QTest::keyClick(f->TxtYearConvert, Qt::Key_Backspace);
    const int beeps = fake.beeps;
    QTest::keyClick(f->TxtYearConvert, Qt::Key_BracketRight);
    EXPECT_EQ(f->TxtYearConvert->text(), "202");
    EXPECT_EQ(fake.beeps, beeps + 1);
    EXPECT_FALSE(datepicker::PastePending);
}

TEST_F(CalendarTest, ShortYearIsPaddedWhenTheBoxLosesFocus)
{
    auto f = open(2);
    typeYear(*f, "12");
    EXPECT_EQ(f->LblDate->text(), "12/03/10");
    f->CmbMonthConvert->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(f->TxtYearConvert->text(), "0012");
    EXPECT_TRUE(f->LblDate->text().startsWith("12/")); // no refresh on leaving the box

    // Not a number: left as it is.
    typeYear(*f, "1-2");
    f->CmbMonthConvert->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(f->TxtYearConvert->text(), "1-2");
}

TEST_F(CalendarTest, EmptyYearKeepsTheLastDateAndSaveRefuses)
{
    auto f = open(2);
    focusYear(*f);
    f->TxtYearConvert->selectAll();
    QTest::keyClick(f->TxtYearConvert, Qt::Key_Backspace);
    EXPECT_EQ(f->TxtYearConvert->text(), "");
    EXPECT_EQ(f->LblStutConvert->text(), kNoYear);
    EXPECT_EQ(f->LblDate->text(), "2024/03/10");
    EXPECT_EQ(f->CmbDayConvert->count(), 31);

    // Choosing a month with no year changes nothing but the status.
    chooseMonth(*f, 2);
    EXPECT_EQ(f->CmbDayConvert->count(), 31);
    EXPECT_EQ(f->LblDate->text(), "2024/03/10");

    const int beeps = fake.beeps;
    QTest::mouseClick(f->CmdSave, Qt::LeftButton);
    EXPECT_EQ(f->LblStutConvert->text(), kSaveNoYear);
    EXPECT_EQ(fake.beeps, beeps + 1);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(ret.text(), "2020/02/02");

    // A year typed again brings the status back.
    typeYear(*f, "2023");
    EXPECT_EQ(f->LblStutConvert->text(), kReady);
    EXPECT_EQ(f->LblDate->text(), "2023/02/10");
}

TEST_F(CalendarTest, NegativeYearCountsAsNoYear)
{
    auto f = open(1);
    typeYear(*f, "-5");
    EXPECT_EQ(f->LblStutConvert->text(), kNoYear);
    f->CmbMonthConvert->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(f->TxtYearConvert->text(), "-5");
    QTest::mouseClick(f->CmdSave, Qt::LeftButton);
    EXPECT_EQ(f->LblStutConvert->text(), kSaveNoYear);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(loan.text(), "2020/01/01");
}

TEST_F(CalendarTest, SaveWritesTheTargetLabelOnly)
{
    struct Case {
        int target;
        QString loan, ret;
    };
    for (const Case& c : {Case{1, "2023/12/25", "2020/02/02"}, Case{2, "2020/01/01", "2023/12/25"},
                          Case{0, "2020/01/01", "2020/02/02"}}) {
        SetUp();
        auto f = open(c.target);
        typeYear(*f, "2023");
        chooseMonth(*f, 12);
        chooseDay(*f, 25);
        QTest::mouseClick(f->CmdSave, Qt::LeftButton);
        EXPECT_FALSE(f->isVisible()) << c.target;
        EXPECT_EQ(f->result(), QDialog::Accepted);
        EXPECT_EQ(loan.text(), c.loan) << c.target;
        EXPECT_EQ(ret.text(), c.ret) << c.target;
    }
}

TEST_F(CalendarTest, EnterSavesFromTheYearBox)
{
    auto f = open(1);
    typeYear(*f, "2022");
    QTest::keyClick(f->TxtYearConvert, Qt::Key_Return);
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(loan.text(), "2022/03/10");
}

TEST_F(CalendarTest, NotReturnedOption)
{
    auto f = open(2);
    chooseMonth(*f, 7);
    QTest::mouseClick(f->OptNo, Qt::LeftButton, {}, QPoint(f->OptNo->width() - 8, f->OptNo->height() / 2));
    ASSERT_TRUE(f->OptNo->isChecked());
    EXPECT_EQ(f->LblDate->text(), kMarker);
    for (QWidget* w :
         {static_cast<QWidget*>(f->TxtYearConvert), static_cast<QWidget*>(f->CmbMonthConvert),
          static_cast<QWidget*>(f->CmbDayConvert), static_cast<QWidget*>(f->LblDay),
          static_cast<QWidget*>(f->LblStutConvert), static_cast<QWidget*>(f->LblDateConvert[0]),
          static_cast<QWidget*>(f->LblDateConvert[1]), static_cast<QWidget*>(f->LblDateConvert[2])})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(f->CmdSave->isEnabled());

    // Back to a date: the inputs kept their values.
    f->OptYes->setChecked(true);
    EXPECT_TRUE(f->TxtYearConvert->isEnabled());
    EXPECT_EQ(f->LblDate->text(), "2024/07/10");

    f->OptNo->setChecked(true);
    QTest::mouseClick(f->CmdSave, Qt::LeftButton);
    EXPECT_EQ(ret.text(), kMarker);
    EXPECT_EQ(loan.text(), "2020/01/01");
}

TEST_F(CalendarTest, CancelEscapeAndCloseImageWriteNothing)
{
    for (int way = 0; way < 3; ++way) {
        for (int target : {1, 2}) {
            auto f = open(target);
            typeYear(*f, "1999");
            if (way == 0)
                QTest::mouseClick(f->CmdCancel, Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(f->TxtYearConvert, Qt::Key_Escape);
            else
                QTest::mouseClick(f->ImgExit(), Qt::LeftButton);
            EXPECT_FALSE(f->isVisible()) << way;
            EXPECT_EQ(loan.text(), "2020/01/01");
            EXPECT_EQ(ret.text(), "2020/02/02");
        }
    }
}

struct Placed {
    const char* name;
    QRect design, loan;
};

TEST_F(CalendarTest, BothLayoutsPlaceTheControlsInTwips)
{
    auto d = open(2);
    auto l = open(1);
    EXPECT_EQ(d->size(), chrome::twSize(3615, 3045));
    EXPECT_EQ(l->size(), chrome::twSize(3615, 2765));
    const Placed table[] = {
        {"FrameCalendar", twRect(120, 340, 3375, 2115), twRect(120, 340, 3375, 1835)},
        {"OptNo", twRect(120, 240, 3135, 255), twRect(120, 240, 3135, 255)},
        {"OptYes", twRect(120, 520, 3135, 255), twRect(120, 240, 3135, 255)},
        {"TxtYearConvert", twRect(120, 885, 1000, 315), twRect(120, 605, 1000, 315)},
        {"CmbMonthConvert", twRect(1185, 885, 720, 315), twRect(1185, 605, 720, 315)},
        {"CmbDayConvert", twRect(1935, 885, 720, 315), twRect(1935, 605, 720, 315)},
        {"LblDay", twRect(2715, 930, 600, 255), twRect(2715, 650, 600, 255)},
        {"LblDateConvert0", twRect(135, 1200, 975, 255), twRect(135, 920, 975, 255)},
        {"LblDateConvert1", twRect(1155, 1200, 720, 255), twRect(1155, 920, 720, 255)},
        {"LblDateConvert2", twRect(1995, 1200, 600, 255), twRect(1995, 920, 600, 255)},
        {"ShpStatut", twRect(120, 1440, 2540, 585), twRect(120, 1160, 2540, 585)},
        {"ShapeDate", twRect(400, 1480, 2000, 240), twRect(400, 1200, 2000, 240)},
        {"LblDate", twRect(165, 1500, 2480, 255), twRect(165, 1220, 2480, 255)},
        {"LblStutConvert", twRect(150, 1760, 2480, 255), twRect(150, 1480, 2480, 255)},
        {"CmdSave", twRect(1440, 2580, 1260, 375), twRect(1440, 2300, 1260, 375)},
        {"CmdCancel", twRect(120, 2580, 1260, 375), twRect(120, 2300, 1260, 375)},
        {"ImgLine0", twRect(0, 330, 45, 2670), twRect(0, 330, 45, 2390)},
        {"ImgLine1", twRect(3570, 330, 45, 2670), twRect(3570, 330, 45, 2390)},
        {"ImgLine2", twRect(0, 2980, 3620, 60), twRect(0, 2700, 3620, 60)},
        {"LblMain", twRect(980, 80, 1800, 255), twRect(980, 80, 1800, 255)},
        {"ImgExit", twRect(3360, 60, 240, 225), twRect(3360, 60, 240, 225)},
    };
    for (const Placed& p : table) {
        auto* dw = d->findChild<QWidget*>(QLatin1String(p.name));
        auto* lw = l->findChild<QWidget*>(QLatin1String(p.name));
        ASSERT_TRUE(dw && lw) << p.name;
        EXPECT_EQ(dw->geometry(), p.design) << p.name;
        EXPECT_EQ(lw->geometry(), p.loan) << p.name;
    }
    EXPECT_EQ(d->CmdCancel->toolTip(), QStringLiteral("إغلاق النافذة"));
    EXPECT_TRUE(d->CmdSave->isDefault());
    EXPECT_EQ(d->TxtYearConvert->maxLength(), 4);
}

TEST_F(CalendarTest, TabOrderStartsAtTheDayList)
{
    auto f = open(2);
    const QWidget* expected[] = {f->CmbMonthConvert, f->TxtYearConvert, f->CmdSave, f->CmdCancel};
    for (const QWidget* w : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), w) << w->objectName().toStdString();
    }
    // Reaching the year box by Tab selects all of it.
    auto g = open(2);
    QTest::keyClick(g->CmbDayConvert, Qt::Key_Tab);
    QTest::keyClick(g->CmbMonthConvert, Qt::Key_Tab);
    EXPECT_EQ(g->TxtYearConvert->selectedText(), "2024");
}

} // namespace

namespace {

// Pictures of both layouts for a person to look at: set PELORIN_SHOTS to a folder.
TEST_F(CalendarTest, Screenshots)
{
    const QString dir = qEnvironmentVariable("PELORIN_SHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "PELORIN_SHOTS not set";
    auto r = open(2);
    r->grab().save(dir + "/calendar_return.png");
    r->OptNo->setChecked(true);
    r->grab().save(dir + "/calendar_return_not_returned.png");
    auto l = open(1);
    l->grab().save(dir + "/calendar_loan.png");
    typeYear(*l, "");
    QTest::mouseClick(l->CmdSave, Qt::LeftButton);
    l->grab().save(dir + "/calendar_loan_no_year.png");
}

} // namespace
