#include "pressable.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFocusEvent>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "style.h"

namespace pelorin::chrome {

namespace {

const char* const kStatusProperty = "pelorinStatusLine";
const char* const kCaptionProperty = "pelorinCaption";
const char* const kPressableName = "pressable";
const char* const kFocusCueName = "focusCue";

// The frame drawn while the keyboard has the focus here: a light line with a dotted white one
// inside, plain to see on the purple windows and on the pictures alike.
void paintFocusFrame(QWidget* w)
{
    QPainter p(w);
    p.setPen(QPen(kLightPink, 1));
    p.drawRect(w->rect().adjusted(0, 0, -1, -1));
    p.setPen(QPen(kWhite, 1, Qt::DotLine));
    p.drawRect(w->rect().adjusted(1, 1, -2, -2));
}

// Over a worded label: takes the focus in the label's place (its focus proxy) and is the push
// button a screen reader meets; it paints nothing but the frame, and only while it is wanted.
class KeyTarget : public QWidget {
public:
    explicit KeyTarget(QWidget* label) : QWidget(label)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(label->rect());
        setFocusPolicy(Qt::TabFocus);
    }
    bool frameShown = false;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (frameShown) paintFocusFrame(this);
    }
};

// Whether the person is working with the keyboard: a key press says yes, a mouse press no. Focus
// moved by the program (a control disabled under it, a window returning) says nothing either way.
class KeyboardInUse : public QObject {
public:
    static KeyboardInUse& instance()
    {
        static auto* watch = [] {
            auto* w = new KeyboardInUse;
            QCoreApplication::instance()->installEventFilter(w);
            return w;
        }();
        return *watch;
    }
    bool active() const { return active_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const auto type = event->type();
        if (type == QEvent::KeyPress)
            set(true);
        else if (type == QEvent::MouseButtonPress || type == QEvent::TouchBegin)
            set(false);
        return false;
    }

private:
    KeyboardInUse() : QObject(QCoreApplication::instance()) {}
    void set(bool on);
    bool active_ = false;
};

// Over a control that takes the focus itself, shown while it has the focus and the keyboard is
// in use: the frame around a picture, or inside a push button (whose style sheet draws no
// focus of its own) a dotted line in the window's purple. Being a focus frame, it is not one of
// the objects a screen reader lists.
class FocusCue : public QFocusFrame {
public:
    enum Look { AroundPicture, InsideButton };
    FocusCue(QWidget* target, Look look) : QFocusFrame(target), look_(look)
    {
        setObjectName(QLatin1String(kFocusCueName));
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        target->installEventFilter(this);
        hide();
        KeyboardInUse::instance();
    }
    static FocusCue* Of(const QWidget* target)
    {
        return target ? target->findChild<FocusCue*>(QLatin1String(kFocusCueName), Qt::FindDirectChildrenOnly)
                      : nullptr;
    }
    void Update()
    {
        QWidget* target = parentWidget();
        const bool show = target->hasFocus() && KeyboardInUse::instance().active();
        setGeometry(target->rect());
        if (show) raise();
        setVisible(show);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const auto type = event->type();
        if (type == QEvent::FocusIn || type == QEvent::FocusOut || type == QEvent::Resize) Update();
        return false;
    }
    void paintEvent(QPaintEvent*) override
    {
        if (look_ == AroundPicture) return paintFocusFrame(this);
        QPainter p(this);
        p.setPen(QPen(kPurple, 1, Qt::DotLine));
        p.drawRect(rect().adjusted(3, 3, -4, -4));
    }

private:
    Look look_;
};

void KeyboardInUse::set(bool on)
{
    if (on == active_) return;
    active_ = on;
    // A mouse press takes the frame away at once.
    QWidget* focus = QApplication::focusWidget();
    if (FocusCue* cue = FocusCue::Of(focus))
        cue->Update();
    else if (Pressable* p = Pressable::Of(focus))
        p->UpdateFocusFrame();
}

class PressableAccessible : public QAccessibleWidget {
public:
    explicit PressableAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        const Pressable* p = Pressable::Of(widget());
        if (t == QAccessible::Name) return p ? p->Name() : QString();
        if (t == QAccessible::Description) return p ? p->Description() : QString();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // The press may open a modal window; run it after this call has been answered, or the
        // screen reader would wait on the reply until that window closes.
        QPointer<QWidget> w = widget();
        QTimer::singleShot(0, w, [w] {
            if (Pressable* p = Pressable::Of(w)) p->Press();
        });
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == pressAction()) return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }
};

// A label read as a status line, whose new text is announced; or a value read with its caption.
class LabelAccessible : public QAccessibleWidget {
public:
    LabelAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        const QString caption = widget()->property(kCaptionProperty).toString();
        const QString value = widget()->property("text").toString();
        if (caption.isEmpty()) return value;
        return value.isEmpty() ? caption : caption + QStringLiteral(": ") + value;
    }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType()) return nullptr;
    auto* w = static_cast<QWidget*>(object);
    if (Pressable* p = Pressable::Of(w); p && p->FocusTarget() == w) return new PressableAccessible(w);
    if (IsStatusLine(w)) return new LabelAccessible(w, QAccessible::StatusBar);
    if (w->property(kCaptionProperty).isValid()) return new LabelAccessible(w, QAccessible::StaticText);
    return nullptr;
}

// An interface made for the widget before it was marked (while it was being built) is dropped,
// so that the next query builds the right one.
void refreshInterface(QWidget* w, QAccessible::Role role)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    if (iface && iface->role() != role) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

bool isWordedLabel(const QWidget* w)
{
    const auto* label = qobject_cast<const QLabel*>(w);
    return label && label->pixmap().isNull() && !label->text().isEmpty();
}

} // namespace

void InstallAccessibleFactory()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    // Later factories are asked first, so this one is asked before the widgets' own.
    QAccessible::installFactory(factory);
}

Pressable::Pressable(QWidget* target, Action press, DownLook showDown)
    : QObject(target), target_(target), press_(std::move(press)), showDown_(std::move(showDown))
{
    setObjectName(QLatin1String(kPressableName));
    if (isWordedLabel(target)) {
        auto* key = new KeyTarget(target);
        key->setProperty(kPressableName, QVariant::fromValue<QObject*>(this));
        target->setFocusProxy(key);
        focusTarget_ = key;
        frame_ = key;
    } else {
        // Tab reaches it; a click does not take the focus, so a click changes nothing of the look.
        target->setFocusPolicy(Qt::TabFocus);
        focusTarget_ = target;
        frame_ = new FocusCue(target, FocusCue::AroundPicture);
    }
    target->installEventFilter(this);
    if (focusTarget_ != target) focusTarget_->installEventFilter(this);
    KeyboardInUse::instance();
}

Pressable* Pressable::Attach(QWidget* target, Action press, DownLook showDown)
{
    InstallAccessibleFactory();
    if (Pressable* existing = Of(target)) {
        existing->press_ = std::move(press);
        existing->showDown_ = std::move(showDown);
        return existing;
    }
    auto* p = new Pressable(target, std::move(press), std::move(showDown));
    refreshInterface(p->focusTarget_, QAccessible::Button);
    return p;
}

Pressable* Pressable::Of(const QObject* widget)
{
    if (!widget) return nullptr;
    if (auto* p = widget->findChild<Pressable*>(QLatin1String(kPressableName), Qt::FindDirectChildrenOnly))
        return p;
    return qobject_cast<Pressable*>(widget->property(kPressableName).value<QObject*>());
}

void Pressable::Press()
{
    if (press_ && target_->isEnabled() && target_->isVisible()) press_();
}

QString Pressable::Name() const
{
    if (!target_->accessibleName().isEmpty()) return target_->accessibleName();
    const QString text = target_->property("text").toString();
    // A tool tip of several lines names the control by its first; the others describe it.
    return text.isEmpty() ? target_->toolTip().section(QLatin1Char('\n'), 0, 0) : text;
}

QString Pressable::Description() const
{
    if (!target_->accessibleDescription().isEmpty()) return target_->accessibleDescription();
    const QString tip = target_->toolTip();
    if (Name() != tip.section(QLatin1Char('\n'), 0, 0)) return tip;
    return tip.section(QLatin1Char('\n'), 1);
}

bool Pressable::FocusFrameShown() const
{
    if (auto* key = dynamic_cast<KeyTarget*>(frame_)) return key->frameShown && key->isVisible();
    return frame_->isVisible();
}

void Pressable::UpdateFocusFrame()
{
    if (auto* cue = dynamic_cast<FocusCue*>(frame_)) return cue->Update();
    auto* key = static_cast<KeyTarget*>(frame_);
    key->frameShown = focusTarget_->hasFocus() && KeyboardInUse::instance().active();
    key->setGeometry(target_->rect());
    key->update();
}

void Pressable::setDown(bool down)
{
    spaceHeld_ = down;
    if (showDown_) showDown_(down);
}

bool Pressable::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == target_) {
        if (event->type() == QEvent::Resize) UpdateFocusFrame();
        if (focusTarget_ != target_) return false;
    } else if (watched != focusTarget_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->modifiers() & ~Qt::KeypadModifier) return false;
        if (k->key() == Qt::Key_Space) {
            if (!k->isAutoRepeat()) setDown(true);
            return true;
        }
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (!k->isAutoRepeat()) Press();
            return true;
        }
        return false;
    }
    case QEvent::KeyRelease: {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() != Qt::Key_Space) return false;
        if (!k->isAutoRepeat() && spaceHeld_) {
            // The released look is back before the action runs, as after a mouse click.
            setDown(false);
            Press();
        }
        return true;
    }
    case QEvent::FocusIn:
        UpdateFocusFrame();
        break;
    case QEvent::FocusOut:
        UpdateFocusFrame();
        if (spaceHeld_) setDown(false);
        break;
    default:
        break;
    }
    return false;
}

void ShowKeyboardFocus(QWidget* button)
{
    if (!FocusCue::Of(button)) new FocusCue(button, FocusCue::InsideButton);
}

bool KeyboardFocusShown(const QWidget* button)
{
    const FocusCue* cue = FocusCue::Of(button);
    return cue && cue->isVisible();
}

void MarkStatusLine(QWidget* label)
{
    InstallAccessibleFactory();
    label->setProperty(kStatusProperty, true);
    refreshInterface(label, QAccessible::StatusBar);
}

bool IsStatusLine(const QObject* widget)
{
    return widget && widget->property(kStatusProperty).toBool();
}

void MarkCaptionedValue(QWidget* label, const QString& caption)
{
    InstallAccessibleFactory();
    label->setProperty(kCaptionProperty, caption);
    refreshInterface(label, IsStatusLine(label) ? QAccessible::StatusBar : QAccessible::StaticText);
}

} // namespace pelorin::chrome
