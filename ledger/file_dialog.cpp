#include "file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

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

QString DocumentsOrHome()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

QString PathInMessage(const QString& path)
{
    return QChar(0x202A) + path + QChar(0x202C);
}

} // namespace pelorin::ledger
