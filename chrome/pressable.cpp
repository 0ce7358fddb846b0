#include "pressable.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include "style.h"

namespace pelorin::chrome {

// A thin frame over the target, drawn only while the keyboard has put the focus there, so the
// look of a window worked with the mouse never changes. Being a focus frame, it is not one of
// the objects a screen reader lists.
class FocusFrame : public QFocusFrame {
public:
    explicit FocusFrame(QWidget* target) : QFocusFrame(target)
    {
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(target->rect());
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QPen pen(kLightPink, 1, Qt::DotLine);
        pen.setCosmetic(true);
        p.setPen(pen);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        // A second, darker line keeps the frame visible on a light picture as well.
        p.setPen(QPen(kPurple, 1, Qt::DotLine));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
};

namespace {

bool keyboardFocus(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
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

const char* const kStatusProperty = "pelorinStatusLine";
const char* const kCaptionProperty = "pelorinCaption";

QString labelText(const QWidget* w)
{
    return w->property("text").toString();
}

// A label read as a status line, whose new text is announced; or a value read with its caption.
class LabelAccessible : public QAccessibleWidget {
public:
    LabelAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        const QString caption = widget()->property(kCaptionProperty).toString();
        const QString value = labelText(widget());
        if (caption.isEmpty()) return value;
        return value.isEmpty() ? caption : caption + QStringLiteral(": ") + value;
    }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType()) return nullptr;
    auto* w = static_cast<QWidget*>(object);
    if (Pressable::Of(w)) return new PressableAccessible(w);
    if (IsStatusLine(w)) return new LabelAccessible(w, QAccessible::StatusBar);
    if (w->property(kCaptionProperty).isValid()) return new LabelAccessible(w, QAccessible::StaticText);
    return nullptr;
}

// An interface made for the widget before it was marked (while it was being built) is dropped,
// so that the next query builds the right one.
template <class Interface> void refreshInterface(QWidget* w)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    if (iface && !dynamic_cast<Interface*>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
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
    : QObject(target), target_(target), press_(std::move(press)), showDown_(std::move(showDown)),
      frame_(new FocusFrame(target))
{
    setObjectName(QStringLiteral("pressable"));
    // Tab reaches it; a mouse click does not take the focus, so a click changes nothing of the look.
    target->setFocusPolicy(Qt::TabFocus);
    target->installEventFilter(this);
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
    refreshInterface<PressableAccessible>(target);
    return p;
}

Pressable* Pressable::Of(const QObject* target)
{
    if (!target) return nullptr;
    return target->findChild<Pressable*>(QStringLiteral("pressable"), Qt::FindDirectChildrenOnly);
}

void Pressable::Press()
{
    if (press_ && target_->isEnabled()) press_();
}

QString Pressable::Name() const
{
    if (!target_->accessibleName().isEmpty()) return target_->accessibleName();
    // A label that shows words is read by them; a picture by its tool tip.
    const QString text = target_->property("text").toString();
    return text.isEmpty() ? target_->toolTip() : text;
}

QString Pressable::Description() const
{
    if (!target_->accessibleDescription().isEmpty()) return target_->accessibleDescription();
    return Name() == target_->toolTip() ? QString() : target_->toolTip();
}

bool Pressable::FocusFrameShown() const
{
    return frame_->isVisible();
}

void Pressable::setDown(bool down)
{
    spaceHeld_ = down;
    if (showDown_) showDown_(down);
}

bool Pressable::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != target_) return false;
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
        frame_->setGeometry(target_->rect());
        frame_->setVisible(keyboardFocus(static_cast<QFocusEvent*>(event)->reason()) ||
                           (frame_->property("wasShown").toBool() &&
                            static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason));
        frame_->raise();
        break;
    case QEvent::FocusOut:
        // Leaving for another window keeps the frame for the return; anything else ends it.
        frame_->setProperty("wasShown",
                            static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason &&
                                frame_->isVisible());
        frame_->hide();
        if (spaceHeld_) setDown(false);
        break;
    case QEvent::Resize:
        frame_->setGeometry(target_->rect());
        break;
    default:
        break;
    }
    return false;
}

void MarkStatusLine(QWidget* label)
{
    InstallAccessibleFactory();
    label->setProperty(kStatusProperty, true);
    refreshInterface<LabelAccessible>(label);
}

void MarkCaptionedValue(QWidget* label, const QString& caption)
{
    InstallAccessibleFactory();
    label->setProperty(kCaptionProperty, caption);
    refreshInterface<LabelAccessible>(label);
}

bool IsStatusLine(const QObject* widget)
{
    return widget && widget->property(kStatusProperty).toBool();
}

} // namespace pelorin::chrome
