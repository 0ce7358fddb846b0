// The right-click menus of the ledger window. The described controls keep their look; the
// commands Pelorin adds beyond them live here, each with a window-wide keyboard shortcut that
// its menu entry shows.
#include "frm_main.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QTableView>

#include "style.h"

namespace pelorin::ledger {

namespace {

const QString kMenuStyle = QStringLiteral(
    "QMenu { background: white; color: rgb(90,0,90); border: 1px solid rgb(128,0,128); padding: 2px; }"
    "QMenu::item { padding: 4px 24px 4px 24px; }"
    "QMenu::item:selected { background: rgb(128,0,128); color: white; }"
    "QMenu::item:disabled { color: rgb(170,140,170); }"
    "QMenu::separator { height: 1px; background: rgb(215,190,215); margin: 3px 6px; }");

QMenu* contextMenu(QWidget* owner)
{
    auto* menu = new QMenu(owner);
    menu->setLayoutDirection(Qt::RightToLeft);
    menu->setFont(chrome::ArabicFont(9.75));
    menu->setStyleSheet(kMenuStyle);
    return menu;
}

// Pops the menu up where the owner was right-clicked (or where the menu key asked for it). A
// list gives that point in its viewport, below its column headers.
void showOn(QWidget* owner, QMenu* menu)
{
    owner->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* area = qobject_cast<QAbstractScrollArea*>(owner);
    QWidget* origin = area ? area->viewport() : owner;
    QObject::connect(owner, &QWidget::customContextMenuRequested, menu, [origin, menu](const QPoint& at) {
        if (!menu->isEmpty()) menu->popup(origin->mapToGlobal(at));
    });
}

} // namespace

QAction* FrmMain::addCommand(const QString& text, const QKeySequence& shortcut, std::function<void()> run,
                             char16_t arabicKey)
{
    auto* action = new QAction(text, this);
    // With only an Arabic layout on the keyboard, Ctrl and a letter key gives Ctrl and the Arabic
    // letter of that key: Qt finds no Latin letter for it in any layout. That works as well, with
    // Shift too (Qt then reads the key's unshifted letter).
    if (arabicKey != 0)
        action->setShortcuts({shortcut, QKeySequence(shortcut[0].keyboardModifiers() | Qt::Key(arabicKey))});
    else
        action->setShortcut(shortcut);
    // The shortcut works anywhere in the window, with or without the menu open.
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    addAction(action);
    return action;
}

void FrmMain::buildMenus()
{
    HelpMenu = contextMenu(this);
    HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
    ListMenu = contextMenu(this);
    ListMenu->setObjectName(QStringLiteral("ListMenu"));
    showOn(FrameHelp, HelpMenu);
    showOn(lvwRoom, ListMenu);
    buildDesk();
    buildFindCommands();
    buildImportCommand();
    buildReportCommands();
    buildBackupCommands();
}

} // namespace pelorin::ledger
