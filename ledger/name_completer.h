// A list under an entry box offering the names the ledger already holds as the owner types:
// the arrow keys choose one, Enter or Tab takes it (Tab then moves on as always), Escape closes
// the list and a click takes the clicked name. The list lies over the window, not in a window of
// its own, and the keyboard stays in the box; while the list is closed the box behaves as it
// always did, so Enter there still runs Add.
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

#include "name_index.h"

class QLineEdit;
class QListView;
class QModelIndex;
class QStandardItemModel;

namespace pelorin::ledger {

class NameCompleter : public QObject {
    Q_OBJECT
public:
    // The list is read to a screen reader under the given name.
    NameCompleter(QLineEdit* box, const QString& listName);

    // The names to offer from now on.
    void SetNames(find::NameIndex names);
    // Run before names are looked for: a chance to bring them up to date.
    void BeforeOffer(std::function<void()> run) { beforeOffer_ = std::move(run); }
    // Offers the names holding the typed text; with none beyond the text itself, the list closes.
    void Offer(const QString& typed);
    // The names the list shows now, in order (empty while it is closed).
    QStringList Offered() const;
    QListView* List() const { return list_; }

    static constexpr int kMostOffered = 10;

signals:
    // A name was taken into the box, with the value that always came with it (or empty).
    void picked(const QString& name, const QString& companion);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void take(const QModelIndex& index);
    // Moves the choice by step; past either end it goes back to none, the text as typed.
    void choose(int step);
    void place();
    void close();

    QLineEdit* box_;
    QListView* list_;
    QStandardItemModel* offered_;
    find::NameIndex names_;
    std::function<void()> beforeOffer_;
};

} // namespace pelorin::ledger
