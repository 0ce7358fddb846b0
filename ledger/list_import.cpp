#include "list_import.h"

#include "file_dialog.h"
#include "frm_import.h"

namespace pelorin::ledger {

namespace {

QString askWithQtDialog(QWidget* parent, const QString& folder)
{
    return AskForFile(parent, {QStringLiteral("استيراد الإعارات من ملف"), folder,
                               QStringLiteral("ملفات الإعارات (*.csv *.txt *.tsv *.mdb *.accdb);;"
                                              "ملفات الجداول النصية (*.csv *.txt *.tsv);;"
                                              "قواعد بيانات Access (*.mdb *.accdb);;كل الملفات (*)"),
                               false, QString()});
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
