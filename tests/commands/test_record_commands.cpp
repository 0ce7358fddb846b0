#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

#include "database.h"
#include "database_test.h"
#include "frm_calendar.h"
#include "frm_main.h"
#include "ledger_model.h"
#include "loan_duration.h"
#include "reasons.h"
#include "test_db.h"

using namespace pelorin;
using ledger::FrmMain;

namespace {

const QString kFill = QStringLiteral("يرجى ملء كافة الحقول");
const QString kNotice = QStringLiteral("تنبيه");
const QString kError = QStringLiteral("خطأ");
const QString kMarker = QStringLiteral("لم يرد بعد");
constexpr int kStopStyle = 1572880;
constexpr int kPlainStyle = 1572864;

struct Entry {
    QString book, writer, borrower, loan, ret;
};

class CommandsTest : public test::DatabaseTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DatabaseTest::SetUp());
        fake.todayValue = QDate(2024, 3, 10);
        ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword, rows));
        w = std::make_unique<FrmMain>();
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->Form_Load();
    }

    void TearDown() override
    {
        if (reader) sqlite3_close(reader);
        reader = nullptr;
        w.reset();
        DatabaseTest::TearDown();
    }

    // Every stored record, in key order, as "ID|book|writer|borrower|loan|return|duration", read
    // on a connection of the test's own (keyed once: deriving the key is slow).
    QStringList stored()
    {
        if (!reader) {
            sqlite3_open_v2(QFile::encodeName(path).constData(), &reader, SQLITE_OPEN_READONLY, nullptr);
            const QByteArray key = test::kTestPassword.toUtf8();
            sqlite3_key(reader, key.constData(), int(key.size()));
        }
        QStringList out;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(reader,
                           "SELECT ID||'|'||NameBook||'|'||NameWriter||'|'||NameBorrower||'|'||DateLoan"
                           "||'|'||DateReturn||'|'||TimeLoan FROM TableBook ORDER BY ID",
                           -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return out;
    }

    // Arabic cannot go through QTest::keyClicks: one key event per character.
    static void type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::KeyAction::Click, box, Qt::Key_unknown, QString(c), {});
    }

    void enter(const Entry& e)
    {
        type(w->TxtNameBook, e.book);
        type(w->TxtNameWriter, e.writer);
        type(w->TxtNameBorrower, e.borrower);
        w->LblDateLoan->setText(e.loan);
        w->LblDateReturn->setText(e.ret);
    }

    Entry entry() const
    {
        return {w->TxtNameBook->text(), w->TxtNameWriter->text(), w->TxtNameBorrower->text(),
                w->LblDateLoan->text(), w->LblDateReturn->text()};
    }

    int rowOfBook(const QString& book) const
    {
        for (int r = 0; r < w->model->rowCount(); ++r)
            if (w->model->CellText(r, ledger::ColNameBook) == book) return r;
        return -1;
    }

    void expectAddingState() const
    {
        EXPECT_TRUE(w->CmdAdd->isEnabled());
        EXPECT_FALSE(w->CmdEdit->isEnabled());
        EXPECT_FALSE(w->CmdDelete->isEnabled());
        const Entry e = entry();
        EXPECT_TRUE(e.book.isEmpty() && e.writer.isEmpty() && e.borrower.isEmpty() && e.loan.isEmpty() &&
                    e.ret.isEmpty());
    }

    std::vector<test::BookRow> rows = {
        {"الأيام", "طه حسين", "سالم", "2024/01/15", "2024/01/17", "قديم"},
        {"كليلة ودمنة", "ابن المقفع", "ليلى", "2023/05/20", kMarker, "قديم"},
    };
    std::unique_ptr<FrmMain> w;
    sqlite3* reader = nullptr;
};

TEST_F(CommandsTest, EntryCheckRefusesEachEmptyOrBlankValue)
{
    const Entry full{"عنوان", "مؤلف", "مستعير", "2024/03/01", kMarker};
    const QStringList before = stored();
    for (int command = 0; command < 3; ++command) {
        for (int field = 0; field < 5; ++field) {
            for (const QString& blank : {QString(), QStringLiteral("   ")}) {
                if (command > 0) w->lvwRoom_ItemClick(0);
                Entry e = full;
                QString* values[] = {&e.book, &e.writer, &e.borrower, &e.loan, &e.ret};
                *values[field] = blank;
                enter(e);
                const bool addState = w->CmdAdd->isEnabled();
                fake.messages.clear();
                if (command == 0)
                    w->CmdAdd_Click();
                else if (command == 1)
                    w->CmdEdit_Click();
                else
                    w->CmdDelete_Click(); // no question before the check passes
                ASSERT_EQ(fake.messages.size(), 1) << command << field;
                EXPECT_EQ(fake.messages[0].text, kFill);
                EXPECT_EQ(fake.messages[0].title, kNotice);
                EXPECT_EQ(fake.messages[0].style, kStopStyle);
                EXPECT_EQ(entry().book, e.book);
                EXPECT_EQ(entry().ret, e.ret);
                EXPECT_EQ(w->CmdAdd->isEnabled(), addState);
                w->CmdClear_Click();
            }
        }
    }
    EXPECT_EQ(stored(), before);
}

struct AddCase {
    const char* what;
    Entry entry;
    QString duration;
};

TEST_F(CommandsTest, AddStoresTheEntryAsTypedWithItsDuration)
{
    const AddCase cases[] = {
        {"lent today, still out",
         {"  كتاب جديد ", " مؤلف", "قارئ  ", "2024/03/10", kMarker},
         duration::kLentToday},
        {"returned the same day", {"كتاب", "مؤلف", "قارئ", "2024/03/01", "2024/03/01"}, duration::kOneDay},
        {"returned before lent", {"كتاب", "مؤلف", "قارئ", "2024/03/01", "2024/02/01"}, duration::kInputError},
        {"a span",
         {"كتاب", "مؤلف", "قارئ", "2024/01/15", "2024/03/20"},
         QStringLiteral("شهران و ") + "5" + QStringLiteral(" أيام ")},
    };
    int expectedRows = int(rows.size());
    for (const AddCase& c : cases) {
        enter(c.entry);
        fake.messages.clear();
        w->CmdAdd_Click();
        ++expectedRows;
        const QStringList all = stored();
        ASSERT_EQ(all.size(), expectedRows) << c.what;
        const QStringList last = all.last().split('|');
        EXPECT_EQ(last.mid(1), (QStringList{c.entry.book, c.entry.writer, c.entry.borrower, c.entry.loan,
                                            c.entry.ret, c.duration}))
            << c.what;
        ASSERT_EQ(fake.messages.size(), 1);
        EXPECT_EQ(fake.messages[0].text, QStringLiteral("تم حفظ البيانات بنجاح"));
        EXPECT_EQ(fake.messages[0].title, kNotice);
        EXPECT_EQ(fake.messages[0].style, kPlainStyle);
        expectAddingState();
        EXPECT_EQ(w->model->rowCount(), expectedRows);
        EXPECT_GE(rowOfBook(c.entry.book.trimmed()), 0);
    }
}

TEST_F(CommandsTest, EditChangesOnlyTheClickedRecordAndKeepsItsPlace)
{
    const int row = rowOfBook("الأيام");
    ASSERT_EQ(row, 0);
    w->lvwRoom_ItemClick(row);
    EXPECT_FALSE(w->CmdAdd->isEnabled());
    const QStringList before = stored();
    enter({"ي آخر الكتب", "طه حسين", "سالم", "2024/03/10", kMarker});
    w->CmdEdit_Click();

    const QStringList after = stored();
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(after[0],
              QStringLiteral("1|ي آخر الكتب|طه حسين|سالم|2024/03/10|لم يرد بعد|") + duration::kLentToday);
    EXPECT_EQ(fake.messages.last().text, QStringLiteral("تم تعديل البيانات بنجاح"));
    expectAddingState();

    // The first place is marked again although another record stands there now; the mark
    // shows when the list has the focus.
    EXPECT_EQ(rowOfBook("ي آخر الكتب"), 1);
    w->lvwRoom->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(w->lvwRoom->selectionModel()->isRowSelected(0, {}));
    w->TxtNameBook->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(w->lvwRoom->selectionModel()->hasSelection());
}

TEST_F(CommandsTest, DeleteAskedAndAnsweredNoChangesNothing)
{
    w->lvwRoom_ItemClick(1);
    const Entry shown = entry();
    const QStringList before = stored();
    fake.answers = {MsgResult::No};
    w->CmdDelete_Click();
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("هل ترغب حقاً في حذف السجل الحالي ؟"));
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("تأكيد"));
    EXPECT_EQ(fake.messages[0].style, 1572900);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(entry().book, shown.book);
    EXPECT_TRUE(w->CmdDelete->isEnabled());
    EXPECT_EQ(w->model->rowCount(), 2);

    w->CmdDelete_Click(); // answered Yes
    EXPECT_EQ(stored(), QStringList{before[0]});
    EXPECT_EQ(fake.messages.last().text, QStringLiteral("تم حذف السجل المختار بنجاح"));
    EXPECT_EQ(fake.messages.last().style, kPlainStyle);
    EXPECT_EQ(w->model->rowCount(), 1);
    expectAddingState();
}

// After the marked row was moved with the keys, Delete removes the record of that row, not
// the one clicked before.
TEST_F(CommandsTest, DeleteActsOnTheRowMarkedWithTheKeys)
{
    QTest::mouseClick(w->lvwRoom->viewport(), Qt::LeftButton, {},
                      w->lvwRoom->visualRect(w->model->index(0, ledger::ColNameWriter)).center());
    ASSERT_EQ(w->SelectedId, 1);
    QTest::keyClick(w->lvwRoom, Qt::Key_Down);
    ASSERT_EQ(w->lvwRoom->selectionModel()->selectedRows().value(0).row(), 1);
    const QStringList before = stored();
    w->CmdDelete_Click();
    EXPECT_EQ(stored(), QStringList{before[0]});
    EXPECT_EQ(fake.messages.last().text, QStringLiteral("تم حذف السجل المختار بنجاح"));
}

// Names that would break or widen a pattern pasted into SQL, and one record whose names
// contain another's.
TEST_F(CommandsTest, AwkwardNamesChangeOnlyTheirOwnRecord)
{
    rows = {
        {"كتاب", "مؤلف", "علي", "2024/01/01", kMarker, ""},
        {"كتاب كبير", "مؤلف ثان", "علي حسن", "2024/01/01", kMarker, ""},
        {"O'Brien's", "it's", "d'Arc", "2024/01/01", kMarker, ""},
        {"100%", "a_b", "%", "2024/01/01", kMarker, ""},
        {"_", "%%", "'", "2024/01/01", kMarker, ""},
    };
    w.reset();
    TearDown();
    SetUp();
    QStringList expected = stored();
    for (bool del : {false, true}) {
        for (int target = 1; target <= int(rows.size()); ++target) {
            int row = -1;
            for (int r = 0; r < w->model->rowCount(); ++r)
                if (w->model->IdAt(r) == target) row = r;
            ASSERT_GE(row, 0);
            w->lvwRoom_ItemClick(row);
            w->TxtNameBorrower->setText("X");
            if (del)
                w->CmdDelete_Click();
            else
                w->CmdEdit_Click();
            const QString id = QString::number(target) + '|';
            for (int i = 0; i < expected.size(); ++i) {
                if (!expected[i].startsWith(id)) continue;
                if (del) {
                    expected.removeAt(i);
                } else {
                    QStringList f = expected[i].split('|');
                    f[3] = "X";
                    f[6] = QStringLiteral("شهران و ") + "9" + QStringLiteral(" أيام ");
                    expected[i] = f.join('|');
                }
                break;
            }
            EXPECT_EQ(stored(), expected) << target << del;
        }
    }
}

// A title longer than a text box takes by default (a hand-made file) comes back whole into the
// entry, so editing the borrower does not cut it.
TEST_F(CommandsTest, AVeryLongStoredTitleSurvivesAnEditOfAnotherField)
{
    const QString title = QString(40000, QChar(0x0643)) + QStringLiteral(" آخر");
    rows = {{title, "مؤلف", "علي", "2024/01/01", kMarker, ""}};
    w.reset();
    TearDown();
    SetUp();
    w->lvwRoom_ItemClick(0);
    EXPECT_EQ(w->TxtNameBook->text(), title);
    w->TxtNameBorrower->setText("X");
    w->CmdEdit_Click();
    EXPECT_EQ(stored().value(0).section('|', 1, 1), title);
}

class FailingWriteTest : public CommandsTest {
protected:
    void TearDown() override
    {
        if (immutable) QProcess::execute("chattr", {"-i", path});
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        CommandsTest::TearDown();
    }

    // The file is made read-only for this process, root included.
    bool makeReadOnly()
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (geteuid() == 0) immutable = QProcess::execute("chattr", {"+i", path}) == 0;
        store::ReleasePooledHandles();
        QFile probe(path);
        return !probe.open(QIODevice::ReadWrite);
    }

    // Runs a command and checks that it failed with the error box and left everything as it was.
    void expectRefused(const std::function<void()>& command, const QString& textStart,
                       const QString& reason = QString())
    {
        const Entry typed = entry();
        const bool adding = w->CmdAdd->isEnabled();
        const QStringList before = stored();
        const int listed = w->model->rowCount();
        fake.messages.clear();
        command();
        ASSERT_FALSE(fake.messages.isEmpty());
        const test::ShownMessage& last = fake.messages.last();
        EXPECT_TRUE(last.text.startsWith(textStart)) << last.text.toStdString();
        EXPECT_TRUE(last.text.contains(reason)) << last.text.toStdString();
        EXPECT_EQ(last.title, kError);
        EXPECT_EQ(last.style, kStopStyle);
        for (const test::ShownMessage& m : fake.messages)
            EXPECT_FALSE(m.text.contains(QStringLiteral("بنجاح")));
        EXPECT_EQ(stored(), before);
        const Entry now = entry();
        EXPECT_TRUE(now.book == typed.book && now.writer == typed.writer && now.borrower == typed.borrower &&
                    now.loan == typed.loan && now.ret == typed.ret);
        EXPECT_EQ(w->CmdAdd->isEnabled(), adding);
        EXPECT_EQ(w->model->rowCount(), listed);
    }

    // Add, then Edit and Delete on the given row: each is refused as a failed write, with the
    // cause in Arabic.
    void expectEveryWriteRefused(int row, store::Cause cause)
    {
        const QString writeFailed = QStringLiteral("تعذر حفظ التغيير في قاعدة البيانات");
        const QString reason = store::CauseSentence(cause);
        enter({"كتاب", "مؤلف", "قارئ", "2024/03/10", kMarker});
        expectRefused([&] { w->CmdAdd_Click(); }, writeFailed, reason);
        w->lvwRoom_ItemClick(row);
        w->TxtNameBook->setText("جديد");
        expectRefused([&] { w->CmdEdit_Click(); }, writeFailed, reason);
        expectRefused([&] { w->CmdDelete_Click(); }, writeFailed, reason);
    }

    bool immutable = false;
};

TEST_F(FailingWriteTest, ReadOnlyFile)
{
    if (!makeReadOnly()) GTEST_SKIP() << "cannot make the file read-only here";
    expectEveryWriteRefused(0, store::Cause::ReadOnly);
}

TEST_F(FailingWriteTest, FileLockedByAnotherProgram)
{
    test::WriteLock lock(path);
    ASSERT_TRUE(lock.held());
    expectEveryWriteRefused(1, store::Cause::InUse);
}

TEST_F(FailingWriteTest, RecordGoneMeanwhile)
{
    w->lvwRoom_ItemClick(0);
    test::Query(path, "DELETE FROM TableBook WHERE ID = 1");
    const QString gone = QStringLiteral("لم يعد السجل المختار موجوداً");
    expectRefused([&] { w->CmdEdit_Click(); }, gone);
    expectRefused([&] { w->CmdDelete_Click(); }, gone);
}

TEST_F(CommandsTest, ClearEmptiesTheEntryAndReturnsToAdding)
{
    w->lvwRoom_ItemClick(0);
    ASSERT_TRUE(w->CmdEdit->isEnabled());
    const QStringList before = stored();
    w->CmdClear_Click();
    expectAddingState();
    EXPECT_EQ(w->SelectedId, 0);
    EXPECT_EQ(w->model->rowCount(), 2);
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(fake.messages.isEmpty());
}

// After Clear the clicked row is marked only while the list has the focus; a re-sort forgets it.
TEST_F(CommandsTest, ClearHidesTheMarkedRowWhileTheListIsUnfocused)
{
    QTableView* list = w->lvwRoom;
    const QRect cell = list->visualRect(w->model->index(1, ledger::ColNameWriter));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(w->SelectedRow, 1);
    w->TxtNameBook->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(list->selectionModel()->isRowSelected(1, {})); // editing: shown without focus

    w->CmdClear_Click();
    EXPECT_FALSE(list->selectionModel()->hasSelection());
    list->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(list->selectionModel()->isRowSelected(1, {}));
    w->TxtNameBook->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(list->selectionModel()->hasSelection());

    w->lvwRoom_ColumnClick(ledger::ColNameWriter);
    list->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(list->selectionModel()->hasSelection());
}

// The date images open a fresh modal picker for their own label.
TEST_F(CommandsTest, DateImagesOpenThePicker)
{
    struct Seen {
        bool modal = false, optNoShown = false;
        QWidget* parent = nullptr;
        QPoint centre;
    } seen;
    auto answerPicker = [&](bool notReturned) {
        QTimer::singleShot(0, [&, notReturned] {
            auto* f = qobject_cast<datepicker::FrmCalendar*>(QApplication::activeModalWidget());
            ASSERT_NE(f, nullptr);
            seen = {f->isModal(), f->OptNo->isVisible(), f->parentWidget(), f->geometry().center()};
            if (notReturned) f->OptNo->setChecked(true);
            f->CmdSave->click();
        });
    };
    answerPicker(false);
    w->ImgDateLoan_Click();
    EXPECT_EQ(datepicker::CalendarTarget, 1);
    EXPECT_TRUE(seen.modal);
    EXPECT_FALSE(seen.optNoShown);
    EXPECT_EQ(seen.parent, w.get());
    EXPECT_LE((seen.centre - w->geometry().center()).manhattanLength(), 2);
    EXPECT_EQ(w->LblDateLoan->text(), "2024/03/10");
    EXPECT_EQ(w->LblDateReturn->text(), "");

    answerPicker(true);
    w->ImgDateReturn_Click();
    EXPECT_EQ(datepicker::CalendarTarget, 2);
    EXPECT_TRUE(seen.optNoShown);
    EXPECT_EQ(w->LblDateReturn->text(), kMarker);
    EXPECT_EQ(w->LblDateLoan->text(), "2024/03/10");
    EXPECT_TRUE(w->findChildren<datepicker::FrmCalendar*>().isEmpty());
}

} // namespace
