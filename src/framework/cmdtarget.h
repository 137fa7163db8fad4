#pragma once
// Command handling. A command is a number (UINT). Each window, document and the application
// is a CCmdTarget that may register a handler and an update rule per command id:
//
//     onCommand(ID_FILE_EXIT, [this] { close(); });
//     onUpdate(ID_VIEW_TOOLBAR, [this](CCmdUI* ui) { ui->SetCheck(toolbarShown()); });
//
// A command travels a route of targets (the active view, its document, its child frame, the
// main frame, the application); the first target with a handler runs it. The update rule is
// looked up along the same route; when no target has a rule, the command is enabled when some
// target handles it and disabled otherwise.

#include "src/framework/fwdefs.h"

#include <QString>
#include <functional>
#include <map>
#include <vector>

class QAction;

// What an update rule says about one command's user-interface item. Applied to a QAction
// when one is given; the recorded answers can be read back either way.
class CCmdUI
{
public:
    explicit CCmdUI(UINT id, QAction* action = nullptr);
    virtual ~CCmdUI() = default;

    UINT m_nID;

    virtual void Enable(BOOL on = 1);
    // 0 clears the check mark, 1 sets it, 2 (indeterminate) counts as set.
    virtual void SetCheck(int check = 1);
    // A round radio mark instead of a check mark.
    virtual void SetRadio(BOOL on = 1);
    virtual void SetText(const QString& text);

    QAction* action() const { return m_action; }
    bool enableChanged() const { return m_enableChanged; }
    bool isEnabled() const { return m_enabled; }
    bool checkChanged() const { return m_checkChanged; }
    int checkState() const { return m_check; }
    bool isRadio() const { return m_radio; }
    bool textChanged() const { return m_textChanged; }
    const QString& text() const { return m_text; }

private:
    QAction* m_action;
    bool m_enableChanged = false;
    bool m_enabled = true;
    bool m_checkChanged = false;
    int m_check = 0;
    bool m_radio = false;
    bool m_textChanged = false;
    QString m_text;
};

class CCmdTarget
{
public:
    using CommandHandler = std::function<void()>;
    using RangeHandler = std::function<void(UINT)>;
    using UpdateHandler = std::function<void(CCmdUI*)>;

    CCmdTarget() = default;
    virtual ~CCmdTarget();
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Registration; a later registration for the same id replaces the earlier one, so a
    // derived class can take over a command its base handles. Single ids win over ranges.
    void onCommand(UINT id, CommandHandler handler);
    void onCommandRange(UINT first, UINT last, RangeHandler handler);
    void onUpdate(UINT id, UpdateHandler rule);
    void onUpdateRange(UINT first, UINT last, UpdateHandler rule);
    void removeCommand(UINT id); // the handler and the rule of a single id

    // This target alone: whether it has a handler, runs it, runs its rule.
    virtual bool HasCommandHandler(UINT id) const;
    virtual bool HasUpdateHandler(UINT id) const;
    virtual bool DispatchCommand(UINT id);
    virtual bool DispatchUpdate(CCmdUI* ui);

    // The targets a command starting here visits, in order. The default is this target and
    // the application; views, frames and documents give their longer routes.
    virtual std::vector<CCmdTarget*> CommandRoute();

    // Runs the command along the route when its update rule leaves it enabled. Returns true
    // when a handler ran.
    BOOL ExecuteCommand(UINT id);
    // Evaluates the command's rule along the route and applies it to ui's action.
    void UpdateCmdUI(CCmdUI* ui);
    // The enable state the route gives the command.
    bool IsCommandEnabled(UINT id);

private:
    struct Range {
        UINT first;
        UINT last;
    };
    std::map<UINT, CommandHandler> m_commands;
    std::vector<std::pair<Range, RangeHandler>> m_commandRanges;
    std::map<UINT, UpdateHandler> m_updates;
    std::vector<std::pair<Range, UpdateHandler>> m_updateRanges;
};

// Runs a command along an explicit route; true when a handler ran. The enable check is done
// first (a disabled command does not run).
BOOL RouteCommand(const std::vector<CCmdTarget*>& route, UINT id);
// Evaluates the rule along an explicit route and applies it.
void RouteUpdate(const std::vector<CCmdTarget*>& route, CCmdUI* ui);
