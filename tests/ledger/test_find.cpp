// The find bar over the ledger list, and the list exported to CSV as it stands.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <map>

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
    // IDs 1 to 5; the list shows them in title order: 1, 3, 4, 2, 5.
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
    QList<qint64> ids() const
    {
        QList<qint64> out;
        for (int r = 0; r < window->model->rowCount(); ++r)
            out << window->model->IdAt(r);
        return out;
    }
    QString count() const { return window->findBar->LblCount->text(); }
    ExportFileChooser saved = ChooseExportFile();
};

TEST_F(FindTest, EveryWordMustMatchSomeColumnInAnyOrderAndTheRowsKeepTheirOrderAndWarnings)
{
    FrmMain& w = loadFive();
    std::map<qint64, QString> tips; // the warnings of each record's return date, unfiltered
    for (int r = 0; r < w.model->rowCount(); ++r)
        tips[w.model->IdAt(r)] =
            w.model->CellToolTip(r, ColDateReturn) + w.model->CellColour(r, ColDateReturn).name();
    const struct {
        const char* typed;
        QList<qint64> shown;
    } cases[] = {
        {"احمد", {1, 4, 2}},    // other hamza and short vowels in the stored names
        {"خلدون  ابن", {5}},    // author and title, in any order
        {"المعري سالم", {4}},   // author and borrower
        {"ساره", {3}},          // ta marbuta
        {"٢٠٢٣/٠٦", {2}},       // return date, in Arabic-Indic digits
        {"يرد 2024/0", {1, 3}}, // the not-returned marker and the loan date
        {"نجيب", {}},           {" ", {1, 3, 4, 2, 5}},
        {"بعدكليلة", {}}, // not across the end of one loan and the start of the next
    };
    for (const auto& c : cases) {
        find(QString::fromUtf8(c.typed));
        EXPECT_EQ(ids(), c.shown) << c.typed;
        EXPECT_EQ(count(), QStringLiteral("%1 من 5").arg(c.shown.size())) << c.typed;
        for (int r = 0; r < w.model->rowCount(); ++r) {
            EXPECT_EQ(w.model->CellText(r, ColNumber), QString::number(r + 1));
            EXPECT_EQ(w.model->CellToolTip(r, ColDateReturn) + w.model->CellColour(r, ColDateReturn).name(),
                      tips[w.model->IdAt(r)]);
        }
    }
}

TEST_F(FindTest, CtrlFOpensTheBarAndEscapeShowsEveryRowKeepingSortAndMark)
{
    FrmMain& w = loadFive();
    QStringList shortcuts;
    for (QAction* a : w.ListMenu->actions())
        shortcuts << a->shortcut().toString();
    // After the commands on the clicked row.
    EXPECT_EQ(shortcuts.mid(shortcuts.indexOf("Ctrl+F"), 2), (QStringList{"Ctrl+F", "Ctrl+E"}));

    const QRect list = w.lvwRoom->geometry();
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(w.findBar && w.findBar->isVisible());
    EXPECT_TRUE(w.findBar->TxtFind->hasFocus());
    EXPECT_EQ(w.lvwRoom->geometry().bottom() + 1, w.findBar->geometry().top());
    EXPECT_EQ(w.findBar->geometry().bottom(), list.bottom());

    w.lvwRoom_ColumnClick(ColNameBorrower);
    const QList<qint64> sorted = ids();
    w.lvwRoom_ItemClick(w.model->RowOfId(4));
    find(QStringLiteral("احمد"));
    EXPECT_TRUE(w.lvwRoom->selectionModel()->isRowSelected(w.model->RowOfId(4), {}));
    find(QStringLiteral("ليلى")); // hides the marked record; the entry keeps it
    EXPECT_EQ(w.SelectedId, 4);
    EXPECT_EQ(w.SelectedRow, -1);
    QTest::keyClick(w.findBar->TxtFind, Qt::Key_Return); // to the list, not the Add button
    EXPECT_TRUE(w.lvwRoom->hasFocus());
    EXPECT_TRUE(fake.messages.isEmpty());

    QTest::keyClick(w.findBar->TxtFind, Qt::Key_Escape);
    EXPECT_TRUE(w.findBar->isHidden());
    EXPECT_EQ(w.lvwRoom->geometry(), list);
    EXPECT_EQ(ids(), sorted);
    EXPECT_EQ(w.SelectedRow, w.model->RowOfId(4));
    EXPECT_TRUE(w.lvwRoom->selectionModel()->isRowSelected(w.SelectedRow, {}));
}

TEST_F(FindTest, TheFilterStaysThroughSortAddEditAndDeleteWhichChangeOnlyTheirRecord)
{
    FrmMain& w = loadFive();
    find(QStringLiteral("احمد"));
    w.lvwRoom_ColumnClick(ColNameBook);
    w.lvwRoom_ColumnClick(ColNameBook);
    EXPECT_EQ(ids(), (QList<qint64>{2, 4, 1}));

    for (const char* borrower : {"إبراهيم", "أحمد"}) {
        w.TxtNameBook->setText(QStringLiteral("الأغاني"));
        w.TxtNameWriter->setText(QStringLiteral("مؤلف"));
        w.TxtNameBorrower->setText(QString::fromUtf8(borrower));
        w.LblDateLoan->setText(QStringLiteral("2024/03/01"));
        w.LblDateReturn->setText(kOut);
        w.CmdAdd_Click();
    }
    EXPECT_EQ(ids(), (QList<qint64>{7, 1, 4, 2})) << "rebuilt in the list's own order, filtered";
    EXPECT_EQ(count(), QStringLiteral("4 من 7"));

    w.lvwRoom_ItemClick(w.model->RowOfId(2));
    w.TxtNameBorrower->setText(QStringLiteral("سالم"));
    w.CmdEdit_Click();
    w.lvwRoom_ItemClick(w.model->RowOfId(4));
    w.CmdDelete_Click();
    EXPECT_EQ(ids(), (QList<qint64>{7, 1}));
    EXPECT_EQ(count(), QStringLiteral("2 من 6"));
    EXPECT_EQ(test::Query(path, QStringLiteral("SELECT ID || NameBorrower FROM TableBook ORDER BY ID")),
              (QStringList{"1أحمد", "2سالم", "3سارة", "5ليلى", "6إبراهيم", "7أحمد"}));
}

TEST_F(FindTest, ExportWritesTheListAsItStandsAndNamesTheFileItCouldNotWrite)
{
    FrmMain& w = load({{"=SUM(A1), \"كتاب\"", "مؤلف\nثان", "أحمد", "2024/01/15", kOut, ""},
                       {"الأيام", "-طه", "احمد", "2024/01/10", "2024/01/12", ""},
                       {"البخلاء", "الجاحظ", "سارة", "2024/02/01", kOut, ""}});
    find(QStringLiteral("احمد"));
    w.lvwRoom_ColumnClick(ColDateLoan);
    QString suggested, answer = dir.filePath(QStringLiteral("out.csv"));
    ChooseExportFile() = [&](QWidget*, const QString& s) { return suggested = s, answer; };
    w.ExportList();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/2024-03-10 الإعارات.csv"))) << suggested.toStdString();
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_TRUE(fake.messages[0].text.contains(answer));

    bool ok = false;
    EXPECT_EQ(test::ReadCsvWithPython(answer, &ok),
              (QList<QStringList>{
                  {"اسم الكتاب", "اسم المؤلف", "اسم المستعير", "تاريخ الإعارة", "تاريخ الرد", "مدة الإعارة"},
                  {"الأيام", "'-طه", "احمد", "2024/01/10", "2024/01/12", w.model->CellText(0, ColTimeLoan)},
                  {"'=SUM(A1), \"كتاب\"", "مؤلف\nثان", "أحمد", "2024/01/15", kOut,
                   w.model->CellText(1, ColTimeLoan)},
              }));
    EXPECT_TRUE(ok);

    answer = dir.filePath(QStringLiteral("missing/out.csv"));
    w.ExportList();
    ASSERT_EQ(fake.messages.size(), 2);
    EXPECT_EQ(fake.messages[1].title, QStringLiteral("خطأ"));
    EXPECT_TRUE(fake.messages[1].text.contains(answer));
    answer.clear(); // cancelled: nothing written, nothing said
    w.ExportList();
    EXPECT_EQ(fake.messages.size(), 2);
}

} // namespace
