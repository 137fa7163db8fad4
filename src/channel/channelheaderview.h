#pragma once
// The strip across the top of the channel window: the chosen channel's (or category's) name,
// when the channel was last updated, the engine's status text for it and its logo. Clicking
// the name drops down a menu of every channel, by category; right-clicking it offers the
// channel commands. It keeps the main frame's secure indicator in step with the channel. In
// the alerts window it shows the fixed alerts heading instead.

#include "src/shared/headerview.h"

#include <QPoint>
#include <cstdint>
#include <functional>
#include <vector>

class CChannelDoc;
class QMenu;

class CChannelHeaderView : public CBaseHeaderView
{
    Q_OBJECT
public:
    explicit CChannelHeaderView(QWidget* parent = nullptr);
    ~CChannelHeaderView() override;

    int OnCreate() override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    // Called by the frame when the window became (true) or stopped being the active one.
    virtual void OnFrameActivate(BOOL active);

    CChannelDoc* GetChannelDoc() const;
    uint32_t GetShownChannelId() const { return m_shownChannelId; }

    // Shows the channel menu and returns the chosen channel id, or 0. flags -1: the default
    // tracking; x or y -1: the cursor position.
    uint32_t PickChannelFromMenu(QWidget* owner, int flags = -1, int x = -1, int y = -1);

    // The channel menu's contents: one sub-menu per category (sorted), one item per channel,
    // "&" doubled in every text; commands[n] is the channel of command number n (index 0
    // unused). Items that start a new column carry the property "columnBreak". Returns false
    // without the directory or categories.
    static bool BuildChannelMenu(QMenu& menu, std::vector<uint32_t>& commands, int itemsPerColumn);
    // How many menu items fit one above the other on the screen.
    static int MenuItemsPerColumn();

    // The context menu's items for the shown channel (empty when none is shown).
    std::vector<CMenuItem> ContextMenuItems() const;

    // Test hooks: the secure indicator calls and the menu tracking (answers the command
    // number chosen, 0 to dismiss).
    static void SetSecureIndicatorHook(std::function<void(BOOL)> hook);
    static void SetMenuTrackHook(std::function<int(QMenu& menu)> hook);
    static void SetItemsPerColumnHook(std::function<int()> hook);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FullUpdate();
    void StatusUpdate();
    QString StatusText() const;
    void OnTitleClicked();
    void RegisterCommands();
    void ShowSecureIndicator(BOOL secure);
    bool IsShownChannelSecure() const;

    uint32_t m_shownChannelId = 0;
};
