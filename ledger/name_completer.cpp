#include "name_completer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QStandardItemModel>

#include <algorithm>

#include "style.h"

namespace pelorin::ledger {

namespace {

constexpr int kCompanionRole = Qt::UserRole + 1;

// The colours of the window's right-click menus.
const QString kListStyle =
    QStringLiteral("QListView { background: white; color: rgb(90,0,90); border: 1px solid rgb(128,0,128); }"
                   "QListView::item { padding: 1px 8px; }"
                   "QListView::item:hover { background: rgb(255,225,255); }"
                   "QListView::item:selected { background: rgb(128,0,128); color: white; }");

} // namespace

NameCompleter::NameCompleter(QLineEdit* box, const QString& listName)
    : QObject(box), box_(box), list_(new QListView(box->window())), offered_(new QStandardItemModel(this))
{
    list_->setObjectName(box->objectName() + QStringLiteral("Names"));
    list_->setModel(offered_);
    list_->setLayoutDirection(Qt::RightToLeft);
    list_->setFont(chrome::ArabicFont(9.75));
    list_->setStyleSheet(kListStyle);
    list_->setAccessibleName(listName);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setUniformItemSizes(true);
    list_->setMouseTracking(true);
    // The keyboard stays in the box, yet the list counts as focused: its chosen name is drawn
    // as chosen and announced to a screen reader as the arrows move.
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setFocusProxy(box);
    list_->hide();

    box->installEventFilter(this);
    connect(box, &QLineEdit::textEdited, this, &NameCompleter::Offer);
    // A text the program puts in the box (Clear, a row click) offers nothing.
    connect(box, &QLineEdit::textChanged, this, [this] {
        if (!box_->isModified()) close();
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != box_) close();
    });
    connect(list_, &QListView::clicked, this, &NameCompleter::take);
}

void NameCompleter::SetNames(find::NameIndex names)
{
    names_ = std::move(names);
}

void NameCompleter::Offer(const QString& typed)
{
    if (beforeOffer_) beforeOffer_();
    const std::vector<find::Suggestion> found = names_.Suggest(typed, kMostOffered);
    // Only the typed name itself: nothing to choose, and Enter must still run Add.
    if (found.empty() || (found.size() == 1 && found.front().name == typed.trimmed())) {
        close();
        return;
    }
    offered_->clear();
    for (const find::Suggestion& s : found) {
        auto* item = new QStandardItem(s.name);
        item->setData(s.companion, kCompanionRole);
        offered_->appendRow(item);
    }
    place();
}

void NameCompleter::place()
{
    // As wide as the longest name (within the window), never narrower than the box; its right
    // edge under the box's right edge, as the window reads from the right.
    QWidget* window = list_->parentWidget();
    const int frame = 2 * list_->frameWidth();
    int width = box_->width();
    for (int r = 0; r < offered_->rowCount(); ++r)
        width = std::max(width, list_->sizeHintForIndex(offered_->index(r, 0)).width() + frame + 8);
    width = std::min(width, window->width() - 8);
    const int height = offered_->rowCount() * list_->sizeHintForRow(0) + frame;
    const QPoint under = box_->mapTo(window, QPoint(box_->width(), box_->height()));
    list_->setGeometry(std::clamp(under.x() - width, 4, window->width() - width - 4), under.y(), width,
                       height);
    list_->raise();
    list_->show();
}

void NameCompleter::close()
{
    if (list_->isHidden()) return;
    list_->hide();
    offered_->clear();
}

QStringList NameCompleter::Offered() const
{
    QStringList out;
    if (list_->isHidden()) return out;
    for (int r = 0; r < offered_->rowCount(); ++r)
        out << offered_->item(r)->text();
    return out;
}

void NameCompleter::take(const QModelIndex& index)
{
    if (!index.isValid()) return;
    const QString name = index.data(Qt::DisplayRole).toString();
    const QString companion = index.data(kCompanionRole).toString();
    close();
    box_->setText(name);
    emit picked(name, companion);
}

void NameCompleter::choose(int step)
{
    const int n = offered_->rowCount();
    const QModelIndex current = list_->currentIndex();
    const int row = (current.isValid() ? current.row() : step > 0 ? -1 : n) + step;
    if (row < 0 || row >= n) {
        list_->clearSelection();
        list_->setCurrentIndex(QModelIndex());
        return;
    }
    list_->setCurrentIndex(offered_->index(row, 0));
}

bool NameCompleter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != box_ || list_->isHidden()) return QObject::eventFilter(watched, event);
    const auto type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = !(key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier));
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (!plain) return false;
        // Ahead of the window's shortcuts (the find bar's Escape) and its default button.
        if (type == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)
            choose(key->key() == Qt::Key_Up ? -1 : 1);
        else if (key->key() == Qt::Key_Escape)
            close();
        else
            // Nothing chosen: the list closes, the box keeps what was typed, and the next Enter
            // runs Add.
            list_->currentIndex().isValid() ? take(list_->currentIndex()) : close();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // Takes the chosen name, then on to the next control as Tab always goes.
        if (type == QEvent::KeyPress) take(list_->currentIndex());
        return false;
    default:
        return false;
    }
}

} // namespace pelorin::ledger
