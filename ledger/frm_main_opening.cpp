// The load from the rows the start read on a worker thread while this window was built, and the
// progress shown when there are too many of them to read in about a second.
#include "frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

#include "database.h"
#include "ledger_model.h"
#include "opening.h"
#include "platform.h"
#include "style.h"

namespace pelorin::ledger {

FrmMain::LoadPace FrmMain::Pace;

std::shared_ptr<Opening> FrmMain::TakeOpenedRows()
{
    std::shared_ptr<Opening> opening =
        Opening::Take(store::MData::DatabasePath(), store::MData::DbPassword, platform().today());
    if (!opening) return nullptr;
    const QDate today = platform().today();
    std::vector<size_t> starts;
    QElapsedTimer clock;
    double firstProgress = 0;
    for (;;) {
        Opening::Piece piece;
        const Opening::Next next = opening->Wait(piece, loadProgress_ ? 20 : 100);
        if (next == Opening::Next::End) break;
        if (next == Opening::Next::Piece) {
            starts.push_back(size_t(model->TotalCount()));
            model->Append(piece.rows, piece.names, today, {true, false});
            if (!clock.isValid()) {
                clock.start();
                firstProgress = piece.progress;
            } else if (!loadProgress_ && clock.elapsed() >= Pace.judgeAfterMs &&
                       piece.progress > firstProgress) {
                // The whole read at the pace so far.
                if (double(clock.elapsed()) >= Pace.slowReadMs * (piece.progress - firstProgress))
                    ShowLoadProgress();
            }
            if (loadProgress_) loadProgress_->setValue(int(piece.progress * 100));
        }
        if (loadProgress_) QCoreApplication::processEvents();
    }
    if (!opening->AllRead()) {
        // The load sequence reads the file itself and says what failed.
        model->Clear();
        return nullptr;
    }
    model->MergeListOrder(std::move(starts));
    return opening;
}

bool FrmMain::UseOpenedRows(const Opening& opening)
{
    // The rows are of the open file only if it is open with the handle they were read with.
    if (!opening.HandleTaken()) {
        model->Clear();
        return false;
    }
    sortInMemory_ = true;
    durationsUnsaved_ = !opening.DurationsSaved();
    if (durationsUnsaved_) {
        store::MData::Conn->SetError(opening.WriteError());
        ShowWriteError();
    }
    FitNumberColumn();
    return true;
}

void FrmMain::ShowLoadProgress()
{
    loadProgress_ = new QProgressBar(this);
    loadProgress_->setObjectName(QStringLiteral("LoadProgress"));
    loadProgress_->setAccessibleName(QStringLiteral("تقدم قراءة الإعارات"));
    loadProgress_->setFont(chrome::ArabicFont(9.75));
    loadProgress_->setRange(0, 100);
    loadProgress_->setFormat(QStringLiteral("جارٍ قراءة الإعارات… %p%"));
    loadProgress_->setAlignment(Qt::AlignCenter);
    const QRect list = lvwRoom->geometry();
    loadProgress_->setGeometry(list.x() + list.width() / 6, list.center().y() - 14, list.width() * 2 / 3, 28);
    lvwRoom->hide();
    // Nothing touches the ledger until it is loaded; the window still moves and closes.
    for (QWidget* w : std::initializer_list<QWidget*>{FrameEnterData, FrameHelp, TxtNameLibrary, CmdSave})
        w->setEnabled(false);
    for (QAction* a : actions())
        if (a->isEnabled()) {
            a->setEnabled(false);
            heldActions_.push_back(a);
        }
    loadProgress_->show();
    show();
}

void FrmMain::EndLoadProgress()
{
    if (!loadProgress_) return;
    delete loadProgress_;
    loadProgress_ = nullptr;
    for (QWidget* w : std::initializer_list<QWidget*>{FrameEnterData, FrameHelp, TxtNameLibrary, CmdSave})
        w->setEnabled(true);
    for (QAction* a : heldActions_)
        a->setEnabled(true);
    heldActions_.clear();
    lvwRoom->show();
    TxtNameBook->setFocus();
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    // Closed while the ledger loads: nothing is changed yet, and the program simply ends.
    if (loadProgress_) platform().endProgram(0);
    chrome::FramelessWindow::closeEvent(event);
}

} // namespace pelorin::ledger
