// The first-run window: asks whether the support files may be installed, and on consent writes
// the installer the program carries to the temporary folder and starts it. Every way out ends
// the program.
#pragma once

#include <QByteArray>
#include <QLabel>
#include <QPushButton>

#include "frameless_window.h"

namespace pelorin::startup {

class FrmFileInstall : public chrome::FramelessWindow {
    Q_OBJECT
public:
    explicit FrmFileInstall(QWidget* parent = nullptr);

    // The question, its two lines joined by CR LF.
    static QString TitleText();
    static QString SuccessText();

    // The temporary folder followed by "/setupHalvek.exe".
    static QString GetSetupPath();
    // The installer the program carries (resource "FILEHELP", id 101).
    static QByteArray Payload();
    // Writes bytes as a new file at path, readable, writable and runnable by its owner only.
    // False when the file could not be written in full.
    static bool WritePayload(const QString& path, const QByteArray& bytes);

    void CmdOk_Click();
    void CmdNo_Click();
    void ImgExit_Click() override;

    QLabel* LblTitle = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdNo = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace pelorin::startup
