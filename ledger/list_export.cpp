#include "list_export.h"

#include <QFileDialog>

#include "csv_document.h"
#include "ledger_model.h"

namespace pelorin::ledger {

namespace {

QString askWithQtDialog(QWidget* parent, const QString& suggestedPath)
{
    QFileDialog dialog(parent, QStringLiteral("حفظ القائمة في ملف CSV"), suggestedPath,
                       QStringLiteral("ملفات CSV (*.csv);;كل الملفات (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setLayoutDirection(Qt::RightToLeft);
    // The window's look carries over to the dialog; its buttons need room for icon and text.
    dialog.setStyleSheet(QStringLiteral("QPushButton { padding: 3px 12px; min-width: 64px; }"));
    dialog.selectFile(suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool WriteListCsv(const LedgerModel& model, QIODevice& out)
{
    csv::Document doc(out);
    for (int c = ColNameBook; c < ColumnCount; ++c)
        doc.AddCell(ColumnAt(c).caption);
    doc.EndRecord();
    for (int r = 0, rows = model.rowCount(); r < rows; ++r) {
        // The rows lie in memory in the order they were read, not in the list's.
        model.PrefetchAhead(r);
        for (QStringView cell : model.RowCells(r))
            doc.AddCell(cell);
        doc.EndRecord();
    }
    return doc.Flush();
}

ExportFileChooser& ChooseExportFile()
{
    static ExportFileChooser chooser = askWithQtDialog;
    return chooser;
}

} // namespace pelorin::ledger
