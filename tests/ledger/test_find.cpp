// The find bar over the ledger list, and the list exported to CSV as it stands.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <map>
#include <set>

#include "csv_reader.h"
#include "find_bar.h"
#include "ledger_fixture.h"
#include "list_export.h"

using namespace pelorin;
using namespace pelorin::ledger;
using namespace pelorin::ledger::testing;

namespace {

class FindTest : public LedgerFixture {
protected:
    void TearDown() override
    {
        ChooseExportFile() = saved;
        LedgerFixture::TearDown();
    }
    // Entered in this order: IDs 1 to 5.
    FrmMain& loadFive()
    {
        FrmMain& w =
            load({{"الأيام", "طه حسين", "أحمد", "2024/01/15", kOut, ""},
                  {"كليلة ودمنة", "ابن المقفع", "أَحْمَد", "2023/05/20", "2023/06/01", ""},
                  {"البخلاء", "الجاحظ", "سارة", "2024/02/01", kOut, ""},
                  {"رسالة الغفران", "أبو العلاء المعري", "احمد سالم", "2022/03/04", "2022/04/01", ""},
                  {"مقدمة ابن خلدون", "ابن خلدون", "ليلى", "2021/12/30", kOut, ""}});
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    void find(const QString& text)
    {
        if (!window->findBar || window->findBar->isHidden()) window->ShowFindBar();
        window->findBar->TxtFind->setText(text);
    }
    QString count() const { return window->findBar->LblCount->text(); }
    // Set PELORIN_SHOTS to a folder to look at the window.
    void shot(const QString& name) const
    {
        const QString dir = qEnvironmentVariable("PELORIN_SHOTS");
        if (!dir.isEmpty()) window->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
    // The record stored under a key, its fields joined by "|".
    QString stored(int id) const
    {
        return test::Query(path, QStringLiteral("SELECT NameBook||'|'||NameBorrower||'|'||DateReturn "
                                                "FROM TableBook WHERE ID = %1")
                                     .arg(id))
            .value(0);
    }

    ExportFileChooser saved = ChooseExportFile();
};

TEST_F(FindTest, EveryWordMustMatchSomeColumnInAnyOrderAndTheOrderStays)
{
    FrmMain& w = loadFive();
    const QStringList all = titles();
    // The warnings of each record's return date, as the full list shows them.
    std::map<qint64, std::pair<QColor, QString>> marks;
    for (int r = 0; r < w.model->rowCount(); ++r)
        marks[w.model->IdAt(r)] = {w.model->CellColour(r, ColDateReturn),
                                   w.model->CellToolTip(r, ColDateReturn)};
    const struct {
        const char* typed;
        std::set<QString> shown;
    } cases[] = {
        {"احمد", {"الأيام", "كليلة ودمنة", "رسالة الغفران"}}, // hamza and vowels in the stored names
        {"ابن", {"كليلة ودمنة", "مقدمة ابن خلدون"}},          // author, and title
        {"خلدون  ابن", {"مقدمة ابن خلدون"}},
        {"المعري سالم", {"رسالة الغفران"}},
        {"ساره", {"البخلاء"}},                             // ta marbuta
        {"2024/0", {"الأيام", "البخلاء"}},                 // loan date as shown
        {"٢٠٢٣/٠٦", {"كليلة ودمنة"}},                      // return date in Arabic-Indic digits
        {"يرد", {"الأيام", "البخلاء", "مقدمة ابن خلدون"}}, // the not-returned marker
        {"نجيب", {}},
        {" ", {"الأيام", "كليلة ودمنة", "البخلاء", "رسالة الغفران", "مقدمة ابن خلدون"}},
    };
    for (const auto& c : cases) {
        find(QString::fromUtf8(c.typed));
        QStringList expected;
        for (const QString& t : all)
            if (c.shown.count(t)) expected << t;
        EXPECT_EQ(titles(), expected) << c.typed;
        EXPECT_EQ(count(), QStringLiteral("%1 من 5").arg(expected.size())) << c.typed;
        if (c.typed == std::string("احمد")) shot(QStringLiteral("find_bar_filtered"));
        for (int r = 0; r < w.model->rowCount(); ++r) {
            EXPECT_EQ(w.model->CellText(r, ColNumber), QString::number(r + 1)) << c.typed;
            const auto mark =
                std::make_pair(w.model->CellColour(r, ColDateReturn), w.model->CellToolTip(r, ColDateReturn));
            EXPECT_EQ(mark, marks[w.model->IdAt(r)]) << c.typed;
        }
    }
}

TEST_F(FindTest, CtrlFOpensTheBarAndEscapeShowsEveryRowKeepingSortAndMark)
{
    FrmMain& w = loadFive();
    QStringList shortcuts;
    for (QAction* a : w.ListMenu->actions())
        shortcuts << a->shortcut().toString();
    EXPECT_TRUE(shortcuts.contains("Ctrl+F") && shortcuts.contains("Ctrl+E"))
        << shortcuts.join(' ').toStdString();

    const QRect list = w.lvwRoom->geometry();
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(w.findBar && w.findBar->isVisible());
    EXPECT_TRUE(w.findBar->TxtFind->hasFocus());
    EXPECT_EQ(w.lvwRoom->geometry().bottom() + 1, w.findBar->geometry().top());
    EXPECT_EQ(w.findBar->geometry().bottom(), list.bottom());
    EXPECT_EQ(count(), QStringLiteral("5 من 5"));

    w.lvwRoom_ColumnClick(ColNameBorrower);
    const QStringList sorted = titles();
    w.lvwRoom_ItemClick(w.model->RowOfId(4)); // رسالة الغفران
    find(QStringLiteral("احمد"));
    EXPECT_EQ(w.SelectedRow, w.model->RowOfId(4));
    EXPECT_TRUE(w.lvwRoom->selectionModel()->isRowSelected(w.SelectedRow, {}));
    shot(QStringLiteral("find_bar_marked_row"));
    find(QStringLiteral("ليلى")); // hides the marked record; the entry keeps it
    EXPECT_EQ(w.SelectedRow, -1);
    EXPECT_EQ(w.SelectedId, 4);
    EXPECT_EQ(w.TxtNameBook->text(), QStringLiteral("رسالة الغفران"));

    QTest::keyClick(w.findBar->TxtFind, Qt::Key_Escape);
    EXPECT_TRUE(w.findBar->isHidden());
    EXPECT_EQ(w.lvwRoom->geometry(), list);
    EXPECT_EQ(titles(), sorted);
    EXPECT_EQ(w.SortColumn, QStringLiteral("NameBorrower"));
    EXPECT_EQ(w.SelectedRow, w.model->RowOfId(4));
    EXPECT_TRUE(w.lvwRoom->selectionModel()->isRowSelected(w.SelectedRow, {}));
    // Opened again, the bar starts empty.
    w.ShowFindBar();
    EXPECT_TRUE(w.findBar->TxtFind->text().isEmpty());
}

TEST_F(FindTest, TheFilterStaysThroughSortAddEditAndDeleteWhichChangeOnlyTheirRecord)
{
    FrmMain& w = loadFive();
    find(QStringLiteral("احمد"));
    w.lvwRoom_ColumnClick(ColNameBook);
    w.lvwRoom_ColumnClick(ColNameBook);
    EXPECT_EQ(titles(), (QStringList{"كليلة ودمنة", "رسالة الغفران", "الأيام"}));

    auto enter = [&](const char* book, const char* borrower) {
        w.TxtNameBook->setText(QString::fromUtf8(book));
        w.TxtNameWriter->setText(QStringLiteral("مؤلف"));
        w.TxtNameBorrower->setText(QString::fromUtf8(borrower));
        w.LblDateLoan->setText(QStringLiteral("2024/03/01"));
        w.LblDateReturn->setText(kOut);
    };
    enter("حي بن يقظان", "إبراهيم");
    w.CmdAdd_Click();
    enter("الأغاني", "أحمد");
    w.CmdAdd_Click();
    EXPECT_EQ(titles(), (QStringList{"الأغاني", "الأيام", "رسالة الغفران", "كليلة ودمنة"}))
        << "rebuilt in the list's order, the filter still on";
    EXPECT_EQ(count(), QStringLiteral("4 من 7"));

    // Edit the clicked row out of the filter: only its record changes.
    const QString others = stored(1) + stored(4) + stored(6);
    w.lvwRoom_ItemClick(w.model->RowOfId(2)); // كليلة ودمنة
    w.TxtNameBorrower->setText(QStringLiteral("سالم"));
    w.CmdEdit_Click();
    EXPECT_EQ(stored(2), QStringLiteral("كليلة ودمنة|سالم|2023/06/01"));
    EXPECT_EQ(stored(1) + stored(4) + stored(6), others);
    EXPECT_EQ(titles(), (QStringList{"الأغاني", "الأيام", "رسالة الغفران"}));

    w.lvwRoom_ItemClick(w.model->RowOfId(4)); // رسالة الغفران
    w.CmdDelete_Click();
    EXPECT_TRUE(stored(4).isEmpty());
    EXPECT_EQ(test::Query(path, QStringLiteral("SELECT count(*) FROM TableBook")).value(0),
              QStringLiteral("6"));
    EXPECT_EQ(titles(), (QStringList{"الأغاني", "الأيام"}));
    EXPECT_EQ(count(), QStringLiteral("2 من 6"));
}

TEST_F(FindTest, ExportWritesTheListAsItStandsAndNamesTheFileItCouldNotWrite)
{
    FrmMain& w = load({{"=SUM(A1), \"كتاب\"", "مؤلف\nثان", "أحمد", "2024/01/15", kOut, ""},
                       {"الأيام", "طه حسين", "احمد", "2024/01/10", "2024/01/12", ""},
                       {"البخلاء", "الجاحظ", "سارة", "2024/02/01", kOut, ""}});
    find(QStringLiteral("احمد"));
    w.lvwRoom_ColumnClick(ColDateLoan);

    QString suggested, answer = dir.filePath(QStringLiteral("out.csv"));
    ChooseExportFile() = [&](QWidget*, const QString& s) { return suggested = s, answer; };
    w.ExportList();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/2024-03-10 الإعارات.csv"))) << suggested.toStdString();
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("تنبيه"));
    EXPECT_TRUE(fake.messages[0].text.contains(answer));

    bool ok = false;
    QString error;
    const QList<QStringList> read = test::ReadCsvWithPython(answer, &ok, &error);
    ASSERT_TRUE(ok) << error.toStdString();
    EXPECT_EQ(
        read,
        (QList<QStringList>{
            {"اسم الكتاب", "اسم المؤلف", "اسم المستعير", "تاريخ الإعارة", "تاريخ الرد", "مدة الإعارة"},
            {"الأيام", "طه حسين", "احمد", "2024/01/10", "2024/01/12", w.model->CellText(0, ColTimeLoan)},
            {"'=SUM(A1), \"كتاب\"", "مؤلف\nثان", "أحمد", "2024/01/15", kOut,
             w.model->CellText(1, ColTimeLoan)},
        }));

    // Cancelled: nothing written, nothing said.
    answer.clear();
    w.ExportList();
    EXPECT_EQ(fake.messages.size(), 1);
    // A folder that is not there: an error naming the file.
    answer = dir.filePath(QStringLiteral("missing/out.csv"));
    w.ExportList();
    ASSERT_EQ(fake.messages.size(), 2);
    EXPECT_EQ(fake.messages[1].title, QStringLiteral("خطأ"));
    EXPECT_EQ(fake.messages[1].style, MsgStyle::Critical | MsgStyle::RightAlign | MsgStyle::RtlReading);
    EXPECT_TRUE(fake.messages[1].text.contains(answer));
}

} // namespace
