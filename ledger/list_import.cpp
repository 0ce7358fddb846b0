#include "list_import.h"

#include <QFileDialog>

#include "frm_import.h"

namespace pelorin::ledger {

namespace {

QString askWithQtDialog(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent, QStringLiteral("استيراد الإعارات من ملف"), folder,
                       QStringLiteral("ملفات الجداول النصية (*.csv *.txt *.tsv);;كل الملفات (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setLayoutDirection(Qt::RightToLeft);
    // The window's look carries over to the dialog; its buttons need room for icon and text.
    dialog.setStyleSheet(QStringLiteral("QPushButton { padding: 3px 12px; min-width: 64px; }"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

ImportFileChooser& ChooseImportFile()
{
    static ImportFileChooser chooser = askWithQtDialog;
    return chooser;
}

ImportPreviewAnswer& AnswerImportPreview()
{
    static ImportPreviewAnswer answer = [](importing::FrmImport& preview) {
        return preview.exec() == QDialog::Accepted;
    };
    return answer;
}

} // namespace pelorin::ledger
