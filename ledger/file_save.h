// Saving a file for the owner: where it is offered, and the message that tells how the save went.
// The CSV export and the report's PDF share them (and file_dialog.h's dialog).
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace pelorin::csv {
struct SaveFailure;
}

namespace pelorin::ledger {

// Asks where to save, offering suggestedPath; empty when the owner cancels. Each kind of file has
// one, Qt's save dialog unless replaced (tests answer it without a dialog).
using SavePathChooser = std::function<QString(QWidget* parent, const QString& suggestedPath)>;

// Where a file named name is offered: the folder of the last save in this session, else the
// documents folder, else the home folder. Today's date goes first in the name: it reads the same
// in a right-to-left and a left-to-right listing, and the files of many days sort by it.
QString SuggestedPath(const QString& name);

// Tells the owner that what ("القائمة", "التقرير") was saved to path, and remembers its folder for
// the next save; or, with a failure, that it could not be, that no earlier file of that name
// changed, and why.
void TellSaveOutcome(const QString& what, const QString& path, const csv::SaveFailure* failure);

} // namespace pelorin::ledger
