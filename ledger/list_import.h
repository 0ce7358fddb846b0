// The questions the import command asks: which file, and whether the preview's rows go in.
// Qt's open dialog and the preview window unless replaced (tests answer them without windows).
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace pelorin::importing {
class FrmImport;
}

namespace pelorin::ledger {

// Asks which file to import, opening in folder; empty when the owner cancels.
using ImportFileChooser = std::function<QString(QWidget* parent, const QString& folder)>;
ImportFileChooser& ChooseImportFile();

// Shows the preview; true when the owner chose Import.
using ImportPreviewAnswer = std::function<bool(importing::FrmImport& preview)>;
ImportPreviewAnswer& AnswerImportPreview();

} // namespace pelorin::ledger
