// The entry frame's commands: add, edit, delete and clear loans, and the date buttons.
#include "frm_main.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>

#include "database.h"
#include "frm_calendar.h"
#include "ledger_model.h"
#include "ledger_view.h"
#include "loan_duration.h"
#include "msgbox.h"
#include "record_writes.h"

namespace pelorin::ledger {

using store::MData::Conn;

namespace {

constexpr int kRtl = MsgStyle::RightAlign | MsgStyle::RtlReading;
constexpr int kStop = MsgStyle::Critical | kRtl;

const QString kNoticeTitle = QStringLiteral("تنبيه");
const QString kConfirmTitle = QStringLiteral("تأكيد");
const QString kErrorTitle = QStringLiteral("خطأ");
const QString kFillAllFields = QStringLiteral("يرجى ملء كافة الحقول");
const QString kAskDelete = QStringLiteral("هل ترغب حقاً في حذف السجل الحالي ؟");
const QString kAdded = QStringLiteral("تم حفظ البيانات بنجاح");
const QString kEdited = QStringLiteral("تم تعديل البيانات بنجاح");
const QString kDeleted = QStringLiteral("تم حذف السجل المختار بنجاح");
const QString kWriteFailed =
    QStringLiteral("تعذر حفظ التغيير في قاعدة البيانات، ولم يتغير شيء مما هو محفوظ فيها.");
const QString kRecordGone = QStringLiteral("لم يعد السجل المختار موجوداً في قاعدة البيانات، ولم يتغير شيء.");

const QString kNameBook = QStringLiteral("NameBook");
const QString kNameWriter = QStringLiteral("NameWriter");
const QString kNameBorrower = QStringLiteral("NameBorrower");

// The engine's reason goes under ours: it tells a read-only file from a locked one.
void showWriteError(const QString& what)
{
    QString text = what;
    const QString engine = Conn ? Conn->Error().Told() : QString();
    if (!engine.isEmpty()) text += QStringLiteral("\n\n") + engine;
    chrome::MsgBox(text, kStop, kErrorTitle);
}

// The list's "hide the selection while unfocused" switch: while it is on, the marked row is
// unmarked when the list loses the focus and marked again when it gets it back. A row click
// turns it off.
class SelectionHider : public QObject {
public:
    explicit SelectionHider(QTableView* list) : QObject(list), list_(list)
    {
        setObjectName(QStringLiteral("SelectionHider"));
        list->installEventFilter(this);
        connect(list, &QAbstractItemView::clicked, this, [this] { hiding_ = false; });
        if (auto* view = qobject_cast<LedgerView*>(list))
            connect(view, &LedgerView::rowChosen, this, [this] { hiding_ = false; });
        // A rebuilt list (a re-sort) has no marked row to bring back.
        if (QAbstractItemModel* m = list->model())
            connect(m, &QAbstractItemModel::modelReset, this, [this] { row_ = -1; });
    }

    static SelectionHider* of(QTableView* list)
    {
        auto* h =
            list->findChild<SelectionHider*>(QStringLiteral("SelectionHider"), Qt::FindDirectChildrenOnly);
        return h ? h : new SelectionHider(list);
    }

    void hide()
    {
        hiding_ = true;
        if (!list_->hasFocus()) conceal();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == list_ && hiding_) {
            if (event->type() == QEvent::FocusIn)
                reveal();
            else if (event->type() == QEvent::FocusOut)
                conceal();
        }
        return false;
    }

private:
    void conceal()
    {
        QItemSelectionModel* sel = list_->selectionModel();
        if (!sel) return;
        const QModelIndexList marked = sel->selectedIndexes();
        if (!marked.isEmpty()) row_ = marked.first().row();
        sel->clearSelection();
    }
    void reveal()
    {
        MarkRow(list_, row_);
        row_ = -1;
    }

    QTableView* list_;
    bool hiding_ = false;
    int row_ = -1;
};

} // namespace

// Trimmed, so that a value of blanks counts as empty; every value is looked at before the one
// message for all of them.
static bool entryComplete(const FrmMain& w)
{
    bool complete = true;
    for (const QString& v : {w.TxtNameBook->text(), w.TxtNameWriter->text(), w.TxtNameBorrower->text(),
                             w.LblDateLoan->text(), w.LblDateReturn->text()})
        if (v.trimmed().isEmpty()) complete = false;
    if (!complete) chrome::MsgBox(kFillAllFields, kStop, kNoticeTitle);
    return complete;
}

// The entry goes into the current (or new) row untrimmed, with its duration text.
static void assignEntry(const FrmMain& w, store::Recordset& rs)
{
    rs.SetField(kNameBook, w.TxtNameBook->text());
    rs.SetField(kNameWriter, w.TxtNameWriter->text());
    rs.SetField(kNameBorrower, w.TxtNameBorrower->text());
    rs.SetField(duration::kDateLoanField, w.LblDateLoan->text());
    rs.SetField(duration::kDateReturnField, w.LblDateReturn->text());
    rs.SetField(duration::kTimeLoanField,
                duration::GetTimeLoan(rs.Text(duration::kDateLoanField), rs.Text(duration::kDateReturnField),
                                      platform().today()));
}

void ShowWriteFailed()
{
    showWriteError(kWriteFailed);
}

bool OpenRecord(qint64 id, store::Recordset& rs)
{
    if (!rs.Open(store::sql::kBookById, Conn, {QVariant(id)})) {
        showWriteError(kWriteFailed);
        return false;
    }
    if (rs.Eof()) {
        rs.Close();
        Conn->ClearError();
        showWriteError(kRecordGone);
        return false;
    }
    return true;
}

void FrmMain::CmdAdd_Click()
{
    if (!entryComplete(*this)) return;

    store::Recordset& rs = store::MData::NewRs();
    store::MData::OpenDatabase();
    BackupBeforeChange();
    if (!rs.Open(store::sql::kAllBooks, Conn)) {
        showWriteError(kWriteFailed);
        return;
    }
    rs.AddNew();
    assignEntry(*this, rs);
    if (!rs.Update()) {
        // Nothing was stored: the entry and the list stay as they are, to be tried again.
        rs.CancelUpdate();
        rs.Close();
        showWriteError(kWriteFailed);
        return;
    }
    rs.Close();

    model->Clear();
    RefreshListview();
    CmdClear_Click();
    chrome::MsgBox(kAdded, kRtl, kNoticeTitle);
}

void FrmMain::CmdEdit_Click()
{
    if (!entryComplete(*this)) return;
    const int position = SelectedRow;

    store::Recordset& rs = store::MData::NewRs();
    store::MData::OpenDatabase();
    BackupBeforeChange();
    if (!OpenRecord(SelectedId, rs)) return;
    assignEntry(*this, rs);
    if (!rs.Update()) {
        rs.Close();
        showWriteError(kWriteFailed);
        return;
    }
    rs.Close();

    model->Clear();
    RefreshListview();
    // The same place in the list, which after the rebuild may hold another record.
    MarkRow(lvwRoom, position);
    CmdClear_Click();
    chrome::MsgBox(kEdited, kRtl, kNoticeTitle);
}

void FrmMain::CmdDelete_Click()
{
    if (!entryComplete(*this)) return;
    if (chrome::MsgBox(kAskDelete, MsgStyle::YesNo | MsgStyle::Question | kRtl, kConfirmTitle) !=
        MsgResult::Yes)
        return;

    store::Recordset& rs = store::MData::NewRs();
    store::MData::OpenDatabase();
    BackupBeforeChange();
    if (!OpenRecord(SelectedId, rs)) return;
    if (!rs.Delete()) {
        rs.Close();
        showWriteError(kWriteFailed);
        return;
    }
    rs.Close();

    model->Clear();
    RefreshListview();
    CmdClear_Click();
    chrome::MsgBox(kDeleted, kRtl, kNoticeTitle);
}

void FrmMain::CmdClear_Click()
{
    TxtNameBook->setText(QString());
    TxtNameWriter->setText(QString());
    TxtNameBorrower->setText(QString());
    LblDateLoan->setText(QString());
    LblDateReturn->setText(QString());
    CmdAdd->setEnabled(true);
    CmdEdit->setEnabled(false);
    CmdDelete->setEnabled(false);
    // Back to adding: no record is the target of Edit or Delete any more.
    SelectedId = 0;
    SelectedRow = -1;
    SelectionHider::of(lvwRoom)->hide();
}

void FrmMain::ImgDateLoan_Click()
{
    datepicker::CalendarTarget = 1;
    datepicker::FrmCalendar f(LblDateLoan, LblDateReturn, this);
    f.exec();
}

void FrmMain::ImgDateReturn_Click()
{
    datepicker::CalendarTarget = 2;
    datepicker::FrmCalendar f(LblDateLoan, LblDateReturn, this);
    f.exec();
}

} // namespace pelorin::ledger
