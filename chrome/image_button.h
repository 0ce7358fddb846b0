// An image that acts as a button: any mouse button shows its pressed picture while held, the
// release restores the released picture, and a left press released over it is a click.
#pragma once

#include <QLabel>
#include <QPixmap>

namespace pelorin::chrome {

class ImageButton : public QLabel {
    Q_OBJECT
public:
    ImageButton(const QPixmap& up, const QPixmap& down, QWidget* parent = nullptr);
    // The 32 x 32 pictures "<pictureName>_up" and "<pictureName>_down" (about, report, update,
    // compact, calendar).
    explicit ImageButton(const QString& pictureName, QWidget* parent = nullptr);
    void setPictures(const QPixmap& up, const QPixmap& down);
    bool isPressedPicture() const { return pressedShown_; }

signals:
    void pressed(Qt::MouseButton button);
    void released(Qt::MouseButton button);
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void showPicture(bool pressed);
    QPixmap up_, down_;
    bool pressedShown_ = false;
    bool leftPress_ = false;
};

} // namespace pelorin::chrome
