#include "frm_calendar.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "loan_duration.h"
#include "platform.h"
#include "pressable.h"
#include "style.h"
#include "twips.h"

namespace pelorin::datepicker {

int CalendarTarget = 0;
bool PastePending = false;

namespace {

using chrome::twRect;

const QString kTitleDefault = QStringLiteral("التقويم");
const QString kTitleLoan = QStringLiteral("اختيار تاريخ الإعارة");
const QString kTitleReturn = QStringLiteral("اختيار تاريخ الرد");
const QString kOptNoText = QStringLiteral("لم يقم المستعير برد الكتاب بعد.");
const QString kOptYesReturn = QStringLiteral("تم رد الكتاب بتاريخ :");
const QString kOptYesLoan = QStringLiteral("تم إعارة الكتاب بتاريخ : ");
const QString kStatusReady = QStringLiteral("تكرم بإدخال تاريخ مناسب");
const QString kStatusNoYear = QStringLiteral("يرجى إدخال السنة الميلادية !!");
const QString kStatusSaveNoYear = QStringLiteral("يرجى إدخال سنة الولادة !!");

// The frame's children are placed relative to the frame; the two layouts differ only in the
// controls below the not-returned row, which move up by its height.
constexpr int kOptNoRow = 280;

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The number at the start of the year text: an optional minus sign and the digits after it.
int yearValue(const QString& text)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && t[i] == QLatin1Char('-')) {
        negative = true;
        ++i;
    }
    qint64 value = 0;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i)
        value = std::min<qint64>(value * 10 + (t[i].unicode() - '0'), 1000000);
    return int(negative ? -value : value);
}

// A blank year, or one below zero (which no calendar date has), counts as no year at all.
bool noYear(const QString& text)
{
    const QString t = text.trimmed();
    return t.isEmpty() || t.startsWith(QLatin1Char('-'));
}

// The picker reads a two-digit year as a short date does before asking the calendar rules.
int daysInMonth(int month, int year)
{
    return duration::MonthInfo(month, duration::FullYear(year), 0);
}

// The character a key event types, in the single-byte codes the year filter speaks:
// control characters for Ctrl+letter, 8 for Backspace, 13 for Enter; -1 for keys that type
// nothing (arrows, Delete, Tab, Esc, modifiers alone).
int typedCode(const QKeyEvent* e)
{
    const int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_Backspace) return 8;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return 13;
    if (key == Qt::Key_Escape || key == Qt::Key_Tab || key == Qt::Key_Backtab) return -1;
    if ((mods & Qt::ControlModifier) && !(mods & (Qt::AltModifier | Qt::MetaModifier))) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) return key - Qt::Key_A + 1;
        return -1;
    }
    const QString text = e->text();
    if (text.isEmpty()) return -1;
    const char16_t c = text.at(0).unicode();
    if (c < 32 || c == 127) return -1;
    return int(c);
}

enum class KeyVerdict { Pass, PassAndPaste, Drop };

KeyVerdict filterKey(int code)
{
    if (code >= '0' && code <= '9') return KeyVerdict::Pass;
    switch (code) {
    case 45:
    case 8:
    case 13:
    case 3:
    case 24:
        return KeyVerdict::Pass;
    case 17:
    case 22:
    case 26:
    case 93:
        return KeyVerdict::PassAndPaste;
    default:
        return KeyVerdict::Drop;
    }
}

chrome::ChromeLayout calendarChrome()
{
    chrome::ChromeLayout l;
    l.clientWidth = 3615;
    l.clientHeight = 3045;
    l.titleRect = QRect(980, 80, 1800, 255);
    l.title = kTitleDefault;
    l.exitLeft = 3360;
    return l;
}

QString labelStyle(const char* colour)
{
    return QStringLiteral("QLabel { color: %1; background: transparent; }"
                          "QLabel:disabled { color: rgb(190,150,190); }")
        .arg(QLatin1String(colour));
}

} // namespace

FrmCalendar::FrmCalendar(QLabel* lblDateLoan, QLabel* lblDateReturn, QWidget* parent)
    : chrome::FramelessWindow(calendarChrome(), parent), lblDateLoan_(lblDateLoan),
      lblDateReturn_(lblDateReturn)
{
    buildControls();

    // Start at today's date. The first month and day are chosen first so that the day list
    // exists before today's month and day are looked up in it.
    const QDate today = platform().today();
    TxtYearConvert->setText(QStringLiteral("%1").arg(today.year(), 4, 10, QLatin1Char('0')));
    CmbMonthConvert->clear();
    for (int m = 1; m <= 12; ++m)
        CmbMonthConvert->addItem(twoDigits(m));
    selectMonth(0);
    selectDay(0);
    selectMonth(today.month() - 1);
    selectDay(today.day() - 1);

    if (CalendarTarget == 1) {
        OptNo->hide();
        setTitle(kTitleLoan);
        OptYes->setText(kOptYesLoan);
        applyLoanLayout();
    } else if (CalendarTarget == 2) {
        setTitle(kTitleReturn);
    }

    // Centred over the window that opened it, in its final size.
    if (parent) {
        const QRect over = parent->window()->geometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
    }
}

void FrmCalendar::buildControls()
{
    ImgHeader()->setGeometry(twRect(0, 0, 3620, 330));
    ImgLine(0)->setGeometry(twRect(0, 330, 45, 2670));
    ImgLine(1)->setGeometry(twRect(3570, 330, 45, 2670));
    ImgLine(2)->setGeometry(twRect(0, 2980, 3620, 60));

    FrameCalendar = new QGroupBox(this);
    FrameCalendar->setObjectName(QStringLiteral("FrameCalendar"));
    FrameCalendar->setStyleSheet(
        QStringLiteral("QGroupBox#FrameCalendar { border: 1px solid rgb(255,192,255); border-radius: 3px;"
                       " margin-top: 0px; padding: 0px; }"));
    FrameCalendar->setGeometry(twRect(120, 340, 3375, 2115));

    // The rounded outlines lie under the texts they surround.
    ShpStatut = new QFrame(FrameCalendar);
    ShpStatut->setObjectName(QStringLiteral("ShpStatut"));
    ShpStatut->setStyleSheet(QStringLiteral("QFrame#ShpStatut { border: 1px solid rgb(255,192,255); "
                                            "border-radius: 8px; background: transparent; }"));
    ShpStatut->setGeometry(twRect(120, 1440, 2540, 585));
    ShapeDate = new QFrame(FrameCalendar);
    ShapeDate->setObjectName(QStringLiteral("ShapeDate"));
    ShapeDate->setStyleSheet(QStringLiteral("QFrame#ShapeDate { border: 1px solid rgb(255,255,128); "
                                            "border-radius: 7px; background: transparent; }"));
    ShapeDate->setGeometry(twRect(400, 1480, 2000, 240));

    const QString optionStyle = QStringLiteral("QRadioButton { color: rgb(255,255,0); }"
                                               "QRadioButton:disabled { color: rgb(190,150,190); }");
    OptNo = new QRadioButton(kOptNoText, FrameCalendar);
    OptNo->setObjectName(QStringLiteral("OptNo"));
    OptNo->setStyleSheet(optionStyle);
    OptNo->setGeometry(twRect(120, 240, 3135, 255));
    chrome::SetHandCursor(OptNo);
    OptYes = new QRadioButton(kOptYesReturn, FrameCalendar);
    OptYes->setObjectName(QStringLiteral("OptYes"));
    OptYes->setStyleSheet(optionStyle);
    OptYes->setGeometry(twRect(120, 520, 3135, 255));
    OptYes->setChecked(true);
    chrome::SetHandCursor(OptYes);

    const QString inputStyle =
        QStringLiteral("color: rgb(128,0,128); background: white; selection-background-color: rgb(128,0,128);"
                       " selection-color: white;");
    TxtYearConvert = new QLineEdit(FrameCalendar);
    TxtYearConvert->setObjectName(QStringLiteral("TxtYearConvert"));
    TxtYearConvert->setStyleSheet(
        QStringLiteral("QLineEdit { %1 border: 1px solid rgb(90,0,90); }"
                       "QLineEdit:disabled { color: gray; background: rgb(230,220,230); }")
            .arg(inputStyle));
    TxtYearConvert->setAlignment(Qt::AlignCenter);
    TxtYearConvert->setMaxLength(4);
    TxtYearConvert->setAcceptDrops(false); // dropped text would pass no filter
    TxtYearConvert->setGeometry(twRect(120, 885, 1000, 315));
    TxtYearConvert->installEventFilter(this);

    auto makeList = [&](const char* name, const QRect& r) {
        auto* box = new QComboBox(FrameCalendar);
        box->setObjectName(QLatin1String(name));
        box->setEditable(false);
        box->setStyleSheet(QStringLiteral("QComboBox { %1 border: 1px solid rgb(90,0,90); padding: 0 2px; }"
                                          "QComboBox:disabled { color: gray; background: rgb(230,220,230); }"
                                          "QComboBox QAbstractItemView { %1 }")
                               .arg(inputStyle));
        box->setMaxVisibleItems(12);
        box->setGeometry(r);
        chrome::SetHandCursor(box);
        return box;
    };
    CmbMonthConvert = makeList("CmbMonthConvert", twRect(1185, 885, 720, 315));
    CmbDayConvert = makeList("CmbDayConvert", twRect(1935, 885, 720, 315));

    LblDay = new QLabel(FrameCalendar);
    LblDay->setObjectName(QStringLiteral("LblDay"));
    LblDay->setStyleSheet(labelStyle("white"));
    LblDay->setAlignment(Qt::AlignCenter);
    LblDay->setGeometry(twRect(2715, 930, 600, 255));

    const QString captions[3] = {QStringLiteral("سنة"), QStringLiteral("شهر"), QStringLiteral("يوم")};
    const QRect captionRects[3] = {twRect(135, 1200, 975, 255), twRect(1155, 1200, 720, 255),
                                   twRect(1995, 1200, 600, 255)};
    for (int i = 0; i < 3; ++i) {
        LblDateConvert[i] = new QLabel(captions[i], FrameCalendar);
        LblDateConvert[i]->setObjectName(QStringLiteral("LblDateConvert%1").arg(i));
        LblDateConvert[i]->setStyleSheet(labelStyle("white"));
        LblDateConvert[i]->setAlignment(Qt::AlignCenter);
        LblDateConvert[i]->setGeometry(captionRects[i]);
    }

    LblDate = new QLabel(FrameCalendar);
    LblDate->setObjectName(QStringLiteral("LblDate"));
    LblDate->setStyleSheet(labelStyle("rgb(255,255,128)"));
    LblDate->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    LblDate->setFont(chrome::ArabicFont(8.25, true));
    LblDate->setGeometry(twRect(165, 1500, 2480, 255));

    LblStutConvert = new QLabel(kStatusReady, FrameCalendar);
    LblStutConvert->setObjectName(QStringLiteral("LblStutConvert"));
    LblStutConvert->setStyleSheet(labelStyle("rgb(255,255,128)"));
    LblStutConvert->setAlignment(Qt::AlignCenter);
    LblStutConvert->setGeometry(twRect(150, 1760, 2480, 255));

    CmdSave = new QPushButton(QStringLiteral("حفظ"), this);
    CmdSave->setObjectName(QStringLiteral("CmdSave"));
    CmdSave->setGeometry(twRect(1440, 2580, 1260, 375));
    CmdSave->setDefault(true);
    chrome::SetHandCursor(CmdSave);
    CmdCancel = new QPushButton(QStringLiteral("إلغاء"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setToolTip(QStringLiteral("إغلاق النافذة"));
    CmdCancel->setGeometry(twRect(120, 2580, 1260, 375));
    chrome::SetHandCursor(CmdCancel);
    chrome::ShowKeyboardFocus(CmdSave);
    chrome::ShowKeyboardFocus(CmdCancel);

    // A screen reader reads each input by the caption under it, and the status lines as they change.
    LblDateConvert[0]->setBuddy(TxtYearConvert);
    LblDateConvert[1]->setBuddy(CmbMonthConvert);
    LblDateConvert[2]->setBuddy(CmbDayConvert);
    TxtYearConvert->setAccessibleName(captions[0]);
    CmbMonthConvert->setAccessibleName(captions[1]);
    CmbDayConvert->setAccessibleName(captions[2]);
    chrome::MarkCaptionedValue(LblDay, QStringLiteral("اليوم من الأسبوع"));
    chrome::MarkStatusLine(LblDate);
    chrome::MarkStatusLine(LblStutConvert);

    setTabOrder(CmbDayConvert, CmbMonthConvert);
    setTabOrder(CmbMonthConvert, TxtYearConvert);
    setTabOrder(TxtYearConvert, CmdSave);
    setTabOrder(CmdSave, CmdCancel);
    setTabOrder(CmdCancel, OptNo);
    setTabOrder(OptNo, OptYes);
    setTabOrder(OptYes, ImgExit());
    CmbDayConvert->setFocus();

    connect(CmbMonthConvert, &QComboBox::currentIndexChanged, this, [this] { CmbMonthConvert_Click(); });
    connect(CmbDayConvert, &QComboBox::currentIndexChanged, this, [this] { CmbDayConvert_Click(); });
    connect(OptNo, &QRadioButton::toggled, this, [this](bool on) {
        if (on) OptNo_Click();
    });
    connect(OptYes, &QRadioButton::toggled, this, [this](bool on) {
        if (on) OptYes_Click();
    });
    connect(TxtYearConvert, &QLineEdit::textChanged, this, [this] { yearChange(); });
    connect(CmdSave, &QPushButton::clicked, this, [this] { CmdSave_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });
}

void FrmCalendar::applyLoanLayout()
{
    setFixedSize(chrome::twSize(3615, 3045 - kOptNoRow));
    ImgLine(0)->setGeometry(twRect(0, 330, 45, 2670 - kOptNoRow));
    ImgLine(1)->setGeometry(twRect(3570, 330, 45, 2670 - kOptNoRow));
    ImgLine(2)->setGeometry(twRect(0, 2980 - kOptNoRow, 3620, 60));
    CmdSave->setGeometry(twRect(1440, 2580 - kOptNoRow, 1260, 375));
    CmdCancel->setGeometry(twRect(120, 2580 - kOptNoRow, 1260, 375));
    FrameCalendar->setGeometry(twRect(120, 340, 3375, 2115 - kOptNoRow));
    OptYes->setGeometry(twRect(120, 240, 3135, 255));
    LblDay->setGeometry(twRect(2715, 930 - kOptNoRow, 600, 255));
    CmbDayConvert->setGeometry(twRect(1935, 885 - kOptNoRow, 720, 315));
    CmbMonthConvert->setGeometry(twRect(1185, 885 - kOptNoRow, 720, 315));
    TxtYearConvert->setGeometry(twRect(120, 885 - kOptNoRow, 1000, 315));
    LblDateConvert[0]->setGeometry(twRect(135, 1200 - kOptNoRow, 975, 255));
    LblDateConvert[1]->setGeometry(twRect(1155, 1200 - kOptNoRow, 720, 255));
    LblDateConvert[2]->setGeometry(twRect(1995, 1200 - kOptNoRow, 600, 255));
    ShpStatut->setGeometry(twRect(120, 1440 - kOptNoRow, 2540, 585));
    ShapeDate->setGeometry(twRect(400, 1480 - kOptNoRow, 2000, 240));
    LblDate->setGeometry(twRect(165, 1500 - kOptNoRow, 2480, 255));
    LblStutConvert->setGeometry(twRect(150, 1760 - kOptNoRow, 2480, 255));
}

// Programmatic choices run the same handler as a user's choice, even when the item was
// already chosen.
void FrmCalendar::selectMonth(int index)
{
    {
        const QSignalBlocker block(CmbMonthConvert);
        CmbMonthConvert->setCurrentIndex(index);
    }
    CmbMonthConvert_Click();
}

void FrmCalendar::selectDay(int index)
{
    {
        const QSignalBlocker block(CmbDayConvert);
        CmbDayConvert->setCurrentIndex(index);
    }
    CmbDayConvert_Click();
}

void FrmCalendar::RefreshDayList()
{
    const QString year = TxtYearConvert->text();
    if (noYear(year)) {
        LblStutConvert->setText(kStatusNoYear);
        return;
    }
    LblStutConvert->setText(kStatusReady);

    const int remembered = CmbDayConvert->currentIndex();
    const int month = CmbMonthConvert->currentText().toInt();
    const int count = daysInMonth(month, yearValue(year));
    {
        const QSignalBlocker block(CmbDayConvert);
        CmbDayConvert->clear();
        for (int d = 1; d <= count; ++d)
            CmbDayConvert->addItem(twoDigits(d));
        // A day beyond the new month's end becomes its last day.
        CmbDayConvert->setCurrentIndex(remembered + 1 > count ? count - 1 : remembered);
    }
    buildDateText();
}

void FrmCalendar::buildDateText()
{
    const QString year = TxtYearConvert->text();
    LblDate->setText(year + QLatin1Char('/') + CmbMonthConvert->currentText() + QLatin1Char('/') +
                     CmbDayConvert->currentText());
    QString weekday;
    if (!noYear(year)) {
        const QDate date(duration::FullYear(yearValue(year)), CmbMonthConvert->currentText().toInt(),
                         CmbDayConvert->currentText().toInt());
        // Arabic names whatever the session's language; QDate counts in the Gregorian calendar.
        if (date.isValid()) weekday = QLocale(QLocale::Arabic).dayName(date.dayOfWeek(), QLocale::LongFormat);
    }
    LblDay->setText(weekday);
}

void FrmCalendar::CmbMonthConvert_Click()
{
    RefreshDayList();
}

void FrmCalendar::CmbDayConvert_Click()
{
    buildDateText();
}

void FrmCalendar::setInputsEnabled(bool enabled)
{
    for (QWidget* w : {static_cast<QWidget*>(LblDay), static_cast<QWidget*>(CmbDayConvert),
                       static_cast<QWidget*>(CmbMonthConvert), static_cast<QWidget*>(TxtYearConvert),
                       static_cast<QWidget*>(LblDateConvert[0]), static_cast<QWidget*>(LblDateConvert[1]),
                       static_cast<QWidget*>(LblDateConvert[2]), static_cast<QWidget*>(LblStutConvert)})
        w->setEnabled(enabled);
}

void FrmCalendar::OptNo_Click()
{
    setInputsEnabled(false);
    LblDate->setText(kNotReturnedMarker);
}

void FrmCalendar::OptYes_Click()
{
    setInputsEnabled(true);
    LblDate->setText(TxtYearConvert->text() + QLatin1Char('/') + CmbMonthConvert->currentText() +
                     QLatin1Char('/') + CmbDayConvert->currentText());
}

void FrmCalendar::CmdSave_Click()
{
    if (noYear(TxtYearConvert->text())) {
        LblStutConvert->setText(kStatusSaveNoYear);
        platform().beep();
        return;
    }
    if (CalendarTarget == 1 && lblDateLoan_)
        lblDateLoan_->setText(LblDate->text());
    else if (CalendarTarget == 2 && lblDateReturn_)
        lblDateReturn_->setText(LblDate->text());
    accept();
}

void FrmCalendar::CmdCancel_Click()
{
    reject();
}

void FrmCalendar::yearKeyDown(const QKeyEvent* e)
{
    const int key = e->key();
    if (key == Qt::Key_Control || key == Qt::Key_Menu ||
        (key == Qt::Key_Insert && (e->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier))
        PastePending = true;
}

bool FrmCalendar::yearKeyPress(const QKeyEvent* e)
{
    const int code = typedCode(e);
    if (code < 0) return true;
    switch (filterKey(code)) {
    case KeyVerdict::Pass:
        return true;
    case KeyVerdict::PassAndPaste:
        PastePending = true;
        return true;
    case KeyVerdict::Drop:
        platform().beep();
        return false;
    }
    return true;
}

// Text that may have come from the clipboard keeps only its digits.
void FrmCalendar::yearChange()
{
    if (!PastePending) return;
    const QString text = TxtYearConvert->text();
    QString digits;
    for (QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) digits += c;
    digits = digits.trimmed();
    QWidget* focus = QApplication::focusWidget();
    if (digits != text && focus) {
        if (focus == TxtYearConvert) {
            TxtYearConvert->setText(digits);
            TxtYearConvert->selectAll();
        }
        platform().beep();
    }
    PastePending = false;
}

// A plain number gets at least four digits. A year below zero is no year and stays as typed.
void FrmCalendar::yearLostFocus()
{
    const QString text = TxtYearConvert->text();
    if (text.isEmpty() || text.size() >= 4) return;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return;
    TxtYearConvert->setText(text.rightJustified(4, QLatin1Char('0')));
}

bool FrmCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TxtYearConvert) {
        switch (event->type()) {
        case QEvent::FocusIn: {
            TxtYearConvert->selectAll();
            // A click that brought the focus would place the caret afterwards.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, TxtYearConvert, [box = TxtYearConvert] { box->selectAll(); });
            break;
        }
        case QEvent::FocusOut: {
            // A context menu or another application taking the focus is no leaving of the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) yearLostFocus();
            break;
        }
        case QEvent::KeyPress: {
            const auto* ke = static_cast<QKeyEvent*>(event);
            yearKeyDown(ke);
            const bool keep = yearKeyPress(ke);
            RefreshDayList();
            if (!keep) return true;
            break;
        }
        case QEvent::KeyRelease:
            RefreshDayList();
            break;
        case QEvent::MouseButtonPress:
            // The right button opens the menu with Paste; the middle one pastes the X selection.
            if (static_cast<QMouseEvent*>(event)->button() & (Qt::RightButton | Qt::MiddleButton))
                PastePending = true;
            RefreshDayList();
            break;
        default:
            break;
        }
        return false;
    }
    return chrome::FramelessWindow::eventFilter(watched, event);
}

} // namespace pelorin::datepicker
