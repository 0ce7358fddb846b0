// The drawn frame every window of the program shares: a header strip with the title, the
// close image with its normal, pressed and hover pictures, border strips at the sides and
// bottom, and moving the window by dragging the header or the title with the left button.
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;

namespace pelorin::chrome {

struct ChromeLayout {
    int clientWidth = 0;  // twips
    int clientHeight = 0; // twips
    QRect titleRect;      // twips: left, top, width, height of LblMain
    QString title;
    int exitLeft = 0; // twips
    QString closeToolTip = QStringLiteral("إغلاق");
    bool rightToLeft = true;
};

class FramelessWindow : public QDialog {
    Q_OBJECT
public:
    enum class ExitPicture { Up, Down, Move };

    explicit FramelessWindow(const ChromeLayout& layout, QWidget* parent = nullptr);

    QLabel* ImgHeader() const { return header_; }
    QLabel* LblMain() const { return title_; }
    QLabel* ImgExit() const { return exit_; }
    QLabel* ImgLine(int index) const { return lines_[index]; }
    ExitPicture exitPicture() const { return exitPicture_; }
    void setTitle(const QString& title);

    // Where a press on the header or title began, in logical pixels of that control.
    float DragStartX = 0;
    float DragStartY = 0;

protected:
    // The close action; by default the window closes.
    virtual void ImgExit_Click();
    // Hooks around the close image's press and release (the about window uses them).
    virtual void ImgExit_MouseDown() {}
    virtual void ImgExit_MouseUp() {}

    void setExitPicture(ExitPicture p);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // One drag step: the window's left and top edges follow the pointer's offset from where
    // the press began on the header or title (single precision, failures leave it in place).
    void dragStep(float x, float y);

    QLabel* header_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* exit_ = nullptr;
    QLabel* lines_[3] = {nullptr, nullptr, nullptr};
    QPixmap exitUp_, exitDown_, exitMove_;
    ExitPicture exitPicture_ = ExitPicture::Up;
    bool exitHeld_ = false;
    // The window system took over the drag that began with the last press on the header.
    bool systemMove_ = false;
    bool exitLeftPress_ = false;
};

} // namespace pelorin::chrome
