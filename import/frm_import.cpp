#include "frm_import.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>

#include <algorithm>
#include <functional>
#include <memory>

#include "import_summary.h"
#include "pressable.h"
#include "style.h"
#include "twips.h"

namespace pelorin::importing {

namespace {

chrome::ChromeLayout importLayout()
{
    chrome::ChromeLayout l;
    l.clientWidth = 10800;
    l.clientHeight = 8130;
    l.titleRect = QRect(3600, 75, 3600, 255);
    l.title = QStringLiteral("استيراد الإعارات");
    l.exitLeft = 10515;
    return l;
}

const QString kControlStyle = QStringLiteral(
    "QComboBox { background: white; color: rgb(128,0,128); border: 1px solid rgb(90,0,90); padding: 0 6px; }"
    "QComboBox QAbstractItemView { background: white; color: rgb(128,0,128);"
    " selection-background-color: rgb(128,0,128); selection-color: white; }"
    "QCheckBox { color: white; }"
    "QListWidget { background: white; color: black; border: none;"
    " selection-background-color: rgb(128,0,128); selection-color: white; }");

constexpr auto kRight = Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter;

} // namespace

std::unique_ptr<QProgressDialog> NewProgress(QWidget* parent, const QString& title, const QString& text,
                                             int maximum)
{
    auto bar = std::make_unique<QProgressDialog>(text, QStringLiteral("إلغاء"), 0, maximum, parent);
    bar->setWindowTitle(title);
    bar->setLayoutDirection(Qt::RightToLeft);
    bar->setWindowModality(Qt::WindowModal);
    bar->setAutoReset(false);
    bar->setAutoClose(false);
    // The owner window's look carries over; the bar and its button need room of their own.
    bar->setStyleSheet(
        QStringLiteral("QPushButton { padding: 3px 12px; min-width: 64px; min-height: 20px; }"));
    bar->setMinimumWidth(chrome::tw(5400));
    return bar;
}

namespace {

// Files up to this size are read in a blink; larger ones show a bar that can cancel the reading.
constexpr qsizetype kQuietBytes = 1024 * 1024;

// Runs the work on another thread while this one keeps the windows painted. A large file gets a
// modal bar at once, whose Cancel tells the work to stop; for a small one input simply waits.
// Either way nothing changes the choices the work reads.
void inBackground(QWidget* parent, qsizetype bytes, const std::function<void(const std::atomic<bool>*)>& work)
{
    std::atomic<bool> stop{false};
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::unique_ptr<QProgressDialog> busy;
    if (bytes > kQuietBytes) {
        busy = NewProgress(parent, QStringLiteral("قراءة الملف"), QStringLiteral("جارٍ قراءة الملف…"), 0);
        busy->setWindowModality(Qt::ApplicationModal);
        busy->setMinimumDuration(0);
        QObject::connect(busy.get(), &QProgressDialog::canceled, [&stop] { stop = true; });
        busy->show();
    }
    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create([&] { work(&stop); }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec(busy ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    QApplication::restoreOverrideCursor();
}

QLabel* label(QWidget* parent, const QString& text, const QRect& at)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(at);
    l->setAlignment(kRight);
    return l;
}

QString errorWithLine(const QString& error, int line)
{
    return line > 0 ? QStringLiteral("%1 (السطر %2)").arg(error).arg(line) : error;
}

// A cell of a file as a choice of the column drop-down: short, on one line.
QString sample(const QString& text)
{
    QString s = text.simplified();
    return s.size() > 20 ? s.left(19) + QChar(0x2026) : s;
}

} // namespace

FrmImport::FrmImport(const QString& fileName, QByteArray bytes, QSet<QString> ledgerKeys, QWidget* parent)
    : chrome::FramelessWindow(importLayout(), parent), bytes_(std::move(bytes)),
      ledgerKeys_(std::move(ledgerKeys))
{
    start(fileName);
    inBackground(parent, bytes_.size(), [this](const std::atomic<bool>* stop) {
        file_ = ParseFile(bytes_, std::nullopt, std::nullopt, stop);
        buildFromFile(stop);
    });
    firstError_ = file_.error.isEmpty() ? QString() : errorWithLine(file_.error, file_.errorLine);
    finish();
}

FrmImport::FrmImport(const QString& fileName, const AccessSource& access, QSet<QString> ledgerKeys,
                     QWidget* parent)
    : chrome::FramelessWindow(importLayout(), parent), access_(access), ledgerKeys_(std::move(ledgerKeys))
{
    start(fileName);
    QString listError;
    inBackground(parent, QFileInfo(access_.path).size(), [&](const std::atomic<bool>* stop) {
        AccessTables list = ListAccessTables(access_.path, stop);
        file_.stopped = list.stopped;
        if (list.stopped || !(listError = list.error).isEmpty()) return;
        tables_ = std::move(list.tables);
        readTable(FirstLoanTable(tables_), stop);
        if (file_.error.isEmpty() && !file_.stopped && !rows_.stopped)
            fileLibraryName_ = AccessLibraryName(access_.path, tables_, stop);
    });
    // A file whose first table cannot be read is refused whole, as a text file is: what made the
    // reader fail there would most likely make it fail on the other tables too.
    const QString error = !listError.isEmpty() ? listError : file_.error;
    firstError_ = error;
    if (!error.isEmpty()) file_.error = error;
    showAccessChoices();
    finish();
}

void FrmImport::start(const QString& fileName)
{
    setModal(true);
    setStyleSheet(styleSheet() + kControlStyle);
    buildControls();
    LblFile->setText(QStringLiteral("الملف: ") + fileName);
    LblFile->setToolTip(fileName);
}

void FrmImport::finish()
{
    stopped_ = file_.stopped || rows_.stopped;
    showFile();
    // Return imports at once; the choices are a Tab away. Without this the close image, the
    // window's first control, would take the keyboard.
    CmdImport->setFocus(Qt::OtherFocusReason);
}

void FrmImport::buildFromFile(const std::atomic<bool>* stop)
{
    rows_ = file_.error.isEmpty() && !file_.stopped ? BuildRows(file_.records, file_.map, ledgerKeys_, stop)
                                                    : ImportRows{};
    if (file_.stopped) rows_.stopped = true;
}

void FrmImport::readTable(qsizetype index, const std::atomic<bool>* stop)
{
    table_ = index;
    file_ = ReadAccessTable(access_.path, tables_[index].name, stop);
    buildFromFile(stop);
}

void FrmImport::showAccessChoices()
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{LblEncoding, CboEncoding, LblSeparator, CboSeparator, ChkHeader})
        w->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{LblTable, CboTable})
        w->show();
    filling_ = true;
    for (qsizetype t = 0; t < tables_.size(); ++t)
        CboTable->addItem(QStringLiteral("%1 (عدد الصفوف: %2)").arg(tables_[t].name).arg(tables_[t].rows), t);
    filling_ = false;
    lvwPreview->horizontalHeaderItem(0)->setText(kRowUnit);
    // The ledger's name is kept unless it is still the delivered one or none.
    const QString ours = access_.ledgerLibraryName.trimmed();
    if (fileLibraryName_.isEmpty() || fileLibraryName_ == ours) return;
    ChkLibraryName->setText(QStringLiteral("اعتمد اسم المكتبة: ") + fileLibraryName_);
    ChkLibraryName->setToolTip(fileLibraryName_);
    ChkLibraryName->setChecked(ours.isEmpty() || ours == QStringLiteral("مكتبتي") ||
                               ours == QStringLiteral("اكتب اسم مكتبتك هنا"));
    ChkLibraryName->show();
}

QString FrmImport::ChosenLibraryName() const
{
    return !ChkLibraryName->isHidden() && ChkLibraryName->isChecked() ? fileLibraryName_ : QString();
}

void FrmImport::buildControls()
{
    LblFile = label(this, QString(), chrome::twRect(240, 420, 10320, 300));
    LblFile->setObjectName(QStringLiteral("LblFile"));

    LblEncoding = label(this, QStringLiteral("الترميز:"), chrome::twRect(9480, 810, 1080, 330));
    CboEncoding = new QComboBox(this);
    CboEncoding->setObjectName(QStringLiteral("CboEncoding"));
    CboEncoding->setGeometry(chrome::twRect(7500, 810, 1920, 330));
    CboEncoding->setAccessibleName(QStringLiteral("الترميز"));
    for (Encoding e : {Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be, Encoding::Windows1256})
        CboEncoding->addItem(EncodingName(e), int(e));

    LblSeparator = label(this, QStringLiteral("الفاصل:"), chrome::twRect(6300, 810, 1080, 330));
    CboSeparator = new QComboBox(this);
    CboSeparator->setObjectName(QStringLiteral("CboSeparator"));
    CboSeparator->setGeometry(chrome::twRect(4320, 810, 1920, 330));
    CboSeparator->setAccessibleName(QStringLiteral("الفاصل"));
    CboSeparator->addItem(QStringLiteral("فاصلة ( , )"), QChar(u','));
    CboSeparator->addItem(QStringLiteral("فاصلة منقوطة ( ; )"), QChar(u';'));
    CboSeparator->addItem(QStringLiteral("جدولة (Tab)"), QChar(u'\t'));

    LblTable = label(this, QStringLiteral("الجدول:"), chrome::twRect(9480, 810, 1080, 330));
    CboTable = new QComboBox(this);
    CboTable->setObjectName(QStringLiteral("CboTable"));
    CboTable->setGeometry(chrome::twRect(4320, 810, 5100, 330));
    CboTable->setAccessibleName(QStringLiteral("الجدول"));
    for (QWidget* w : std::initializer_list<QWidget*>{LblTable, CboTable})
        w->hide();

    ChkHeader = new QCheckBox(QStringLiteral("الصف الأول أسماء الأعمدة"), this);
    ChkHeader->setObjectName(QStringLiteral("ChkHeader"));
    ChkHeader->setGeometry(chrome::twRect(240, 810, 3840, 330));

    // The five fields from right to left, in the list's order, each with the column it comes from.
    for (int c = 0; c < ColumnCount; ++c) {
        const int left = 240 + (ColumnCount - 1 - c) * 2070;
        label(this, ColumnCaption(Column(c)) + u':', chrome::twRect(left, 1260, 1980, 270));
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("CboColumn%1").arg(c));
        box->setGeometry(chrome::twRect(left, 1530, 1980, 330));
        box->setAccessibleName(QStringLiteral("عمود %1").arg(ColumnCaption(Column(c))));
        CboColumn[size_t(c)] = box;
    }

    LblOrder = label(this, QString(), chrome::twRect(240, 1950, 10320, 300));
    LblOrder->setObjectName(QStringLiteral("LblOrder"));

    lvwPreview = new QTableWidget(this);
    lvwPreview->setObjectName(QStringLiteral("lvwPreview"));
    lvwPreview->setGeometry(chrome::twRect(240, 2310, 10320, 2820));
    lvwPreview->setAccessibleName(QStringLiteral("الإعارات كما ستُحفظ"));
    lvwPreview->setLayoutDirection(Qt::RightToLeft);
    lvwPreview->setStyleSheet(chrome::ListStyleSheet());
    lvwPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwPreview->setWordWrap(false);
    lvwPreview->setTabKeyNavigation(false);
    lvwPreview->verticalHeader()->hide();
    lvwPreview->verticalHeader()->setDefaultSectionSize(lvwPreview->fontMetrics().height() + 6);
    lvwPreview->setColumnCount(ColumnCount + 1);
    QStringList captions{QStringLiteral("السطر")};
    for (int c = 0; c < ColumnCount; ++c)
        captions << ColumnCaption(Column(c));
    lvwPreview->setHorizontalHeaderLabels(captions);
    QHeaderView* h = lvwPreview->horizontalHeader();
    h->setHighlightSections(false);
    h->setSectionsClickable(false);
    // The title takes what the others leave; nothing scrolls sideways.
    const int widths[] = {660, 0, 1860, 1860, 1440, 1440};
    h->setMinimumSectionSize(chrome::tw(600));
    for (int c = 0; c <= ColumnCount; ++c)
        if (widths[c] > 0) h->resizeSection(c, chrome::tw(widths[c]));
    h->setSectionResizeMode(1, QHeaderView::Stretch);
    lvwPreview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    LblCounts = label(this, QString(), chrome::twRect(240, 5220, 10320, 330));
    LblCounts->setObjectName(QStringLiteral("LblCounts"));
    LblCounts->setFont(chrome::ArabicFont(9.75, true));

    lstRefused = new QListWidget(this);
    lstRefused->setObjectName(QStringLiteral("lstRefused"));
    lstRefused->setGeometry(chrome::twRect(240, 5610, 10320, 1350));
    lstRefused->setAccessibleName(QStringLiteral("الصفوف المرفوضة وأسبابها"));
    lstRefused->setLayoutDirection(Qt::RightToLeft);
    lstRefused->setSelectionMode(QAbstractItemView::ExtendedSelection);

    ChkDuplicates = new QCheckBox(QStringLiteral("أضف المكرر أيضاً"), this);
    ChkDuplicates->setObjectName(QStringLiteral("ChkDuplicates"));
    ChkDuplicates->setGeometry(chrome::twRect(5400, 7080, 5160, 330));
    ChkLibraryName = new QCheckBox(this);
    ChkLibraryName->setObjectName(QStringLiteral("ChkLibraryName"));
    ChkLibraryName->setGeometry(chrome::twRect(240, 7080, 5040, 330));
    ChkLibraryName->hide();

    CmdImport = new QPushButton(QStringLiteral("استيراد"), this);
    CmdImport->setObjectName(QStringLiteral("CmdImport"));
    CmdImport->setGeometry(chrome::twRect(9360, 7560, 1200, 375));
    CmdImport->setDefault(true);
    CmdCancel = new QPushButton(QStringLiteral("إلغاء"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setGeometry(chrome::twRect(8040, 7560, 1200, 375));
    CmdCopy = new QPushButton(QStringLiteral("نسخ الأسباب"), this);
    CmdCopy->setObjectName(QStringLiteral("CmdCopy"));
    CmdCopy->setGeometry(chrome::twRect(240, 7560, 1680, 375));
    CmdCopy->setToolTip(QStringLiteral("نسخ أسباب رفض الصفوف لِلصقها في رسالة أو ملف"));
    for (QPushButton* b : {CmdImport, CmdCancel, CmdCopy})
        chrome::ShowKeyboardFocus(b);

    setTabOrder(CboTable, CboEncoding);
    setTabOrder(CboEncoding, CboSeparator);
    setTabOrder(CboSeparator, ChkHeader);
    QWidget* previous = ChkHeader;
    for (QComboBox* box : CboColumn) {
        setTabOrder(previous, box);
        previous = box;
    }
    for (QWidget* w : std::initializer_list<QWidget*>{lvwPreview, lstRefused, ChkDuplicates, ChkLibraryName,
                                                      CmdImport, CmdCancel, CmdCopy, ImgExit()}) {
        setTabOrder(previous, w);
        previous = w;
    }

    connect(CmdImport, &QPushButton::clicked, this, &QDialog::accept);
    connect(CmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(CmdCopy, &QPushButton::clicked, this, [this] { copyReasons(); });
    connect(CboEncoding, &QComboBox::currentIndexChanged, this, [this] { reread(); });
    connect(CboSeparator, &QComboBox::currentIndexChanged, this, [this] { reread(); });
    connect(ChkHeader, &QCheckBox::toggled, this, [this] { rebuild(); });
    for (QComboBox* box : CboColumn)
        connect(box, &QComboBox::currentIndexChanged, this, [this] { rebuild(); });
    connect(ChkDuplicates, &QCheckBox::toggled, this, [this] { showRows(); });
    connect(ChkLibraryName, &QCheckBox::toggled, this, [this] { showRows(); });
    connect(CboTable, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_) return;
        const qsizetype index = CboTable->currentData().toLongLong();
        inBackground(this, QFileInfo(access_.path).size(),
                     [this, index](const std::atomic<bool>* stop) { readTable(index, stop); });
        showFile();
    });
}

QString FrmImport::FileError() const
{
    return firstError_;
}

QList<const ImportRow*> FrmImport::ChosenRows() const
{
    QList<const ImportRow*> out;
    out.reserve(rows_.accepted.size() + rows_.duplicates.size());
    for (const ImportRow& r : rows_.accepted)
        out.append(&r);
    if (ChkDuplicates->isChecked()) {
        for (const ImportRow& r : rows_.duplicates)
            out.append(&r);
        // Both lists keep the file's order; the ledger gets the rows in that order too.
        std::stable_sort(out.begin(), out.end(),
                         [](const ImportRow* a, const ImportRow* b) { return a->line < b->line; });
    }
    return out;
}

qsizetype FrmImport::LeftOut() const
{
    return ChkDuplicates->isChecked() ? 0 : rows_.duplicates.size();
}

ColumnMap FrmImport::chosenMap() const
{
    ColumnMap map;
    map.hasHeader = ChkHeader->isChecked();
    for (int c = 0; c < ColumnCount; ++c)
        map.field[size_t(c)] = CboColumn[size_t(c)]->currentData().toInt();
    return map;
}

void FrmImport::reread()
{
    if (filling_ || !access_.path.isEmpty()) return;
    const auto encoding = Encoding(CboEncoding->currentData().toInt());
    const QChar separator = CboSeparator->currentData().toChar();
    inBackground(this, bytes_.size(), [this, encoding, separator](const std::atomic<bool>* stop) {
        file_ = ParseFile(bytes_, encoding, separator, stop);
        buildFromFile(stop);
    });
    showFile();
}

void FrmImport::rebuild()
{
    if (filling_ || !file_.error.isEmpty()) return;
    const ColumnMap map = chosenMap();
    inBackground(this, bytes_.size(), [this, map](const std::atomic<bool>* stop) {
        rows_ = BuildRows(file_.records, map, ledgerKeys_, stop);
    });
    showRows();
}

void FrmImport::showFile()
{
    filling_ = true;
    CboTable->setCurrentIndex(CboTable->findData(table_));
    CboEncoding->setCurrentIndex(CboEncoding->findData(int(file_.encoding)));
    CboSeparator->setCurrentIndex(CboSeparator->findData(file_.separator));
    ChkHeader->setChecked(file_.map.hasHeader);
    // Every field the first rows have, named by the header or by the first row's value.
    int fields = 0;
    for (qsizetype r = 0; r < std::min<qsizetype>(file_.records.size(), 50); ++r)
        fields = std::max(fields, int(file_.records[r].fields.size()));
    const QStringList first = file_.records.isEmpty() ? QStringList() : file_.records.constFirst().fields;
    for (int c = 0; c < ColumnCount; ++c) {
        QComboBox* box = CboColumn[size_t(c)];
        box->clear();
        box->addItem(QStringLiteral("— لا شيء —"), -1);
        for (int f = 0; f < fields; ++f) {
            const QString shown = f < first.size() ? sample(first[f]) : QString();
            box->addItem(shown.isEmpty() ? QStringLiteral("العمود %1").arg(f + 1)
                                         : QStringLiteral("%1: %2").arg(f + 1).arg(shown),
                         f);
            box->setItemData(box->count() - 1, QStringLiteral("العمود %1: %2").arg(f + 1).arg(shown),
                             Qt::AccessibleTextRole);
        }
        box->setCurrentIndex(box->findData(file_.map.field[size_t(c)]));
        box->setEnabled(file_.error.isEmpty());
    }
    ChkHeader->setEnabled(file_.error.isEmpty());
    filling_ = false;
    showRows();
}

void FrmImport::showRows()
{
    const QString error = rows_.stopped ? QStringLiteral("أُلغيت قراءة الملف؛ اختر من جديد لتُقرأ")
                          : !file_.error.isEmpty() ? errorWithLine(file_.error, file_.errorLine)
                                                   : rows_.error;
    // Rows of an Access table that could not be read come before how its dates were read.
    QStringList notes{file_.warning, rows_.order.explanation};
    notes.removeAll(QString());
    LblOrder->setText(error.isEmpty() ? notes.join(QStringLiteral("؛ ")) : QString());
    LblOrder->setToolTip(LblOrder->text());
    LblOrder->setStyleSheet(
        error.isEmpty() && !file_.warning.isEmpty() ? QStringLiteral("color: rgb(255,220,120);") : QString());
    const QList<const ImportRow*> chosen = error.isEmpty() ? ChosenRows() : QList<const ImportRow*>();

    lvwPreview->setRowCount(0);
    const int shown = int(std::min<qsizetype>(chosen.size(), kPreviewRows));
    lvwPreview->setRowCount(shown);
    for (int r = 0; r < shown; ++r) {
        auto* line = new QTableWidgetItem(QString::number(chosen[r]->line));
        line->setTextAlignment(Qt::AlignCenter);
        lvwPreview->setItem(r, 0, line);
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(chosen[r]->cells[size_t(c)]);
            item->setToolTip(chosen[r]->cells[size_t(c)]);
            lvwPreview->setItem(r, c + 1, item);
        }
    }

    lstRefused->clear();
    if (error.isEmpty()) {
        LblCounts->setText(CountsSentence(chosen.size(), LeftOut(), rows_.refused.size(), Tense::Coming));
        LblCounts->setStyleSheet(QString());
        if (!rows_.refused.isEmpty())
            lstRefused->addItems(RefusedLines(rows_.refused, 0, RowUnit()).split(u'\n'));
    } else {
        LblCounts->setText(error);
        LblCounts->setStyleSheet(QStringLiteral("color: rgb(255,220,120);"));
    }
    ChkDuplicates->setEnabled(!rows_.duplicates.isEmpty());
    CmdCopy->setEnabled(!rows_.refused.isEmpty());
    CmdImport->setEnabled(!chosen.isEmpty() || !ChosenLibraryName().isEmpty());
}

void FrmImport::copyReasons()
{
    QApplication::clipboard()->setText(RefusedLines(rows_.refused, 0, RowUnit()));
}

} // namespace pelorin::importing
