#include "src/framework/cmdtarget.h"

#include "src/framework/winapp.h"

#include <QAction>
#include <QActionGroup>

namespace
{
const char* const kRadioGroupProperty = "rhRadioGroup";
}

// ---------------------------------------------------------------- CCmdUI

CCmdUI::CCmdUI(UINT id, QAction* action) : m_nID(id), m_action(action) {}

void CCmdUI::Enable(BOOL on)
{
    m_enableChanged = true;
    m_enabled = on != 0;
    if (m_action)
        m_action->setEnabled(m_enabled);
}

void CCmdUI::SetCheck(int check)
{
    m_checkChanged = true;
    m_check = check;
    m_radio = false;
    if (!m_action)
        return;
    // An unchecked item shows no box at all, as a plain command does.
    if (QActionGroup* group = m_action->actionGroup();
        group && group->property(kRadioGroupProperty).toBool())
        m_action->setActionGroup(nullptr);
    if (check != 0) {
        m_action->setCheckable(true);
        m_action->setChecked(true);
    } else {
        m_action->setChecked(false);
        m_action->setCheckable(false);
    }
}

void CCmdUI::SetRadio(BOOL on)
{
    m_checkChanged = true;
    m_check = on ? 1 : 0;
    m_radio = true;
    if (!m_action)
        return;
    // A checkable action in an exclusive group is drawn with a round mark. Each item gets a
    // group of its own so that Qt never unchecks other items behind the rule's back.
    QActionGroup* group = m_action->actionGroup();
    if (!group || !group->property(kRadioGroupProperty).toBool()) {
        group = new QActionGroup(m_action);
        group->setProperty(kRadioGroupProperty, true);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        m_action->setActionGroup(group);
    }
    if (on) {
        m_action->setCheckable(true);
        m_action->setChecked(true);
    } else {
        m_action->setChecked(false);
        m_action->setCheckable(false);
    }
}

void CCmdUI::SetText(const QString& text)
{
    m_textChanged = true;
    m_text = text;
    if (m_action)
        m_action->setText(text);
}

// ---------------------------------------------------------------- CCmdTarget

CCmdTarget::~CCmdTarget() = default;

void CCmdTarget::onCommand(UINT id, CommandHandler handler)
{
    m_commands[id] = std::move(handler);
}

void CCmdTarget::onCommandRange(UINT first, UINT last, RangeHandler handler)
{
    m_commandRanges.push_back({Range{first, last}, std::move(handler)});
}

void CCmdTarget::onUpdate(UINT id, UpdateHandler rule)
{
    m_updates[id] = std::move(rule);
}

void CCmdTarget::onUpdateRange(UINT first, UINT last, UpdateHandler rule)
{
    m_updateRanges.push_back({Range{first, last}, std::move(rule)});
}

void CCmdTarget::removeCommand(UINT id)
{
    m_commands.erase(id);
    m_updates.erase(id);
}

bool CCmdTarget::HasCommandHandler(UINT id) const
{
    if (m_commands.count(id))
        return true;
    for (const auto& entry : m_commandRanges)
        if (id >= entry.first.first && id <= entry.first.last)
            return true;
    return false;
}

bool CCmdTarget::HasUpdateHandler(UINT id) const
{
    if (m_updates.count(id))
        return true;
    for (const auto& entry : m_updateRanges)
        if (id >= entry.first.first && id <= entry.first.last)
            return true;
    return false;
}

bool CCmdTarget::DispatchCommand(UINT id)
{
    auto it = m_commands.find(id);
    if (it != m_commands.end()) {
        // Copy: the handler may replace itself or destroy this target.
        CommandHandler handler = it->second;
        if (handler)
            handler();
        return true;
    }
    for (auto range = m_commandRanges.rbegin(); range != m_commandRanges.rend(); ++range) {
        if (id >= range->first.first && id <= range->first.last) {
            RangeHandler handler = range->second;
            if (handler)
                handler(id);
            return true;
        }
    }
    return false;
}

bool CCmdTarget::DispatchUpdate(CCmdUI* ui)
{
    const UINT id = ui->m_nID;
    auto it = m_updates.find(id);
    if (it != m_updates.end()) {
        UpdateHandler rule = it->second;
        if (rule)
            rule(ui);
        return true;
    }
    for (auto range = m_updateRanges.rbegin(); range != m_updateRanges.rend(); ++range) {
        if (id >= range->first.first && id <= range->first.last) {
            UpdateHandler rule = range->second;
            if (rule)
                rule(ui);
            return true;
        }
    }
    return false;
}

std::vector<CCmdTarget*> CCmdTarget::CommandRoute()
{
    std::vector<CCmdTarget*> route{this};
    CWinApp* app = AfxGetApp();
    if (app && static_cast<CCmdTarget*>(app) != this)
        route.push_back(app);
    return route;
}

BOOL CCmdTarget::ExecuteCommand(UINT id)
{
    return RouteCommand(CommandRoute(), id);
}

void CCmdTarget::UpdateCmdUI(CCmdUI* ui)
{
    RouteUpdate(CommandRoute(), ui);
}

bool CCmdTarget::IsCommandEnabled(UINT id)
{
    CCmdUI probe(id);
    UpdateCmdUI(&probe);
    return !probe.enableChanged() || probe.isEnabled();
}

void RouteUpdate(const std::vector<CCmdTarget*>& route, CCmdUI* ui)
{
    for (CCmdTarget* target : route) {
        if (target && target->HasUpdateHandler(ui->m_nID)) {
            target->DispatchUpdate(ui);
            return;
        }
    }
    bool handled = false;
    for (CCmdTarget* target : route)
        if (target && target->HasCommandHandler(ui->m_nID))
            handled = true;
    ui->Enable(handled);
}

BOOL RouteCommand(const std::vector<CCmdTarget*>& route, UINT id)
{
    // A command that became disabled since its item was last updated does not run.
    CCmdUI probe(id);
    RouteUpdate(route, &probe);
    if (probe.enableChanged() && !probe.isEnabled())
        return 0;
    for (CCmdTarget* target : route)
        if (target && target->DispatchCommand(id))
            return 1;
    return 0;
}
