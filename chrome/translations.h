#pragma once

class QCoreApplication;

namespace pelorin::chrome {

// Loads Qt's own Arabic translations so that its dialogs (print preview, file dialogs) speak
// Arabic, and sets the application's layout to right to left and its font to the Arabic font.
void SetUpArabicApplication(QCoreApplication& app);

} // namespace pelorin::chrome
