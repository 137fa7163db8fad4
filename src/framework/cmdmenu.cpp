#include "src/framework/cmdmenu.h"

#include "src/framework/cmdtarget.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QVariant>

namespace
{
std::function<QString(UINT)>& provider()
{
    static std::function<QString(UINT)> instance;
    return instance;
}

const char* const kCommandIdProperty = "commandId";

void addItems(QMenu* menu, const std::vector<CMenuItem>& items, CCmdTarget* owner)
{
    for (const CMenuItem& item : items) {
        if (item.isSeparator()) {
            menu->addSeparator();
        } else if (item.isPopup()) {
            QMenu* sub = menu->addMenu(item.text);
            addItems(sub, item.items, owner);
        } else {
            QAction* action = CreateCommandAction(item.id, item.text, menu);
            const UINT id = item.id;
            QObject::connect(action, &QAction::triggered, menu,
                             [owner, id] { owner->ExecuteCommand(id); });
            menu->addAction(action);
        }
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [menu, owner] { UpdateCommandActions(owner, menu->actions()); });
}
} // namespace

void SetCommandStringProvider(std::function<QString(UINT)> function)
{
    provider() = std::move(function);
}

QString CommandString(UINT id)
{
    return provider() ? provider()(id) : QString();
}

QString CommandHelpText(UINT id)
{
    const QString text = CommandString(id);
    const int cut = text.indexOf(QLatin1Char('\n'));
    return cut < 0 ? text : text.left(cut);
}

QString CommandTipText(UINT id)
{
    const QString text = CommandString(id);
    const int cut = text.indexOf(QLatin1Char('\n'));
    return cut < 0 ? QString() : text.mid(cut + 1);
}

QAction* CreateCommandAction(UINT id, const QString& text, QObject* parent)
{
    auto* action = new QAction(text, parent);
    action->setData(QVariant::fromValue<uint>(id));
    action->setProperty(kCommandIdProperty, QVariant::fromValue<uint>(id));
    const QString help = CommandHelpText(id);
    if (!help.isEmpty())
        action->setStatusTip(help);
    const QString tip = CommandTipText(id);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    return action;
}

UINT CommandIdOf(const QAction* action)
{
    if (!action)
        return 0;
    return action->property(kCommandIdProperty).toUInt();
}

void UpdateCommandActions(CCmdTarget* target, const QList<QAction*>& actions)
{
    if (!target)
        return;
    const std::vector<CCmdTarget*> route = target->CommandRoute();
    for (QAction* action : actions) {
        const UINT id = CommandIdOf(action);
        if (id == 0 || action->isSeparator())
            continue;
        CCmdUI ui(id, action);
        RouteUpdate(route, &ui);
    }
}

QMenu* BuildCommandMenu(const std::vector<CMenuItem>& items, CCmdTarget* owner, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    addItems(menu, items, owner);
    return menu;
}
