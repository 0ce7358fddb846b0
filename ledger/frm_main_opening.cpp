// The load from the rows the start read on a worker thread while this window was built, and the
// progress shown when there are too many of them to read in about a second.
#include "frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
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
    // The pieces sorted so far, merged as they come, two of a size at a time: what is left to
    // merge once the last piece is in is no more than a pass or two over the rows.
    struct Run {
        size_t start;
        int pieces;
    };
    std::vector<Run> runs;
    const auto mergeLast = [&] {
        model->MergeListOrder(runs[runs.size() - 2].start, runs.back().start);
        runs[runs.size() - 2].pieces += runs.back().pieces;
        runs.pop_back();
    };
    QElapsedTimer clock;
    double firstProgress = 0;
    for (;;) {
        Opening::Piece piece;
        const Opening::Next next = opening->Wait(piece, loadProgress_ ? 20 : 100);
        if (next == Opening::Next::End) break;
        if (next == Opening::Next::Piece) {
            runs.push_back({size_t(model->TotalCount()), 1});
            model->Append(piece.rows, piece.names, today, {true, false});
            while (runs.size() > 1 && runs[runs.size() - 2].pieces == runs.back().pieces)
                mergeLast();
            if (!clock.isValid()) {
                clock.start();
                firstProgress = piece.progress;
            } else if (!loadProgress_ && clock.elapsed() >= Pace.judgeAfterMs &&
                       piece.progress > firstProgress) {
                // When the list would be filled at the pace so far, counted from the start.
                const double perRead = double(clock.elapsed()) / (piece.progress - firstProgress);
                if (opening->MsSinceStart() + perRead * (1 - piece.progress) >= Pace.slowStartMs)
                    ShowLoadProgress(opening->LibraryName());
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
    while (runs.size() > 1) {
        mergeLast();
        if (loadProgress_) QCoreApplication::processEvents();
    }
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
    NamesChanged();
    return true;
}

void FrmMain::ShowLoadProgress(const QString& libraryName)
{
    fitLibraryNameLimit(int(libraryName.size()));
    TxtNameLibrary->setText(libraryName);
    // In the list's place, white as the list is: what is being done, and how far it has come.
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("LoadPanel"));
    panel->setGeometry(lvwRoom->geometry());
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);
    auto* caption = new QLabel(QStringLiteral("جارٍ قراءة الإعارات…"), panel);
    caption->setFont(chrome::ArabicFont(9.75));
    caption->setAlignment(Qt::AlignCenter);
    caption->setStyleSheet(QStringLiteral("color: rgb(90,0,90);"));
    caption->setGeometry(0, panel->height() / 2 - 34, panel->width(), 24);
    loadProgress_ = new QProgressBar(panel);
    loadProgress_->setObjectName(QStringLiteral("LoadProgress"));
    loadProgress_->setAccessibleName(caption->text());
    loadProgress_->setRange(0, 100);
    loadProgress_->setTextVisible(false);
    loadProgress_->setStyleSheet(
        QStringLiteral("QProgressBar { background: white; border: 1px solid rgb(90,0,90); }"
                       "QProgressBar::chunk { background: rgb(128,0,128); }"));
    loadProgress_->setGeometry(panel->width() / 6, panel->height() / 2, panel->width() * 2 / 3, 18);
    lvwRoom->hide();
    // Nothing touches the ledger until it is loaded; the window still moves and closes.
    for (QWidget* w : std::initializer_list<QWidget*>{FrameEnterData, FrameHelp, TxtNameLibrary, CmdSave})
        w->setEnabled(false);
    for (QAction* a : actions())
        if (a->isEnabled()) {
            a->setEnabled(false);
            heldActions_.push_back(a);
        }
    panel->show();
    show();
}

void FrmMain::EndLoadProgress()
{
    if (!loadProgress_) return;
    delete loadProgress_->parentWidget();
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
