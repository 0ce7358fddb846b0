// The everyday desk: names offered while typing, a book recorded as returned today in one step,
// the same book lent again, and a borrower's or a book's loans at a glance. Commands of the
// list's right-click menu, each with its shortcut.
#include "frm_main.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTimer>

#include "database.h"
#include "find_bar.h"
#include "ledger_model.h"
#include "ledger_view.h"
#include "loan_duration.h"
#include "msgbox.h"
#include "name_completer.h"
#include "record_writes.h"

namespace pelorin::ledger {

namespace {

constexpr int kRtl = MsgStyle::RightAlign | MsgStyle::RtlReading;
const QString kNoticeTitle = QStringLiteral("تنبيه");
const QString kChooseLoan = QStringLiteral("يرجى اختيار إعارة من القائمة أولاً");
const QString kAlreadyReturned = QStringLiteral(
    "أُعيد كتاب هذه الإعارة من قبل بتاريخ %1.\nلتغيير تاريخ الرد اختر التاريخ ثم اضغط «تعديل».");
const QString kEdited = QStringLiteral("تم تعديل البيانات بنجاح");

void refuse(const QString& text)
{
    chrome::MsgBox(text, MsgStyle::Critical | kRtl, kNoticeTitle);
}

} // namespace

void FrmMain::buildDesk()
{
    BookNames = new NameCompleter(TxtNameBook, QStringLiteral("أسماء كتب مقترحة"));
    WriterNames = new NameCompleter(TxtNameWriter, QStringLiteral("أسماء مؤلفين مقترحة"));
    BorrowerNames = new NameCompleter(TxtNameBorrower, QStringLiteral("أسماء مستعيرين مقترحة"));
    for (NameCompleter* c : {BookNames, WriterNames, BorrowerNames})
        c->BeforeOffer([this] {
            if (namesStale_) GatherNames();
        });
    connect(BookNames, &NameCompleter::picked, this, [this](const QString&, const QString& author) {
        if (!author.isEmpty()) TxtNameWriter->setText(author);
    });

    // On the Arabic layout the keys marked D, L, G and H give ي, م, ل and ا.
    ActReturnToday = addCommand(
        QStringLiteral("أُعيد اليوم"), QKeySequence(Qt::CTRL | Qt::Key_D), [this] { ReturnToday(); }, u'ي');
    ActLendAgain = addCommand(
        QStringLiteral("إعارة الكتاب مرة أخرى"), QKeySequence(Qt::CTRL | Qt::Key_L), [this] { LendAgain(); },
        u'م');
    ActBorrowerLoans = addCommand(
        QStringLiteral("إعارات هذا المستعير"), QKeySequence(Qt::CTRL | Qt::Key_G),
        [this] { ShowLoansOf(ColNameBorrower); }, u'ل');
    ActBookLoans = addCommand(
        QStringLiteral("إعارات هذا الكتاب"), QKeySequence(Qt::CTRL | Qt::Key_H),
        [this] { ShowLoansOf(ColNameBook); }, u'ا');
    ListMenu->addActions({ActReturnToday, ActLendAgain, ActBorrowerLoans, ActBookLoans});
    QAction* rule = ListMenu->addSeparator();
    connect(ListMenu, &QMenu::aboutToShow, this, [this, rule] {
        fitRowCommands();
        rule->setVisible(ActLendAgain->isVisible());
    });
    // Out of the menu every shortcut works, and says why when it cannot.
    connect(ListMenu, &QMenu::aboutToHide, this, [this] {
        for (QAction* a : {ActReturnToday, ActLendAgain, ActBorrowerLoans, ActBookLoans}) {
            a->setVisible(true);
            a->setEnabled(true);
        }
    });
}

void FrmMain::fitRowCommands()
{
    const QModelIndex cell = static_cast<LedgerView*>(lvwRoom)->MenuCell();
    const int row = cell.isValid() ? cell.row() : -1;
    // The commands act on the marked row: the one the menu opens on.
    if (row >= 0 && !lvwRoom->selectionModel()->isRowSelected(row, {})) lvwRoom_ItemClick(row);
    const bool onRow = row >= 0;
    ActReturnToday->setVisible(onRow);
    ActReturnToday->setEnabled(onRow && model->CellText(row, ColDateReturn) == duration::kNotReturned);
    ActLendAgain->setVisible(onRow);
    ActBorrowerLoans->setVisible(onRow && cell.column() == ColNameBorrower);
    ActBookLoans->setVisible(onRow && cell.column() == ColNameBook);
}

int FrmMain::markedRow()
{
    const QModelIndexList marked = lvwRoom->selectionModel()->selectedRows();
    if (marked.isEmpty()) {
        refuse(kChooseLoan);
        return -1;
    }
    return marked.first().row();
}

void FrmMain::NamesChanged()
{
    namesStale_ = true;
    QTimer::singleShot(0, this, [this] {
        if (namesStale_) GatherNames();
    });
}

void FrmMain::GatherNames()
{
    namesStale_ = false;
    // Among names used as often, the one lent last comes first.
    const size_t loans = size_t(model->TotalCount());
    find::NameIndex::Builder books(loans), writers(loans), borrowers(loans);
    model->ForEachLoan([&](qint64 id, QStringView book, QStringView writer, QStringView borrower) {
        books.Add(book, writer, id);
        writers.Add(writer, {}, id);
        borrowers.Add(borrower, {}, id);
    });
    BookNames->SetNames(books.Finish());
    WriterNames->SetNames(writers.Finish());
    BorrowerNames->SetNames(borrowers.Finish());
}

void FrmMain::ReturnToday()
{
    const int row = markedRow();
    if (row < 0) return;
    const qint64 id = model->IdAt(row);

    store::Recordset& rs = store::MData::NewRs();
    store::MData::OpenDatabase();
    if (!OpenRecord(id, rs)) return;
    // The file decides, not the list: a return recorded elsewhere since is not overwritten.
    const QString back = rs.Text(duration::kDateReturnField).trimmed();
    if (back != duration::kNotReturned) {
        rs.Close();
        refuse(kAlreadyReturned.arg(DateCellText(back)));
        return;
    }
    BackupBeforeChange();
    const QDate today = platform().today();
    rs.SetField(duration::kDateReturnField, duration::DateText(today));
    rs.SetField(duration::kTimeLoanField,
                duration::GetTimeLoan(rs.Text(duration::kDateLoanField), duration::DateText(today), today));
    if (!rs.Update()) {
        rs.Close();
        ShowWriteFailed();
        return;
    }
    rs.Close();

    model->Clear();
    RefreshListview();
    // The same loan stays marked where the list now shows it, and in the entry.
    const int now = model->RowOfId(id);
    if (now >= 0) {
        lvwRoom_ItemClick(now);
        lvwRoom->scrollTo(model->index(now, 0));
    } else {
        CmdClear_Click();
    }
    chrome::MsgBox(kEdited, kRtl, kNoticeTitle);
}

void FrmMain::LendAgain()
{
    const int row = markedRow();
    if (row < 0) return;
    const QString book = model->CellText(row, ColNameBook), writer = model->CellText(row, ColNameWriter);
    CmdClear_Click();
    TxtNameBook->setText(book);
    TxtNameWriter->setText(writer);
    LblDateLoan->setText(duration::DateText(platform().today()));
    LblDateReturn->setText(duration::kNotReturned);
    TxtNameBorrower->setFocus(Qt::ShortcutFocusReason);
}

void FrmMain::ShowLoansOf(int column)
{
    const int row = markedRow();
    if (row < 0) return;
    const QString value = model->CellText(row, column);
    ShowFindBar();
    findBar->ShowField(column == ColNameBorrower ? QStringLiteral("إعارات المستعير :")
                                                 : QStringLiteral("إعارات الكتاب :"),
                       value);
    model->SetFieldFilter(column, value);
    markSelectedRecord();
    showFindCount();
    // The loans are what the owner came for.
    lvwRoom->setFocus(Qt::ShortcutFocusReason);
}

} // namespace pelorin::ledger
