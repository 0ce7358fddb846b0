#include "frm_restore.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "backup_check.h"
#include "backup_files.h"
#include "mdata.h"
#include "msgbox.h"
#include "pressable.h"
#include "restore_backup.h"
#include "style.h"
#include "twips.h"

namespace pelorin::backup {

namespace {

constexpr int kRtl = MsgStyle::RightAlign | MsgStyle::RtlReading;

chrome::ChromeLayout restoreLayout()
{
    chrome::ChromeLayout l;
    l.clientWidth = 8400;
    l.clientHeight = 5460;
    l.titleRect = QRect(2400, 75, 3600, 255);
    l.title = QStringLiteral("استعادة نسخة احتياطية");
    l.exitLeft = 8115;
    return l;
}

enum Column { ColDate, ColTime, ColLoans, ColLibrary, ColState, ColumnCount };
const int kColumnTwips[ColumnCount] = {1500, 1140, 1260, 2400, 1320};

} // namespace

class BackupListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    struct Row {
        BackupFile file;
        FileCheck check;
    };

    void setRows(QVector<Row> rows)
    {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    const Row& row(int r) const { return rows_[r]; }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const QString titles[ColumnCount] = {QStringLiteral("التاريخ"), QStringLiteral("الوقت"),
                                                    QStringLiteral("عدد الإعارات"),
                                                    QStringLiteral("اسم المكتبة"), QStringLiteral("الحالة")};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
            return titles[section];
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid()) return Qt::NoItemFlags;
        // A damaged backup can be looked at (its tool tip says why) but not chosen.
        return rows_[index.row()].check.sound ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid()) return {};
        const Row& r = rows_[index.row()];
        const bool sound = r.check.sound;
        switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
            case ColDate:
                return r.file.at.toString(QStringLiteral("yyyy/MM/dd"));
            case ColTime:
                return r.file.at.toString(QStringLiteral("HH:mm:ss"));
            case ColLoans:
                return sound ? QString::number(r.check.loans) : QString();
            case ColLibrary:
                return sound ? r.check.libraryName : QString();
            case ColState:
                return sound ? QStringLiteral("سليمة") : QStringLiteral("تالفة");
            }
            break;
        case Qt::ToolTipRole:
            return sound ? r.file.path : QStringLiteral("لا تصلح هذه النسخة للاستعادة:\n") + r.check.reason;
        case Qt::AccessibleDescriptionRole:
            // Why a backup is damaged is said to a screen reader too, not only shown in grey.
            if (!sound) return QStringLiteral("لا تصلح هذه النسخة للاستعادة: ") + r.check.reason;
            break;
        case Qt::ForegroundRole:
            if (!sound) return index.column() == ColState ? QColor(200, 0, 0) : QColor(150, 130, 150);
            break;
        case Qt::TextAlignmentRole:
            return index.column() == ColLibrary
                       ? QVariant(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter)
                       : QVariant(Qt::AlignCenter);
        }
        return {};
    }

private:
    QVector<Row> rows_;
};

FrmRestore::FrmRestore(QWidget* parent) : chrome::FramelessWindow(restoreLayout(), parent)
{
    setModal(true);
    LblHint = new QLabel(
        QStringLiteral("اختر النسخة التي تريد استعادتها. تُحفظ البيانات الحالية نسخةً احتياطية أولاً."), this);
    LblHint->setObjectName(QStringLiteral("LblHint"));
    LblHint->setGeometry(chrome::twRect(240, 420, 7920, 600));
    LblHint->setWordWrap(true);
    LblHint->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);

    model = new BackupListModel(this);
    lvwBackups = new QTableView(this);
    lvwBackups->setObjectName(QStringLiteral("lvwBackups"));
    lvwBackups->setGeometry(chrome::twRect(240, 1080, 7920, 3480));
    lvwBackups->setModel(model);
    lvwBackups->setLayoutDirection(Qt::RightToLeft);
    lvwBackups->setStyleSheet(chrome::ListStyleSheet());
    lvwBackups->setFont(chrome::ArabicFont(9.75));
    lvwBackups->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwBackups->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwBackups->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwBackups->setWordWrap(false);
    lvwBackups->verticalHeader()->hide();
    lvwBackups->verticalHeader()->setDefaultSectionSize(lvwBackups->fontMetrics().height() + 6);
    QHeaderView* h = lvwBackups->horizontalHeader();
    h->setHighlightSections(false);
    h->setSectionsClickable(false);
    for (int c = 0; c < ColumnCount; ++c)
        h->resizeSection(c, chrome::tw(kColumnTwips[c]));
    h->setSectionResizeMode(ColLibrary, QHeaderView::Stretch);

    LblEmpty = new QLabel(QStringLiteral("لا توجد نسخ احتياطية بعد"), lvwBackups->viewport());
    LblEmpty->setObjectName(QStringLiteral("LblEmpty"));
    LblEmpty->setAlignment(Qt::AlignCenter);
    LblEmpty->setStyleSheet(QStringLiteral("color: rgb(128,0,128);"));
    LblEmpty->setGeometry(0, 0, lvwBackups->width(), lvwBackups->height() - 30);
    LblEmpty->hide();

    CmdRestore = new QPushButton(QStringLiteral("استعادة"), this);
    CmdRestore->setObjectName(QStringLiteral("CmdRestore"));
    CmdRestore->setGeometry(chrome::twRect(6960, 4800, 1200, 375));
    CmdRestore->setDefault(true);
    CmdCancel = new QPushButton(QStringLiteral("إلغاء"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setGeometry(chrome::twRect(5640, 4800, 1200, 375));
    chrome::ShowKeyboardFocus(CmdRestore);
    chrome::ShowKeyboardFocus(CmdCancel);

    lvwBackups->setAccessibleName(QStringLiteral("النسخ الاحتياطية"));
    // Tab leaves the list for the buttons; the arrow keys move within it.
    lvwBackups->setTabKeyNavigation(false);
    setTabOrder(lvwBackups, CmdRestore);
    setTabOrder(CmdRestore, CmdCancel);
    setTabOrder(CmdCancel, ImgExit());

    connect(CmdRestore, &QPushButton::clicked, this, [this] { CmdRestore_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lvwBackups, &QTableView::doubleClicked, this, [this] { CmdRestore_Click(); });
    connect(lvwBackups->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { updateButtons(); });
    updateButtons();
}

void FrmRestore::LoadBackups()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Checker checker(store::MData::DbPassword);
    checker.adoptLedger();
    QVector<BackupListModel::Row> rows;
    for (const BackupFile& file : ListBackups())
        rows.push_back({file, checker.check(file.path)});
    QApplication::restoreOverrideCursor();

    model->setRows(std::move(rows));
    LblEmpty->setVisible(model->rowCount() == 0);
    // The newest sound backup is the likely choice.
    for (int r = 0; r < model->rowCount(); ++r)
        if (model->row(r).check.sound) {
            MarkRow(r);
            break;
        }
    lvwBackups->setFocus();
    updateButtons();
}

void FrmRestore::MarkRow(int row)
{
    // Through the selection model: QTableView::selectRow finds no column in a right-to-left list.
    const QModelIndex index = model->index(row, 0);
    lvwBackups->selectionModel()->select(index,
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lvwBackups->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

int FrmRestore::chosenRow() const
{
    const QModelIndexList marked = lvwBackups->selectionModel()->selectedRows();
    if (marked.isEmpty()) return -1;
    const int r = marked.first().row();
    return model->row(r).check.sound ? r : -1;
}

void FrmRestore::updateButtons()
{
    CmdRestore->setEnabled(chosenRow() >= 0);
}

void FrmRestore::CmdRestore_Click()
{
    const int r = chosenRow();
    if (r < 0) return;
    const BackupFile file = model->row(r).file;
    const QString question =
        QStringLiteral("هل ترغب حقاً في استعادة النسخة المحفوظة في %1 الساعة %2 ؟\nستُحفظ البيانات الحالية "
                       "نسخةً احتياطية قبل استبدالها.")
            .arg(file.at.toString(QStringLiteral("yyyy/MM/dd")),
                 file.at.toString(QStringLiteral("HH:mm:ss")));
    if (chrome::MsgBox(question, MsgStyle::YesNo | MsgStyle::Question | kRtl, QStringLiteral("تأكيد")) !=
        MsgResult::Yes)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome o = RestoreBackup(file.path);
    QApplication::restoreOverrideCursor();
    if (!o.ok) {
        chrome::MsgBox(QStringLiteral("لم تتم الاستعادة، وبقيت قاعدة البيانات كما كانت.\n\n") + o.reason,
                       MsgStyle::Critical | kRtl, QStringLiteral("خطأ"));
        // The ledger may have been saved as a new backup on the way.
        LoadBackups();
        return;
    }
    restored_ = true;
    QString done = QStringLiteral("تمت استعادة النسخة الاحتياطية بنجاح");
    if (!o.path.isEmpty()) done += QStringLiteral("، وحُفظت البيانات السابقة نسخةً احتياطية");
    chrome::MsgBox(done, MsgStyle::Information | kRtl, QStringLiteral("تنبيه"));
    accept();
}

} // namespace pelorin::backup
