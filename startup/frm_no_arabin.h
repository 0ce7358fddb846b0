// The notice shown instead of the ledger on a system whose language is not Arabic: the message
// as a picture that links to the help page, the maker's banner, and a way out that ends the program.
#pragma once

#include <QLabel>
#include <QStringList>
#include <QTimer>

#include "frameless_window.h"

class QFrame;

namespace pelorin::startup {

class FrmNoArabin : public chrome::FramelessWindow {
    Q_OBJECT
public:
    explicit FrmNoArabin(QWidget* parent = nullptr);

    // The five lines drawn in the message picture.
    static const QStringList& MessageLines();
    // Draws the lines centred, one under the other, in the Arabic font, on a transparent picture.
    static QPixmap RenderMessage(const QStringList& lines, const QSize& size);
    // The message as drawn at build time, with an Arabic font this system may well lack.
    static QPixmap MessagePicture();

    void ImgNoArabic_MouseDown(Qt::MouseButton button);
    void TmrWebMerrow1_Timer();
    void TmrWebMerrow2_Timer();
    void Form_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void ImgExit_Click() override;

    QLabel* ImgNoArabic = nullptr;
    QLabel* ImWebMerrow = nullptr;
    QLabel* ImWebMerrow1 = nullptr;
    QLabel* ImWebMerrow2 = nullptr;
    QFrame* ShpStatut = nullptr;
    QTimer TmrWebMerrow1;
    QTimer TmrWebMerrow2;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace pelorin::startup
