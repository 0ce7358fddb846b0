// The everyday desk: names offered in the entry boxes, a return in one step, lending a book
// again, and one borrower's or one book's loans.
#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "find_bar.h"
#include "ledger_fixture.h"
#include "loan_duration.h"
#include "name_completer.h"

using namespace pelorin;
using namespace pelorin::ledger;
using namespace pelorin::ledger::testing;

namespace {

const QString kEdited = QStringLiteral("تم تعديل البيانات بنجاح");

class DeskTest : public LedgerFixture {
protected:
    FrmMain& loadDesk()
    {
        FrmMain& w = load({{"الأيام", "طه حسين", "أحمد", "2024/01/15", kOut, ""},
                           {"الأيام", "طه حسين", "سارة", "2023/05/20", "2023/06/01", ""},
                           {"كليلة ودمنة", "ابن المقفع", "أحمد", "2023/01/05", "2023/02/01", ""},
                           {"البخلاء", "الجاحظ", "أحمد سالم", "2024/02/01", kOut, ""},
                           {"البخلاء", "مجهول", "ليلى", "2024/02/11", "2024/02/20", ""},
                           {"رسالة الغفران", "المعري", " أحمد ", "2024/03/01", kOut, ""}});
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    // Arabic cannot go through QTest::keyClicks: one key event per character.
    static void type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->clear();
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::KeyAction::Click, box, Qt::Key_unknown, QString(c), {});
    }
    QStringList stored() const
    {
        return test::Query(path, QStringLiteral("SELECT ID||'|'||NameBorrower||'|'||DateReturn||'|'||TimeLoan"
                                                " FROM TableBook ORDER BY ID"));
    }
    int backups() const
    {
        return int(QDir(dir.filePath(QStringLiteral("Backups"))).entryList(QDir::Files).size());
    }
    void mark(qint64 id)
    {
        window->lvwRoom_ItemClick(window->model->RowOfId(id));
        window->TxtNameBook->setFocus();
    }
    QList<qint64> ids() const
    {
        QList<qint64> out;
        for (int r = 0; r < window->model->rowCount(); ++r)
            out << window->model->IdAt(r);
        return out;
    }
};

TEST_F(DeskTest, NamesAreOfferedAndTakenWithoutAddAndFollowTheLedger)
{
    FrmMain& w = loadDesk();
    QLineEdit* borrower = w.TxtNameBorrower;
    type(borrower, QStringLiteral("احم"));
    EXPECT_EQ(w.BorrowerNames->Offered(), (QStringList{"أحمد", "أحمد سالم"})) << "three loans, then one";
    EXPECT_TRUE(w.BorrowerNames->List()->isVisible());
    EXPECT_EQ(w.BorrowerNames->List()->layoutDirection(), Qt::RightToLeft);
    QTest::keyClick(borrower, Qt::Key_Down);
    QTest::keyClick(borrower, Qt::Key_Down);
    QTest::keyClick(borrower, Qt::Key_Return);
    EXPECT_EQ(borrower->text(), QStringLiteral("أحمد سالم"));
    EXPECT_TRUE(w.BorrowerNames->Offered().isEmpty());

    type(borrower, QStringLiteral("سار"));
    QTest::keyClick(borrower, Qt::Key_Escape);
    EXPECT_TRUE(w.BorrowerNames->Offered().isEmpty());
    EXPECT_EQ(borrower->text(), QStringLiteral("سار"));
    type(borrower, QStringLiteral("يل"));
    QTest::keyClick(borrower, Qt::Key_Down);
    QTest::keyClick(borrower, Qt::Key_Tab);
    EXPECT_EQ(borrower->text(), QStringLiteral("ليلى"));
    EXPECT_TRUE(w.CmdClear->hasFocus()) << "Tab takes the name and goes on";
    EXPECT_TRUE(fake.messages.isEmpty()) << "nothing ran Add";
    // Nothing chosen: Enter closes the list and keeps the text; the next Enter runs Add.
    type(borrower, QStringLiteral("أحم"));
    QTest::keyClick(borrower, Qt::Key_Return);
    EXPECT_EQ(borrower->text(), QStringLiteral("أحم"));
    EXPECT_TRUE(fake.messages.isEmpty());
    QTest::keyClick(borrower, Qt::Key_Return);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("يرجى ملء كافة الحقول"));

    // A title always lent with one author brings it; one lent with two leaves the box alone.
    type(w.TxtNameBook, QStringLiteral("الايا"));
    QTest::keyClick(w.TxtNameBook, Qt::Key_Down);
    QTest::keyClick(w.TxtNameBook, Qt::Key_Return);
    EXPECT_EQ(w.TxtNameWriter->text(), QStringLiteral("طه حسين"));
    w.TxtNameWriter->setText(QStringLiteral("غيره"));
    type(w.TxtNameBook, QStringLiteral("بخ"));
    QTest::keyClick(w.TxtNameBook, Qt::Key_Down);
    QTest::keyClick(w.TxtNameBook, Qt::Key_Return);
    EXPECT_EQ(w.TxtNameBook->text(), QStringLiteral("البخلاء"));
    EXPECT_EQ(w.TxtNameWriter->text(), QStringLiteral("غيره"));

    // A name added is offered at once.
    borrower->setText(QStringLiteral("زينب"));
    w.LblDateLoan->setText(QStringLiteral("2024/03/10"));
    w.LblDateReturn->setText(kOut);
    w.CmdAdd_Click();
    type(borrower, QStringLiteral("زي"));
    EXPECT_EQ(w.BorrowerNames->Offered(), QStringList{"زينب"});
    type(w.TxtNameWriter, QStringLiteral("المعري"));
    EXPECT_TRUE(w.WriterNames->Offered().isEmpty()) << "nothing beyond the typed name itself";
}

TEST_F(DeskTest, CtrlDReturnsOnlyTheMarkedLoanAfterTheDaysBackupAndRefusesAReturnedOne)
{
    FrmMain& w = loadDesk();
    w.lvwRoom_ColumnClick(ColNameBorrower);
    mark(6);
    QStringList want = stored();
    want[5] =
        QStringLiteral("6| أحمد |2024/03/10|") +
        duration::GetTimeLoan(QStringLiteral("2024/03/01"), QStringLiteral("2024/03/10"), fake.todayValue);
    // From a name box too: the box does not take the keys for itself.
    QTest::keyClick(w.TxtNameBook, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(stored(), want);
    EXPECT_EQ(backups(), 1);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, kEdited);
    EXPECT_EQ(w.SortColumn, QStringLiteral("NameBorrower"));
    EXPECT_EQ(w.SelectedId, 6);
    EXPECT_TRUE(w.lvwRoom->selectionModel()->isRowSelected(w.model->RowOfId(6), {}));
    EXPECT_EQ(w.LblDateReturn->text(), QStringLiteral("2024/03/10"));

    // The Arabic layout's letter on that key.
    QTest::sendKeyEvent(QTest::KeyAction::Click, &w, Qt::Key(u'ي'), QStringLiteral("ي"), Qt::ControlModifier);
    ASSERT_EQ(fake.messages.size(), 2);
    EXPECT_TRUE(fake.messages[1].text.contains(QStringLiteral("2024/03/10"))) << "already returned";
    EXPECT_EQ(stored(), want);
    EXPECT_EQ(backups(), 1);
}

TEST_F(DeskTest, LendAgainFillsTheEntryAndSavesNothingUntilAdd)
{
    FrmMain& w = loadDesk();
    mark(2);
    const QStringList before = stored();
    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ((QStringList{w.TxtNameBook->text(), w.TxtNameWriter->text(), w.TxtNameBorrower->text(),
                           w.LblDateLoan->text(), w.LblDateReturn->text()}),
              (QStringList{"الأيام", "طه حسين", "", "2024/03/10", kOut}));
    EXPECT_TRUE(w.TxtNameBorrower->hasFocus());
    EXPECT_TRUE(w.CmdAdd->isEnabled() && !w.CmdEdit->isEnabled() && !w.CmdDelete->isEnabled());
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(fake.messages.isEmpty());

    w.TxtNameBorrower->setText(QStringLiteral("عمر"));
    w.CmdAdd_Click();
    EXPECT_EQ(stored().size(), 7);
    EXPECT_EQ(stored().last(), QStringLiteral("7|عمر|لم يرد بعد|اليوم تم إعارة الكتاب"));
}

TEST_F(DeskTest, TheMenuFitsTheCellAndShowsTheLoansOfOneBorrowerOrBook)
{
    FrmMain& w = loadDesk();
    // A right-click on a returned loan's borrower.
    const int row = w.model->RowOfId(3);
    const QPoint at = w.lvwRoom->visualRect(w.model->index(row, ColNameBorrower)).center();
    QTest::mousePress(w.lvwRoom->viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(w.lvwRoom->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, w.lvwRoom->viewport()->mapToGlobal(at));
    QApplication::sendEvent(w.lvwRoom->viewport(), &request);
    ASSERT_TRUE(w.ListMenu->isVisible());
    EXPECT_EQ(w.SelectedId, 3);
    EXPECT_TRUE(w.ActReturnToday->isVisible());
    EXPECT_FALSE(w.ActReturnToday->isEnabled());
    EXPECT_TRUE(w.ActBorrowerLoans->isVisible());
    EXPECT_FALSE(w.ActBookLoans->isVisible());
    QStringList keys;
    for (QAction* a : {w.ActReturnToday, w.ActLendAgain, w.ActBorrowerLoans, w.ActBookLoans})
        keys << a->shortcut().toString() + ' ' + QString(QChar(a->shortcuts().value(1)[0].key()));
    EXPECT_EQ(keys, (QStringList{"Ctrl+D ي", "Ctrl+L م", "Ctrl+G ل", "Ctrl+H ا"}));
    w.ActBorrowerLoans->trigger();
    w.ListMenu->hide();

    // Exactly that name, in any spelling and with blanks around it; not a longer name.
    ASSERT_TRUE(w.findBar && w.findBar->isVisible());
    EXPECT_EQ(w.findBar->LblFind->text(), QStringLiteral("إعارات المستعير :"));
    EXPECT_EQ(w.findBar->TxtFind->text(), QStringLiteral("أحمد"));
    EXPECT_EQ(ids(), (QList<qint64>{1, 6, 3}));
    EXPECT_TRUE(w.lvwRoom->selectionModel()->isRowSelected(w.model->RowOfId(3), {}));

    w.CloseFindBar();
    mark(5);
    QTest::keyClick(&w, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(ids(), (QList<qint64>{4, 5}));
    EXPECT_EQ(w.findBar->LblCount->text(), QStringLiteral("2 من 6"));
    w.findBar->TxtFind->setText(QStringLiteral("ليلى"));
    EXPECT_EQ(w.findBar->LblFind->text(), QStringLiteral("بحث :"));
    EXPECT_EQ(ids(), (QList<qint64>{5}));
}

} // namespace
