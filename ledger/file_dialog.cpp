#include "file_dialog.h"

#include <QFileDialog>

namespace pelorin::ledger {

QString AskForFile(QWidget* parent, const FileQuestion& question)
{
    QFileDialog dialog(parent, question.title, question.start, question.filters);
    dialog.setAcceptMode(question.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(question.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!question.suffix.isEmpty()) dialog.setDefaultSuffix(question.suffix);
    dialog.setLayoutDirection(Qt::RightToLeft);
    // The window's look carries over to the dialog; its buttons need room for icon and text.
    dialog.setStyleSheet(QStringLiteral("QPushButton { padding: 3px 12px; min-width: 64px; }"));
    if (question.save) dialog.selectFile(question.start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace pelorin::ledger
