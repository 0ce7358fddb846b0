// The desk: names offered in the entry boxes, a return in one step, lending a book again, and
// one borrower's or one book's loans.
#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
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

class DeskTest : public LedgerFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(LedgerFixture::SetUp());
        load({{"الأيام", "طه حسين", "أحمد", "2024/01/15", kOut, ""},
              {"الأيام", "طه حسين", "سارة", "2023/05/20", "2023/06/01", ""},
              {"كليلة ودمنة", "ابن المقفع", "أحمد", "2023/01/05", "2023/02/01", ""},
              {"البخلاء", "الجاحظ", "أحمد سالم", "2024/02/01", kOut, ""},
              {"البخلاء", "مجهول", "ليلى", "2024/02/11", "2024/02/20", ""},
              {"رسالة الغفران", "المعري", " أحمد ", "2024/03/01", kOut, ""}});
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // Arabic cannot go through QTest::keyClicks: one key event per character, then the keys.
    static void type(QLineEdit* box, const QString& text, std::initializer_list<Qt::Key> keys = {})
    {
        box->setFocus();
        box->clear();
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::KeyAction::Click, box, Qt::Key_unknown, QString(c), {});
        for (Qt::Key k : keys)
            QTest::keyClick(box, k);
    }
    QStringList stored() const
    {
        return test::Query(path, QStringLiteral("SELECT ID||'|'||NameBorrower||'|'||DateReturn||'|'||TimeLoan"
                                                " FROM TableBook ORDER BY ID"));
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

TEST_F(DeskTest, NamesOfferedAreTakenWithoutAddAndFollowTheLedger)
{
    FrmMain& w = *window;
    type(w.TxtNameBorrower, QStringLiteral("احم"));
    EXPECT_EQ(w.BorrowerNames->Offered(), (QStringList{"أحمد", "أحمد سالم"})) << "three loans, then one";
    type(w.TxtNameBorrower, QStringLiteral("احم"), {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    EXPECT_EQ(w.TxtNameBorrower->text(), QStringLiteral("أحمد سالم"));
    type(w.TxtNameBorrower, QStringLiteral("يل"), {Qt::Key_Down, Qt::Key_Tab});
    EXPECT_EQ(w.TxtNameBorrower->text(), QStringLiteral("ليلى"));
    EXPECT_TRUE(w.CmdClear->hasFocus()) << "Tab takes the name and goes on";
    EXPECT_TRUE(fake.messages.isEmpty()) << "nothing ran Add";
    // Nothing chosen: Enter closes the list and keeps the text; the next Enter runs Add.
    type(w.TxtNameBorrower, QStringLiteral("أحم"), {Qt::Key_Return});
    EXPECT_EQ(w.TxtNameBorrower->text(), QStringLiteral("أحم"));
    EXPECT_TRUE(fake.messages.isEmpty());
    QTest::keyClick(w.TxtNameBorrower, Qt::Key_Return);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("يرجى ملء كافة الحقول"));

    // A title always lent with one author brings it.
    type(w.TxtNameBook, QStringLiteral("الايا"), {Qt::Key_Down, Qt::Key_Return});
    EXPECT_EQ(w.TxtNameWriter->text(), QStringLiteral("طه حسين"));

    // A name added is offered at once.
    w.TxtNameBorrower->setText(QStringLiteral("زينب"));
    w.LblDateLoan->setText(QStringLiteral("2024/03/10"));
    w.LblDateReturn->setText(kOut);
    w.CmdAdd_Click();
    type(w.TxtNameBorrower, QStringLiteral("زي"));
    EXPECT_EQ(w.BorrowerNames->Offered(), QStringList{"زينب"});
}

TEST_F(DeskTest, CtrlDReturnsOnlyTheMarkedLoanAfterTheDaysBackupAndRefusesAReturnedOne)
{
    FrmMain& w = *window;
    w.lvwRoom_ColumnClick(ColNameBorrower);
    mark(6);
    QStringList want = stored();
    want[5] =
        QStringLiteral("6| أحمد |2024/03/10|") +
        duration::GetTimeLoan(QStringLiteral("2024/03/01"), QStringLiteral("2024/03/10"), fake.todayValue);
    QTest::keyClick(w.TxtNameBook, Qt::Key_D, Qt::ControlModifier); // the box leaves the keys alone
    EXPECT_EQ(stored(), want);
    const QDir backups(dir.filePath(QStringLiteral("Backups")), {}, QDir::Name, QDir::Files);
    EXPECT_EQ(backups.count(), 1u);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("تم تعديل البيانات بنجاح"));
    EXPECT_TRUE(w.lvwRoom->selectionModel()->isRowSelected(w.model->RowOfId(6), {})) << "in the sorted list";
    EXPECT_EQ(w.LblDateReturn->text(), QStringLiteral("2024/03/10"));

    // The Arabic layout's letter on that key.
    QTest::sendKeyEvent(QTest::KeyAction::Click, &w, Qt::Key(u'ي'), QStringLiteral("ي"), Qt::ControlModifier);
    ASSERT_EQ(fake.messages.size(), 2);
    EXPECT_TRUE(fake.messages[1].text.contains(QStringLiteral("2024/03/10"))) << "already returned";
    EXPECT_EQ(stored(), want);
    EXPECT_EQ(QDir(backups.path(), {}, QDir::Name, QDir::Files).count(), 1u);
}

TEST_F(DeskTest, LendAgainFillsTheEntryAndSavesNothingUntilAdd)
{
    FrmMain& w = *window;
    mark(2);
    const QStringList before = stored();
    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ((QStringList{w.TxtNameBook->text(), w.TxtNameWriter->text(), w.TxtNameBorrower->text(),
                           w.LblDateLoan->text(), w.LblDateReturn->text()}),
              (QStringList{"الأيام", "طه حسين", "", "2024/03/10", kOut}));
    EXPECT_TRUE(w.TxtNameBorrower->hasFocus());
    EXPECT_TRUE(w.CmdAdd->isEnabled() && !w.CmdEdit->isEnabled() && !w.CmdDelete->isEnabled());
    EXPECT_EQ(stored(), before);
    w.TxtNameBorrower->setText(QStringLiteral("عمر"));
    w.CmdAdd_Click();
    EXPECT_EQ(stored().value(6), QStringLiteral("7|عمر|لم يرد بعد|اليوم تم إعارة الكتاب"));
}

TEST_F(DeskTest, TheMenuFitsTheCellAndShowsTheLoansOfOneBorrowerOrBook)
{
    FrmMain& w = *window;
    // A right-click on a returned loan's borrower.
    const QPoint at = w.lvwRoom->visualRect(w.model->index(w.model->RowOfId(3), ColNameBorrower)).center();
    QTest::mousePress(w.lvwRoom->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, w.lvwRoom->viewport()->mapToGlobal(at));
    QApplication::sendEvent(w.lvwRoom->viewport(), &request);
    ASSERT_TRUE(w.ListMenu->isVisible());
    EXPECT_EQ(w.SelectedId, 3);
    EXPECT_TRUE(w.ActReturnToday->isVisible() && !w.ActReturnToday->isEnabled());
    EXPECT_TRUE(w.ActBorrowerLoans->isVisible() && !w.ActBookLoans->isVisible());
    w.ActBorrowerLoans->trigger();
    w.ListMenu->hide();
    // Exactly that name, in any spelling and with blanks around it; not a longer name.
    EXPECT_EQ(w.findBar->LblFind->text() + w.findBar->TxtFind->text(),
              QStringLiteral("إعارات المستعير :أحمد"));
    EXPECT_EQ(ids(), (QList<qint64>{1, 6, 3}));

    w.CloseFindBar();
    mark(5);
    QTest::keyClick(&w, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(ids(), (QList<qint64>{4, 5}));
    w.findBar->TxtFind->setText(QStringLiteral("ليلى")); // typing finds words again
    EXPECT_EQ(w.findBar->LblFind->text(), QStringLiteral("بحث :"));
    EXPECT_EQ(ids(), (QList<qint64>{5}));
}

} // namespace
