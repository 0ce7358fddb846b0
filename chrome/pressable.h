// A picture or label that acts on a click, made usable without a mouse: it is reached with Tab,
// shows a focus frame while the keyboard moves the focus, runs on Space or Enter as a left click
// does, and reads to a screen reader as a push button with a press action.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace pelorin::chrome {

class FocusFrame;

class Pressable : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;
    using DownLook = std::function<void(bool down)>;

    // Makes target pressable. press runs what a left click on it runs; showDown, when given, shows
    // the pressed look while Space is held, as a held mouse button does. The name read out is the
    // target's accessible name when it has one (see Name).
    static Pressable* Attach(QWidget* target, Action press, DownLook showDown = {});
    // The pressable behaviour of a widget, or nullptr.
    static Pressable* Of(const QObject* target);

    void Press();
    // What a screen reader reads: the accessible name when set; else the words of a label, or the
    // tool tip of a picture. The description is the tool tip when it is not already the name.
    QString Name() const;
    QString Description() const;
    bool FocusFrameShown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Pressable(QWidget* target, Action press, DownLook showDown);
    void setDown(bool down);

    QWidget* target_;
    Action press_;
    DownLook showDown_;
    FocusFrame* frame_;
    bool spaceHeld_ = false;
};

// A label whose changing text a screen reader should announce (a status line).
void MarkStatusLine(QWidget* label);
bool IsStatusLine(const QObject* widget);
// A label that shows a value (a date) is read as its caption followed by the value.
void MarkCaptionedValue(QWidget* label, const QString& caption);

// Installs the accessible interfaces of pressables and status lines; the first Attach or
// MarkStatusLine does it, so callers need not.
void InstallAccessibleFactory();

} // namespace pelorin::chrome
