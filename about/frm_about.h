// The about window: the program's name and version, a credit line, a web banner that
// alternates between two pictures and opens the maker's site, and a long text that scrolls up
// through a viewport and enters again from below. The text stands still while the pointer
// rests inside the viewport of the active about window, and while the close image is held.
#pragma once

#include <QPointer>
#include <QString>

#include "frameless_window.h"

class QLabel;
class QTimer;

namespace pelorin::about {

class FrmAbout : public chrome::FramelessWindow {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* parent);

    static constexpr int kScrollStepTwips = 10;
    static constexpr int kScrollMilliseconds = 20;
    static constexpr int kBannerMilliseconds = 1000;
    static constexpr int kTextStartTopTwips = 1080;
    static QString WebAddress();

    QLabel* LblVerProgram = nullptr;
    QLabel* LblAddress1 = nullptr;
    QLabel* LblAddress2 = nullptr;
    QLabel* LblMerrow1 = nullptr;
    QLabel* LblMerrow2 = nullptr;
    QLabel* ImWebMerrow = nullptr;
    QLabel* ImWebMerrow1 = nullptr;
    QLabel* ImWebMerrow2 = nullptr;
    QWidget* PictMov = nullptr;
    QLabel* TxtMov = nullptr;
    QWidget* ShpMov = nullptr;
    QWidget* Shape1 = nullptr;
    QTimer* TimThank = nullptr;
    QTimer* TmrWebMerrow1 = nullptr;
    QTimer* TmrWebMerrow2 = nullptr;

    void TimThank_Timer();
    void TmrWebMerrow1_Timer();
    void TmrWebMerrow2_Timer();
    void ImWebMerrow_MouseDown(Qt::MouseButton button);

    // Positions of the scrolling text in twips, as the scrolling arithmetic sees them.
    int TxtMovTop() const { return txtTop_; }
    int TxtMovHeight() const;
    int PictMovInnerHeight() const;
    // The window that was active at the last scrolling step.
    QWidget* lastActiveWindow() const { return lastActive_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Holding the close image down stops the text; letting go lets it run on.
    void ImgExit_MouseDown() override;
    void ImgExit_MouseUp() override;

private:
    void setTxtMovTop(int twips);

    int txtTop_ = kTextStartTopTwips;
    QPointer<QWidget> lastActive_;
};

} // namespace pelorin::about
