// A picture or label that acts on a click, made usable without a mouse: it is reached with Tab,
// shows a focus frame while it has the focus and the keyboard is in use, runs on Space or Enter
// as a left click does, and reads to a screen reader as a push button with a press action.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace pelorin::chrome {

class Pressable : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;
    using DownLook = std::function<void(bool down)>;

    // Makes target pressable. press runs what a left click on it runs; showDown, when given, shows
    // the pressed look while Space is held, as a held mouse button does.
    static Pressable* Attach(QWidget* target, Action press, DownLook showDown = {});
    // The pressable behaviour of a widget (the target or the control that takes its focus).
    static Pressable* Of(const QObject* widget);

    void Press();
    // What a screen reader reads: the accessible name when set; else the words of a label, or the
    // tool tip of a picture (its first line when it has several). The description is the rest of
    // the tool tip, or all of it when the name is something else.
    QString Name() const;
    QString Description() const;
    // The control that takes the keyboard focus: the target itself, or for a label that shows
    // words, a control laid over it (a worded label that takes the focus lays its words out for
    // editing, which moves them).
    QWidget* FocusTarget() const { return focusTarget_; }
    bool FocusFrameShown() const;
    // Shows the focus frame while the focus is here and the keyboard is in use.
    void UpdateFocusFrame();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Pressable(QWidget* target, Action press, DownLook showDown);
    void setDown(bool down);

    QWidget* target_;
    QWidget* focusTarget_;
    QWidget* frame_;
    Action press_;
    DownLook showDown_;
    bool spaceHeld_ = false;
};

// A push button of the windows' style shows its focus, a dotted line inside its border, while
// the keyboard is in use.
void ShowKeyboardFocus(QWidget* button);
bool KeyboardFocusShown(const QWidget* button);

// A label whose changing text a screen reader should announce (a status line).
void MarkStatusLine(QWidget* label);
bool IsStatusLine(const QObject* widget);
// A label that shows a value (a date) is read as its caption followed by the value.
void MarkCaptionedValue(QWidget* label, const QString& caption);

// Installs the accessible interfaces of pressables and marked labels; the first Attach or Mark
// does it, so callers need not.
void InstallAccessibleFactory();

} // namespace pelorin::chrome
