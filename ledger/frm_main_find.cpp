// Finding loans in the list and taking the list out to a spreadsheet: the find bar along the
// list's bottom edge, and the CSV export. Both work on the list as it stands.
#include "frm_main.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>

#include "file_save.h"
#include "find_bar.h"
#include "image_button.h"
#include "ledger_model.h"
#include "ledger_view.h"
#include "list_export.h"
#include "report_loan.h"
#include "save_file.h"

namespace pelorin::ledger {

void FrmMain::buildFindCommands()
{
    ListMenu->addAction(addCommand(
        QStringLiteral("بحث في القائمة"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] { ShowFindBar(); },
        u'ب'));
    ListMenu->addAction(addCommand(
        QStringLiteral("تصدير القائمة إلى ملف CSV…"), QKeySequence(Qt::CTRL | Qt::Key_E),
        [this] { ExportList(); }, u'ث'));
}

void FrmMain::ShowFindBar()
{
    model->PrepareSearch();
    if (!findBar) {
        findBar = new FindBar(this);
        findBar->hide();
        // With the keyboard, the bar follows the list it belongs to.
        setTabOrder(lvwRoom, findBar->TxtFind);
        setTabOrder(findBar->TxtFind, findBar->ImgClose);
        connect(findBar, &FindBar::textChanged, this, [this](const QString& text) { TxtFind_Change(text); });
        connect(findBar, &FindBar::closeRequested, this, [this] { CloseFindBar(); });
        // Enter takes the owner from the words to the loans they found.
        connect(findBar, &FindBar::submitted, this, [this] { lvwRoom->setFocus(Qt::OtherFocusReason); });
        // Add, Edit, Delete and a re-sort rebuild the list under the filter: the count follows.
        connect(model, &QAbstractItemModel::modelReset, this, [this] { showFindCount(); });
        connect(model, &QAbstractItemModel::rowsInserted, this, [this] { showFindCount(); });
    }
    if (findBar->isHidden()) {
        // The bar takes the bottom of the list's place; the list gives up that much height.
        const QRect list = lvwRoom->geometry();
        lvwRoom->resize(list.width(), list.height() - FindBar::kHeight);
        findBar->setGeometry(list.x(), list.y() + list.height() - FindBar::kHeight, list.width(),
                             FindBar::kHeight);
        findBar->show();
        findBar->raise();
        if (lvwRoom->currentIndex().isValid()) lvwRoom->scrollTo(lvwRoom->currentIndex());
    }
    showFindCount();
    findBar->TxtFind->setFocus(Qt::ShortcutFocusReason);
    findBar->TxtFind->selectAll();
}

void FrmMain::CloseFindBar()
{
    if (!findBar || findBar->isHidden()) return;
    findBar->hide();
    lvwRoom->resize(lvwRoom->width(), lvwRoom->height() + FindBar::kHeight);
    // Cleared without a second filtering pass: the one below shows every row.
    findBar->TxtFind->blockSignals(true);
    findBar->TxtFind->clear();
    findBar->TxtFind->blockSignals(false);
    TxtFind_Change(QString());
    lvwRoom->setFocus(Qt::OtherFocusReason);
}

void FrmMain::TxtFind_Change(const QString& text)
{
    // Typed words, or none: not one borrower's or one book's loans any more.
    if (findBar) findBar->ShowWords();
    model->SetFilter(text);
    markSelectedRecord();
    showFindCount();
}

void FrmMain::markSelectedRecord()
{
    if (SelectedId == 0) return;
    // The entry keeps the clicked record (Edit and Delete still act on it) even while the
    // filter hides its row.
    SelectedRow = model->RowOfId(SelectedId);
    if (SelectedRow < 0) return;
    MarkRow(lvwRoom, SelectedRow);
    lvwRoom->scrollTo(model->index(SelectedRow, 0));
}

void FrmMain::showFindCount()
{
    if (findBar) findBar->SetCount(model->rowCount(), model->TotalCount());
}

bool FrmMain::reportSelection(LoanSelection& out) const
{
    if (!model->Filtered()) return false;
    out.ids.clear();
    out.ids.reserve(size_t(model->rowCount()));
    for (int r = 0; r < model->rowCount(); ++r)
        out.ids.push_back(model->IdAt(r));
    out.total = model->TotalCount();
    return true;
}

void FrmMain::ExportList()
{
    const QString path = ChooseExportFile()(this, SuggestedPath(QStringLiteral("الإعارات.csv")));
    if (path.isEmpty()) return;
    csv::SaveFailure error;
    const bool saved = csv::SaveAtomically(
        path, [this](QIODevice& out) { return WriteListCsv(*model, out); }, &error);
    TellSaveOutcome(QStringLiteral("القائمة"), path, saved ? nullptr : &error);
}

} // namespace pelorin::ledger
