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
    dialog.selectFile(suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QByteArray ListCsv(const LedgerModel& model)
{
    const int rows = model.rowCount();
    // A loan's six texts come to some 120 bytes of UTF-8.
    csv::Document doc(qsizetype(rows + 1) * 128);
    for (int c = ColNameBook; c < ColumnCount; ++c)
        doc.AddCell(ColumnAt(c).caption);
    doc.EndRecord();
    for (int r = 0; r < rows; ++r) {
        for (int c = ColNameBook; c < ColumnCount; ++c)
            doc.AddCell(model.CellText(r, c));
        doc.EndRecord();
    }
    return doc.Bytes();
}

ExportFileChooser& ChooseExportFile()
{
    static ExportFileChooser chooser = askWithQtDialog;
    return chooser;
}

} // namespace pelorin::ledger
