// Qt's file dialog as the ledger's commands show it: Arabic, right to left, in the window's look.
#pragma once

#include <QString>

class QWidget;

namespace pelorin::ledger {

struct FileQuestion {
    QString title;
    QString start;   // the folder, or the path suggested for a save
    QString filters; // as QFileDialog takes them
    bool save = false;
    QString suffix; // added to a saved name that has none
};

// The chosen path; empty when the owner cancels.
QString AskForFile(QWidget* parent, const FileQuestion& question);

// Where files are offered when the session has no folder of its own yet: the documents folder,
// else the home folder.
QString DocumentsOrHome();

// A path as a right-to-left message shows it: kept in its left-to-right order.
QString PathInMessage(const QString& path);

} // namespace pelorin::ledger
