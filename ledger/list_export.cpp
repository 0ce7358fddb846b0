#include "list_export.h"

#include "csv_document.h"
#include "file_dialog.h"
#include "ledger_model.h"

namespace pelorin::ledger {

namespace {

QString askWithQtDialog(QWidget* parent, const QString& suggestedPath)
{
    return AskForFile(parent,
                      {QStringLiteral("حفظ القائمة في ملف CSV"), suggestedPath,
                       QStringLiteral("ملفات CSV (*.csv);;كل الملفات (*)"), true, QStringLiteral("csv")});
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
