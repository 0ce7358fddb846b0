// The ledger window: its controls, the load sequence and the list of loans.
#include "frm_main.h"

#include <algorithm>
#include <limits>

#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "auto_backup.h"
#include "collation.h"
#include "database.h"
#include "image_button.h"
#include "ledger_model.h"
#include "ledger_view.h"
#include "loan_duration.h"
#include "msgbox.h"
#include "opening.h"
#include "pressable.h"
#include "row_hover_delegate.h"
#include "start_trace.h"
#include "style.h"
#include "twips.h"

namespace pelorin::ledger {

using store::MData::Conn;
using store::MData::Rs;

namespace {

chrome::ChromeLayout mainLayout()
{
    chrome::ChromeLayout l;
    l.clientWidth = 10845;
    l.clientHeight = 6300;
    l.titleRect = QRect(4520, 75, 1995, 255);
    l.title = QStringLiteral("Pelorin");
    l.exitLeft = 10560;
    return l;
}

const QString kDateLabelStyle =
    QStringLiteral("QLabel { color: rgb(128,0,128); background: white; border: 1px solid rgb(90,0,90); }");
// The rows light up under the pointer (hot tracking).
const QString kListHover = QStringLiteral("QTableView::item:hover { background: rgb(255,225,255); }"
                                          "QTableView::item:selected { background: rgb(128,0,128); }");

// Right-aligned whatever the window's direction: Qt would mirror a plain AlignRight.
constexpr Qt::Alignment kRightAligned = Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter;

constexpr int kStopBox = MsgStyle::Critical | MsgStyle::RightAlign | MsgStyle::RtlReading;
const QString kErrorTitle = QStringLiteral("خطأ");
const QString kWriteFailed = QStringLiteral("تعذر الكتابة في قاعدة البيانات");
const QString kReadFailed = QStringLiteral("تعذرت قراءة قاعدة البيانات");

QPushButton* commandButton(const QString& caption, QWidget* parent, const QRect& twips)
{
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(chrome::twRect(twips.x(), twips.y(), twips.width(), twips.height()));
    // Enter on a focused button presses that button; from anywhere else it presses Add.
    b->setAutoDefault(true);
    chrome::SetHandCursor(b);
    chrome::ShowKeyboardFocus(b);
    return b;
}

QLineEdit* entryBox(QWidget* parent, const QRect& twips)
{
    auto* t = new QLineEdit(parent);
    // No typing limit of its own: a box cuts whatever it is given at its limit, and a longer
    // stored name loaded by a row click would lose its end on the next Edit.
    t->setMaxLength(std::numeric_limits<int>::max());
    t->setGeometry(chrome::twRect(twips.x(), twips.y(), twips.width(), twips.height()));
    t->setAlignment(Qt::AlignCenter);
    t->setFont(chrome::ArabicFont(9.75));
    t->setStyleSheet(chrome::EntryStyleSheet());
    return t;
}

QLabel* caption(const QString& text, QWidget* parent, const QRect& twips)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(chrome::twRect(twips.x(), twips.y(), twips.width(), twips.height()));
    l->setAlignment(kRightAligned);
    l->setFont(chrome::ArabicFont(8.25));
    return l;
}

chrome::ImageButton* imageButton(const QString& art, const QString& tip, QWidget* parent, int left, int top)
{
    const QSize size(32, 32);
    auto* b = new chrome::ImageButton(chrome::Picture(art + QStringLiteral("_up"), size),
                                      chrome::Picture(art + QStringLiteral("_down"), size), parent);
    b->setGeometry(chrome::twRect(left, top, 480, 480));
    b->setToolTip(tip);
    return b;
}

void reportDatabaseError(const QString& what)
{
    QString text = what;
    if (Conn && !Conn->Error().description.isEmpty()) text += QLatin1Char('\n') + Conn->Error().Told();
    chrome::MsgBox(text, kStopBox, kErrorTitle);
}

} // namespace

void ShowReadError()
{
    reportDatabaseError(kReadFailed);
}

void ShowWriteError()
{
    reportDatabaseError(kWriteFailed);
}

FrmMain::FrmMain(QWidget* parent) : chrome::FramelessWindow(mainLayout(), parent)
{
    buildControls();
}

FrmMain::~FrmMain() = default;

void FrmMain::buildControls()
{
    // This window's border strips: the sides stop where the bottom strip begins, and the bottom
    // strip reaches a little past both sides.
    const QRect lines[3] = {chrome::twRect(0, 330, 45, 5920), chrome::twRect(10800, 330, 45, 5920),
                            chrome::twRect(-10, 6240, 10880, 60)};
    for (int i = 0; i < 3; ++i) {
        ImgLine(i)->setGeometry(lines[i]);
        ImgLine(i)->setPixmap(
            chrome::Picture(QLatin1String(i < 2 ? "line_side" : "line_bottom"), ImgLine(i)->size()));
    }

    buildToolbar();
    buildEntry();
    buildList();
    buildMenus();

    setTabOrder(TxtNameBook, TxtNameWriter);
    setTabOrder(TxtNameWriter, TxtNameBorrower);
    setTabOrder(TxtNameBorrower, CmdClear);
    setTabOrder(CmdClear, CmdAdd);
    setTabOrder(CmdAdd, CmdEdit);
    setTabOrder(CmdEdit, CmdDelete);
    setTabOrder(CmdDelete, TxtNameLibrary);
    setTabOrder(TxtNameLibrary, CmdSave);
    setTabOrder(CmdSave, lvwRoom);
    buildAccessibility();
    TxtNameBook->setFocus();
}

void FrmMain::fitLibraryNameLimit(int length)
{
    TxtNameLibrary->setMaxLength(std::max(kNameLibraryLength, length));
}

void FrmMain::buildToolbar()
{
    TxtNameLibrary = entryBox(this, QRect(120, 460, 2085, 375));
    TxtNameLibrary->setObjectName(QStringLiteral("TxtNameLibrary"));
    TxtNameLibrary->setMaxLength(kNameLibraryLength);
    // A name longer than the limit (loaded from the file) may be shortened but not lengthened.
    connect(TxtNameLibrary, &QLineEdit::textChanged, this,
            [this](const QString& text) { fitLibraryNameLimit(int(text.size())); });
    TxtNameLibrary->setText(QStringLiteral("اكتب اسم مكتبتك هنا"));
    TxtNameLibrary->setToolTip(QStringLiteral("اكتب اسم مكتبتك هنا"));

    CmdSave = commandButton(QStringLiteral("حفظ"), this, QRect(120, 940, 2100, 375));
    CmdSave->setObjectName(QStringLiteral("CmdSave"));

    FrameHelp = new QGroupBox(QStringLiteral(" مساعدة : "), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    FrameHelp->setGeometry(chrome::twRect(120, 1460, 2085, 860));
    ImgAbout = imageButton(QStringLiteral("about"), QStringLiteral("حول البرنامج"), FrameHelp, 60, 240);
    ImgReport =
        imageButton(QStringLiteral("report"), QStringLiteral("تقرير بالكتب المُعارة"), FrameHelp, 520, 240);
    ImgUpdate = imageButton(QStringLiteral("update"), QStringLiteral("البحث عن تحديث للبرنامج"), FrameHelp,
                            1020, 240);
    ImgCompact = imageButton(QStringLiteral("compact"), QStringLiteral("ضغط وصيانة قاعدة البيانات"),
                             FrameHelp, 1560, 240);

    connect(CmdSave, &QPushButton::clicked, this, [this] { CmdSave_Click(); });
    connect(ImgAbout, &chrome::ImageButton::clicked, this, [this] { ImgAbout_Click(); });
    connect(ImgReport, &chrome::ImageButton::clicked, this, [this] { ImgReport_Click(); });
    connect(ImgUpdate, &chrome::ImageButton::clicked, this, [this] { ImgUpdate_Click(); });
    connect(ImgCompact, &chrome::ImageButton::clicked, this, [this] { ImgCompact_Click(); });
}

void FrmMain::buildEntry()
{
    FrameEnterData = new QGroupBox(QStringLiteral(" إدخال البيانات : "), this);
    FrameEnterData->setObjectName(QStringLiteral("FrameEnterData"));
    FrameEnterData->setGeometry(chrome::twRect(2280, 380, 8445, 1935));
    QWidget* f = FrameEnterData;

    Lbl[0] = caption(QStringLiteral("اسم الكتاب :"), f, QRect(7440, 315, 900, 255));
    TxtNameBook = entryBox(f, QRect(5805, 240, 1600, 360));
    Lbl[1] = caption(QStringLiteral("اسم المؤلف :"), f, QRect(4605, 315, 975, 255));
    TxtNameWriter = entryBox(f, QRect(3045, 240, 1600, 360));
    Lbl[2] = caption(QStringLiteral("اسم المستعير :"), f, QRect(1800, 315, 1005, 255));
    TxtNameBorrower = entryBox(f, QRect(120, 240, 1600, 360));
    TxtNameBook->setObjectName(QStringLiteral("TxtNameBook"));
    TxtNameWriter->setObjectName(QStringLiteral("TxtNameWriter"));
    TxtNameBorrower->setObjectName(QStringLiteral("TxtNameBorrower"));

    Lbl[3] = caption(QStringLiteral("تاريخ الإعارة :"), f, QRect(6405, 915, 975, 255));
    LblDateLoan = new QLabel(f);
    LblDateLoan->setGeometry(chrome::twRect(4755, 840, 1600, 360));
    ImgDateLoan =
        imageButton(QStringLiteral("calendar"), QStringLiteral("اختيار تاريخ الإعارة"), f, 4245, 760);
    Lbl[6] = caption(QStringLiteral("تاريخ الرد :"), f, QRect(3000, 915, 975, 255));
    LblDateReturn = new QLabel(f);
    LblDateReturn->setGeometry(chrome::twRect(1560, 840, 1605, 360));
    ImgDateReturn =
        imageButton(QStringLiteral("calendar"), QStringLiteral("اختيار تاريخ الرد"), f, 1035, 760);
    for (QLabel* l : {LblDateLoan, LblDateReturn}) {
        l->setAlignment(Qt::AlignCenter);
        l->setFont(chrome::ArabicFont(9.75));
        l->setStyleSheet(kDateLabelStyle);
    }
    LblDateLoan->setObjectName(QStringLiteral("LblDateLoan"));
    LblDateReturn->setObjectName(QStringLiteral("LblDateReturn"));

    CmdClear = commandButton(QStringLiteral("تفريغ"), f, QRect(2940, 1440, 900, 375));
    CmdAdd = commandButton(QStringLiteral("إضافة"), f, QRect(1995, 1440, 900, 375));
    CmdEdit = commandButton(QStringLiteral("تعديل"), f, QRect(1065, 1440, 900, 375));
    CmdDelete = commandButton(QStringLiteral("حذف"), f, QRect(120, 1440, 900, 375));
    CmdClear->setObjectName(QStringLiteral("CmdClear"));
    CmdAdd->setObjectName(QStringLiteral("CmdAdd"));
    CmdEdit->setObjectName(QStringLiteral("CmdEdit"));
    CmdDelete->setObjectName(QStringLiteral("CmdDelete"));
    // Enter in any box of the window runs Add.
    CmdAdd->setDefault(true);
    CmdEdit->setEnabled(false);
    CmdDelete->setEnabled(false);

    for (QLineEdit* t : {TxtNameBook, TxtNameWriter, TxtNameBorrower, TxtNameLibrary})
        t->installEventFilter(this);

    connect(CmdClear, &QPushButton::clicked, this, [this] { CmdClear_Click(); });
    connect(CmdAdd, &QPushButton::clicked, this, [this] { CmdAdd_Click(); });
    connect(CmdEdit, &QPushButton::clicked, this, [this] { CmdEdit_Click(); });
    connect(CmdDelete, &QPushButton::clicked, this, [this] { CmdDelete_Click(); });
    connect(ImgDateLoan, &chrome::ImageButton::clicked, this, [this] { ImgDateLoan_Click(); });
    connect(ImgDateReturn, &chrome::ImageButton::clicked, this, [this] { ImgDateReturn_Click(); });
}

void FrmMain::buildList()
{
    model = new LedgerModel(this);
    auto* view = new LedgerView(this);
    lvwRoom = view;
    lvwRoom->setObjectName(QStringLiteral("lvwRoom"));
    lvwRoom->setGeometry(chrome::twRect(120, 2420, 10605, 3735));
    lvwRoom->setModel(model);
    lvwRoom->setItemDelegate(new RowHoverDelegate(lvwRoom));
    connect(lvwRoom, &QTableView::clicked, this,
            [this](const QModelIndex& index) { lvwRoom_ItemClick(index.row()); });
    // A row marked with the keys or by dragging is taken like a clicked one: Edit and Delete
    // must act on the row the list shows marked.
    connect(view, &LedgerView::rowChosen, this, [this](int row) { lvwRoom_ItemClick(row); });
    connect(lvwRoom->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { lvwRoom_ColumnClick(column); });
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            box->selectAll();
            // A click places the cursor after the focus arrives: select again once it has.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, box, &QLineEdit::selectAll);
        }
    }
    return chrome::FramelessWindow::eventFilter(watched, event);
}

void FrmMain::keyPressEvent(QKeyEvent* event)
{
    // The ledger has no cancel button: Escape must not close it (and end the program).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    chrome::FramelessWindow::keyPressEvent(event);
}

void FrmMain::Form_Load()
{
    platform().switchKeyboardLayout(QStringLiteral("ar"));
    SetListViewStyle();
    // The start read the rows on a worker thread while this window was built; the handle they
    // were read with comes after them.
    const std::shared_ptr<Opening> opened = TakeOpenedRows();
    store::MData::OpenDatabase();
    loadedAhead_ = opened && UseOpenedRows(*opened);
    if (!loadedAhead_) {
        RefreshTimeLoan();
        RefreshListview();
    }
    start_trace::Step("list filled");
    LoadLibraryName();
    EndLoadProgress();
}

void FrmMain::SetListViewStyle()
{
    lvwRoom->setLayoutDirection(Qt::RightToLeft);
    lvwRoom->setFont(chrome::ArabicFont(9.75));
    lvwRoom->setStyleSheet(chrome::ListStyleSheet() + kListHover);
    lvwRoom->setFrameShape(QFrame::NoFrame);
    lvwRoom->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwRoom->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwRoom->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwRoom->setShowGrid(true);
    lvwRoom->setWordWrap(false);
    lvwRoom->setTextElideMode(Qt::ElideRight);
    lvwRoom->setMouseTracking(true); // hot tracking
    lvwRoom->setSortingEnabled(false);
    lvwRoom->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The clicked row stays marked while the focus is elsewhere (in the entry boxes).
    QPalette pal = lvwRoom->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    lvwRoom->setPalette(pal);

    QHeaderView* v = lvwRoom->verticalHeader();
    v->hide();
    // Fixed row heights keep a list of a hundred thousand rows from measuring every row.
    v->setSectionResizeMode(QHeaderView::Fixed);
    v->setDefaultSectionSize(lvwRoom->fontMetrics().height() + 6);

    QHeaderView* h = lvwRoom->horizontalHeader();
    h->show();
    h->setSectionsClickable(true);
    h->setHighlightSections(false);
    h->setSortIndicatorShown(false);
    h->setStretchLastSection(false);
    h->setMinimumSectionSize(8);
    h->setSectionResizeMode(QHeaderView::Interactive);
    model->Clear();
    for (int c = 0; c < ColumnCount; ++c) {
        model->SetHeaderImage(c, 0);
        h->resizeSection(c, chrome::tw(ColumnAt(c).widthTwips));
    }
}

void FrmMain::RefreshTimeLoan()
{
    store::Recordset& rs = store::MData::NewRs();
    if (!rs.Open(store::sql::kAllBooks, Conn)) {
        reportDatabaseError(kReadFailed);
        return;
    }
    start_trace::Step("rows read");
    // Until the texts are saved, every list shows today's durations worked out in memory.
    durationsUnsaved_ = !duration::RefreshTimeLoan(*Conn, rs, platform().today());
    start_trace::Step("durations");
    if (durationsUnsaved_) reportDatabaseError(kWriteFailed);
    // The list is filled from these same rows: the file is read once at start-up.
    passRows_ = store::MData::Rs;
}

void FrmMain::RefreshListview()
{
    const std::shared_ptr<store::Recordset> passRows = passRows_.lock();
    passRows_.reset();
    // Rows in memory are sorted here as the engine sorts the list's statement, where they can be.
    sortInMemory_ = Conn && store::SortsLikeTheEngine(*Conn);
    if (!(sortInMemory_ && passRows && passRows == store::MData::Rs)) {
        store::Recordset& rs = store::MData::NewRs();
        if (!rs.Open(sortInMemory_ ? store::sql::kAllBooks : store::sql::kListDefault, Conn)) {
            reportDatabaseError(kReadFailed);
            return;
        }
    }
    fillList(sortInMemory_);
    NamesChanged();
}

void FrmMain::fillList(bool listOrder)
{
    model->Append(*Rs, platform().today(), {listOrder, durationsUnsaved_});
    FitNumberColumn();
}

void FrmMain::FitNumberColumn()
{
    // The number column is narrow; it widens only when the row numbers would not fit.
    const int needed = lvwRoom->fontMetrics().horizontalAdvance(QString::number(model->rowCount())) + 10;
    const int width = std::max(chrome::tw(ColumnAt(ColNumber).widthTwips), needed);
    if (lvwRoom->horizontalHeader()->sectionSize(ColNumber) < width)
        lvwRoom->horizontalHeader()->resizeSection(ColNumber, width);
}

void FrmMain::lvwRoom_ColumnClick(int column)
{
    if (model->rowCount() == 0 || column < 0 || column >= ColumnCount) return;
    const QString key = ColumnAt(column).key;
    const bool ascending = !(SortOrder.trimmed().toUpper() == QLatin1String("ASC") && key == SortColumn);
    // The number column sorts by entry order, remembered as "ID", so that it never flips.
    const QString sortColumn = column == ColNumber ? QStringLiteral("ID") : key;

    if (sortInMemory_) {
        // The list holds every loan already: sorted where it is, the file is not read again.
        model->Sort(column, ascending);
    } else {
        // The shown rows and the sort stay until the sorted rows are in hand: a failed read
        // leaves the list as it was.
        store::Recordset& rs = store::MData::NewRs();
        store::MData::OpenDatabase();
        if (!rs.Open(store::sql::SortStatement(sortColumn, ascending), Conn)) {
            reportDatabaseError(kReadFailed);
            return;
        }
        model->Clear();
        fillList(false);
    }
    SortColumn = sortColumn;
    SortOrder = ascending ? QStringLiteral(" ASC ") : QStringLiteral(" DESC ");
    for (int c = 0; c < ColumnCount; ++c)
        model->SetHeaderImage(c, c == column ? (ascending ? 2 : 1) : 0);

    // Keep the clicked record marked at its new place.
    if (SelectedId != 0) {
        SelectedRow = model->RowOfId(SelectedId);
        if (SelectedRow >= 0) MarkRow(lvwRoom, SelectedRow);
    }
}

void FrmMain::lvwRoom_ItemClick(int row)
{
    if (row < 0 || row >= model->rowCount()) return;
    if (lvwRoom->currentIndex().row() != row) MarkRow(lvwRoom, row);
    TxtNameBook->setText(model->CellText(row, ColNameBook));
    TxtNameWriter->setText(model->CellText(row, ColNameWriter));
    TxtNameBorrower->setText(model->CellText(row, ColNameBorrower));
    LblDateLoan->setText(model->CellText(row, ColDateLoan));
    LblDateReturn->setText(model->CellText(row, ColDateReturn));
    SelectedId = model->IdAt(row);
    SelectedRow = row;
    CmdAdd->setEnabled(false);
    CmdEdit->setEnabled(true);
    CmdDelete->setEnabled(true);
}

void FrmMain::ImgExit_Click()
{
    close();
}

} // namespace pelorin::ledger
