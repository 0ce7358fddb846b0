// Sorting by a header click, the header triangles, and the row click.
#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "ledger_fixture.h"
#include "row_hover_delegate.h"

using namespace pelorin;
using namespace pelorin::ledger;
using namespace pelorin::ledger::testing;

namespace {

class LedgerSortTest : public LedgerFixture {
protected:
    FrmMain& loadThree()
    {
        // Entered in this order: IDs 1, 2, 3.
        return load({{"جيم", "مؤلف ب", "سلمى", "2024/01/03", "2024/02/01", ""},
                     {"ألف", "مؤلف أ", "نور", "2024/01/01", kOut, ""},
                     {"باء", "مؤلف ب", "أمل", "2024/01/02", "2024/01/20", ""}});
    }
    void clickHeader(int column)
    {
        QHeaderView* h = window->lvwRoom->horizontalHeader();
        const QPoint at(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
    }
    QList<int> images() const
    {
        QList<int> out;
        for (int c = 0; c < ColumnCount; ++c)
            out << window->model->HeaderImage(c);
        return out;
    }
};

TEST_F(LedgerSortTest, TitleHeaderTogglesAscendingDescendingAscendingWithItsTriangle)
{
    FrmMain& w = loadThree();
    EXPECT_EQ(titles(), (QStringList{"ألف", "باء", "جيم"}));

    const struct {
        QStringList order;
        QString sortOrder;
        int image;
    } steps[] = {
        {{"ألف", "باء", "جيم"}, " ASC ", 2},
        {{"جيم", "باء", "ألف"}, " DESC ", 1},
        {{"ألف", "باء", "جيم"}, " ASC ", 2},
    };
    for (const auto& step : steps) {
        clickHeader(ColNameBook);
        EXPECT_EQ(titles(), step.order);
        EXPECT_EQ(w.SortColumn, QStringLiteral("NameBook"));
        EXPECT_EQ(w.SortOrder, step.sortOrder);
        EXPECT_EQ(images(), (QList<int>{0, step.image, 0, 0, 0, 0, 0}));
        // Row numbers follow the new order.
        EXPECT_EQ(w.model->CellText(0, ColNumber), QStringLiteral("1"));
        EXPECT_EQ(w.model->CellText(2, ColNumber), QStringLiteral("3"));
    }
    EXPECT_FALSE(LedgerModel::HeaderPicture(1).isNull());
    EXPECT_FALSE(LedgerModel::HeaderPicture(2).isNull());
}

TEST_F(LedgerSortTest, AnotherColumnStartsAscendingAndTiesGoByTitle)
{
    FrmMain& w = loadThree();
    w.lvwRoom_ColumnClick(ColNameWriter);
    EXPECT_EQ(titles(), (QStringList{"ألف", "باء", "جيم"})) << "same author: title order";
    w.lvwRoom_ColumnClick(ColNameWriter);
    EXPECT_EQ(titles(), (QStringList{"باء", "جيم", "ألف"})) << "authors descending, ties by title ascending";
    w.lvwRoom_ColumnClick(ColNameBorrower);
    EXPECT_EQ(w.SortOrder, QStringLiteral(" ASC "));
    EXPECT_EQ(titles(), (QStringList{"باء", "جيم", "ألف"})); // أمل, سلمى, نور
    EXPECT_EQ(images(), (QList<int>{0, 0, 0, 2, 0, 0, 0}));
    w.lvwRoom_ColumnClick(ColDateReturn);
    // Dates sort as text; the not-returned marker comes after every date.
    EXPECT_EQ(titles(), (QStringList{"باء", "جيم", "ألف"}));
}

TEST_F(LedgerSortTest, NumberColumnSortsByEntryOrderAndNeverFlips)
{
    FrmMain& w = loadThree();
    for (int i = 0; i < 2; ++i) {
        w.lvwRoom_ColumnClick(ColNumber);
        EXPECT_EQ(titles(), (QStringList{"جيم", "ألف", "باء"}));
        EXPECT_EQ(w.SortColumn, QStringLiteral("ID"));
        EXPECT_EQ(w.SortOrder, QStringLiteral(" ASC "));
        EXPECT_EQ(images(), (QList<int>{2, 0, 0, 0, 0, 0, 0}));
    }
}

// A file the engine sorts (here one with an index) is read again on a header click. When that
// read fails, the rows, the sort and the header triangles stay as they were.
TEST_F(LedgerSortTest, AFailedReadOfTheSortedRowsLeavesTheListAndItsSortAsTheyWere)
{
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                     {{"جيم", "مؤلف ب", "سلمى", "2024/01/03", "2024/02/01", ""},
                                      {"ألف", "مؤلف أ", "نور", "2024/01/01", kOut, ""},
                                      {"باء", "مؤلف ب", "أمل", "2024/01/02", "2024/01/20", ""}}));
    test::Query(path, QStringLiteral("CREATE INDEX ByTitle ON TableBook (NameBook)"));
    window = std::make_unique<FrmMain>();
    FrmMain& w = *window;
    w.Form_Load();
    clickHeader(ColNameBook);
    ASSERT_EQ(w.SortOrder, QStringLiteral(" ASC "));
    const QStringList rows = titles();
    const QList<int> triangles = images();
    ASSERT_EQ(triangles, (QList<int>{0, 2, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(fake.messages.isEmpty());

    // Another program takes the table away behind the window's back.
    test::Query(path, QStringLiteral("ALTER TABLE TableBook RENAME TO Elsewhere"));
    // The same header would turn the direction, another would change the column.
    for (int column : {ColNameBook, ColNameWriter}) {
        SCOPED_TRACE(column);
        clickHeader(column);
        EXPECT_EQ(titles(), rows);
        EXPECT_EQ(w.SortColumn, QStringLiteral("NameBook"));
        EXPECT_EQ(w.SortOrder, QStringLiteral(" ASC "));
        EXPECT_EQ(images(), triangles);
    }
    ASSERT_EQ(fake.messages.size(), 2);
    for (const auto& m : fake.messages) {
        EXPECT_EQ(m.title, QStringLiteral("خطأ"));
        EXPECT_TRUE(m.text.startsWith(QStringLiteral("تعذرت قراءة قاعدة البيانات"))) << m.text.toStdString();
    }
}

TEST_F(LedgerSortTest, HeaderClickOnAnEmptyListChangesNothing)
{
    FrmMain& w = load({});
    clickHeader(ColNameBook);
    EXPECT_EQ(w.model->rowCount(), 0);
    EXPECT_TRUE(w.SortColumn.isEmpty());
    EXPECT_TRUE(w.SortOrder.isEmpty());
    EXPECT_EQ(images(), (QList<int>{0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(fake.messages.isEmpty());
}

TEST_F(LedgerSortTest, RowClickFillsTheEntryAndSwitchesTheButtons)
{
    FrmMain& w = loadThree();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_TRUE(w.CmdAdd->isEnabled());
    EXPECT_FALSE(w.CmdEdit->isEnabled());
    EXPECT_FALSE(w.CmdDelete->isEnabled());

    const QRect cell = w.lvwRoom->visualRect(w.model->index(1, ColNameWriter));
    QTest::mouseClick(w.lvwRoom->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(w.TxtNameBook->text(), QStringLiteral("باء"));
    EXPECT_EQ(w.TxtNameWriter->text(), QStringLiteral("مؤلف ب"));
    EXPECT_EQ(w.TxtNameBorrower->text(), QStringLiteral("أمل"));
    EXPECT_EQ(w.LblDateLoan->text(), QStringLiteral("2024/01/02"));
    EXPECT_EQ(w.LblDateReturn->text(), QStringLiteral("2024/01/20"));
    EXPECT_FALSE(w.CmdAdd->isEnabled());
    EXPECT_TRUE(w.CmdEdit->isEnabled());
    EXPECT_TRUE(w.CmdDelete->isEnabled());
    EXPECT_EQ(w.SelectedId, 3);
    EXPECT_EQ(w.SelectedRow, 1);
    EXPECT_EQ(w.lvwRoom->selectionModel()->selectedRows().value(0).row(), 1);

    // A click below the last row is no row click: the entry stays.
    const QPoint below(cell.center().x(), w.lvwRoom->visualRect(w.model->index(2, 0)).bottom() + 30);
    QTest::mouseClick(w.lvwRoom->viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(w.TxtNameBook->text(), QStringLiteral("باء"));
    EXPECT_EQ(w.SelectedId, 3);

    // A re-sort keeps the clicked record marked at its new place.
    w.lvwRoom_ColumnClick(ColNumber);
    EXPECT_EQ(w.SelectedId, 3);
    EXPECT_EQ(w.SelectedRow, 2);
    EXPECT_EQ(w.lvwRoom->selectionModel()->selectedRows().value(0).row(), 2);
    EXPECT_EQ(w.lvwRoom->currentIndex().row(), 2);
}

// A row marked with the arrow keys or by dragging onto it is loaded like a clicked one, so that
// the entry and the target of Edit and Delete are always the row the list shows marked.
TEST_F(LedgerSortTest, ArrowKeysAndDraggingChooseTheMarkedRow)
{
    FrmMain& w = loadThree(); // ألف (ID 2), باء (ID 3), جيم (ID 1)
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QWidget* viewport = w.lvwRoom->viewport();
    auto centre = [&](int row) { return w.lvwRoom->visualRect(w.model->index(row, ColNameWriter)).center(); };
    auto marked = [&] { return w.lvwRoom->selectionModel()->selectedRows().value(0).row(); };

    QTest::mouseClick(viewport, Qt::LeftButton, {}, centre(0));
    ASSERT_EQ(w.SelectedId, 2);
    QTest::keyClick(w.lvwRoom, Qt::Key_Down);
    EXPECT_EQ(marked(), 1);
    EXPECT_EQ(w.SelectedId, 3);
    EXPECT_EQ(w.SelectedRow, 1);
    EXPECT_EQ(w.TxtNameBook->text(), QStringLiteral("باء"));
    EXPECT_EQ(w.LblDateReturn->text(), QStringLiteral("2024/01/20"));

    // Whatever the keys do to the mark, the entry follows the marked row.
    for (auto [key, mods] : {std::pair{Qt::Key_Down, Qt::ControlModifier},
                             {Qt::Key_Home, Qt::NoModifier},
                             {Qt::Key_End, Qt::NoModifier},
                             {Qt::Key_Up, Qt::ShiftModifier}}) {
        QTest::keyClick(w.lvwRoom, key, mods);
        ASSERT_GE(marked(), 0) << key;
        EXPECT_EQ(w.SelectedId, w.model->IdAt(marked())) << key;
        EXPECT_EQ(w.TxtNameBook->text(), w.model->CellText(marked(), ColNameBook)) << key;
    }

    // Pressed on one row and released on another.
    w.CmdClear_Click();
    QTest::mousePress(viewport, Qt::LeftButton, {}, centre(0));
    QMouseEvent move(QEvent::MouseMove, centre(2), viewport->mapToGlobal(centre(2)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre(2));
    EXPECT_EQ(marked(), 2);
    EXPECT_EQ(w.SelectedId, 1);
    EXPECT_EQ(w.TxtNameBook->text(), QStringLiteral("جيم"));
    EXPECT_FALSE(w.CmdAdd->isEnabled());
    EXPECT_TRUE(w.CmdDelete->isEnabled());
    // Editing again: the marked row stays shown when the focus leaves the list.
    w.TxtNameBook->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(marked(), 2);
}

// Hot tracking covers the whole row under the pointer, also when the pointer already rests
// over the list as it appears (the view then gets hover events but no mouse move).
TEST_F(LedgerSortTest, TheRowUnderARestingPointerIsHotTracked)
{
    FrmMain& w = loadThree();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* hover = qobject_cast<RowHoverDelegate*>(w.lvwRoom->itemDelegate());
    ASSERT_NE(hover, nullptr);
    QWidget* viewport = w.lvwRoom->viewport();
    const QPointF at = w.lvwRoom->visualRect(w.model->index(1, ColNameBorrower)).center();
    QHoverEvent enter(QEvent::HoverEnter, at, viewport->mapToGlobal(at), QPointF(-1, -1));
    QApplication::sendEvent(viewport, &enter);
    EXPECT_EQ(hover->hoveredRow(), 1);
    const QPointF below(at.x(), w.lvwRoom->visualRect(w.model->index(2, 0)).bottom() + 30);
    QHoverEvent move(QEvent::HoverMove, below, viewport->mapToGlobal(below), at);
    QApplication::sendEvent(viewport, &move);
    EXPECT_EQ(hover->hoveredRow(), -1);
}

TEST_F(LedgerSortTest, RowClickOnAnEmptyListDoesNothing)
{
    FrmMain& w = load({});
    w.lvwRoom_ItemClick(0);
    EXPECT_TRUE(w.CmdAdd->isEnabled());
    EXPECT_FALSE(w.CmdEdit->isEnabled());
    EXPECT_EQ(w.SelectedId, 0);
}

} // namespace
