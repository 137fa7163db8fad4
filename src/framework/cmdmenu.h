#pragma once
// Menus and actions built from a plain description. Every item is a QAction carrying its
// command id; its status-bar help and tool tip come from the command text "help\ntip" that
// the program's string provider gives for the id.
//
//     std::vector<CMenuItem> menu = {
//         {"&File", {{32777, "Start &Ticker..."}, {}, {32839, "E&xit"}}},
//     };
// An item with id 0, no text and no items is a separator; an item with sub-items is a
// sub-menu.

#include "src/framework/fwdefs.h"

#include <QList>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QObject;
class QWidget;

struct CMenuItem {
    CMenuItem() = default; // a separator
    CMenuItem(UINT commandId, const QString& itemText) : id(commandId), text(itemText) {}
    CMenuItem(const QString& menuText, std::vector<CMenuItem> subItems)
        : text(menuText), items(std::move(subItems))
    {
    }
    CMenuItem(UINT commandId, const QString& itemText, std::vector<CMenuItem> subItems)
        : id(commandId), text(itemText), items(std::move(subItems))
    {
    }

    UINT id = 0;
    QString text;
    std::vector<CMenuItem> items;

    bool isSeparator() const { return id == 0 && text.isEmpty() && items.empty(); }
    bool isPopup() const { return !items.empty(); }
};

// The text source of command help: "status help\ntool tip" for an id, empty when unknown.
void SetCommandStringProvider(std::function<QString(UINT)> provider);
QString CommandString(UINT id);
QString CommandHelpText(UINT id); // the part before the line break
QString CommandTipText(UINT id);  // the part after it (empty when there is none)

// A new action for the command: text, command id, status tip and tool tip.
QAction* CreateCommandAction(UINT id, const QString& text, QObject* parent);
// The command id an action carries; 0 for an action that is not a command.
UINT CommandIdOf(const QAction* action);

// Evaluates the update rules of these actions (command actions only) along the route that
// starts at target.
void UpdateCommandActions(CCmdTarget* target, const QList<QAction*>& actions);

// A pop-up menu whose commands go to owner (a view's context menu starts at that view). Rules
// are evaluated along owner's route each time the menu is about to show. The menu belongs to
// parent.
QMenu* BuildCommandMenu(const std::vector<CMenuItem>& items, CCmdTarget* owner,
                        QWidget* parent = nullptr);
