#pragma once
// The navigation bar: a docked bar of the main frame with the branding logo at the top and a
// group bar below it. Its groups are the program's views, optionally every channel, and the
// user's own groups of favourite channels, which the user fills by dragging channels onto
// them. Activating an item opens or brings forward the window it stands for, or the channel
// window showing that channel. The user groups are kept in the settings store; the groups
// follow the directory's channel changes.
//
// The main frame makes the bar through its factory (CreateNavigationBar) and talks to it with
// WM_NAVBAR_SELECTVIEW and WM_NAVBAR_ACTIVATE; the bar opens windows and channels through
// MainFrameLink(). At the end of its creation the bar posts itself WM_NAVBAR_ACTIVATE: once
// the message loop runs, it activates its selected item and shows the main window.

#include "src/framework/cmdmenu.h"
#include "src/framework/wnd.h"
#include "src/navbar/groupbar.h"

#include <QColor>
#include <QDockWidget>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QKCoolButton;
class QMenu;

class CNavigationBar : public QDockWidget, public CWnd
{
    Q_OBJECT
public:
    // The bar belongs to the main frame (its parent); Create builds it.
    explicit CNavigationBar(QWidget* mainFrame = nullptr);
    // Stores the user groups and ends the directory subscription.
    ~CNavigationBar() override;

    // Logo, branding button, group bar, the groups, the remembered open group and item; then
    // posts itself WM_NAVBAR_ACTIVATE. FALSE when the bar could not be built.
    BOOL Create();

    // ---- groups and their persistence
    // Builds the views group, the all-channels group (when the settings ask for it) and the
    // stored user groups, or "Favorites" when none was ever stored.
    virtual void BuildGroups();
    // Appends the user groups stored under the key; FALSE when nothing was ever stored.
    virtual BOOL LoadGroups(const QString& keyPath);
    // Replaces what is stored under the key by the open group, the selected item and the
    // user groups.
    virtual void SaveGroups(const QString& keyPath);
    // Adds a channel's item (its name, its logo or the built-in picture) at the position; a
    // negative position sorts it in by name without regard to case, a position beyond the
    // end appends. Nothing happens for a channel the directory does not know.
    virtual void AddChannelItem(int group, uint32_t channelId, int position);

    CGroupBar* GetGroupBar() const { return m_groupBar; }
    QKCoolButton* GetBrandingButton() const { return m_branding; }
    const QPixmap& GetLogo() const { return m_logo; }
    const QColor& GetLogoBackgroundColor() const { return m_logoColour; }
    // The first group of a type (-1: none).
    int FindGroup(DWORD type) const;

    // ---- messages
    // WM_NAVBAR_SELECTVIEW: clears the selection, opens the views group and selects the
    // item of the view code; 1 when there is one.
    LRESULT OnSelectView(int viewCode);
    // WM_NAVBAR_ACTIVATE: activates the open group's selected item as a click does, then
    // shows the main window (when hidden) with the program's start-up show state.
    void OnActivate();
    // What pressing an item does: the window it stands for opens or comes forward.
    void ActivateItem(int group, int item);
    // Selects the views item of the main frame's active window.
    void ReselectActiveView();
    // The branding button: the "HomePageURL" address, else the main frame's home page.
    void OnBranding();
    // The registered drag and drop messages.
    LRESULT OnCanDrop(WPARAM kind, LPARAM count);
    LRESULT OnDropChannel(uint32_t channelId);

    // ---- context menus and the user groups
    // The context menu of an item of the all-channels or a user group (empty for another).
    std::vector<CMenuItem> ChannelMenuItems(int group, int item) const;
    // The group menu: New Group, Rename Group, Delete Group.
    std::vector<CMenuItem> GroupMenuItems() const;
    // What a right click on an item or a header (group -1: the empty area) does: remembers
    // the place for the menu's commands and shows the menu.
    void OnItemContextMenu(int item, const QPoint& globalPos);
    void OnGroupContextMenu(int group, const QPoint& globalPos);
    // Tests: answers a shown context menu in place of a person (0: nothing chosen).
    static void SetMenuTrackHook(std::function<UINT(QMenu& menu)> hook);

    // Appends a user group with the first free title and starts editing it.
    void NewGroup();
    // The first title not taken by a user group (other than the one given): the base itself,
    // else "base (2)", "base (3)", ...
    QString FreeGroupTitle(const QString& base, int exceptGroup = -1) const;
    // A user group's new title from the editor. A title that is empty, holds a backslash or
    // is another user group's (letter case aside) is refused with a message and the old one
    // kept. TRUE when the title was taken.
    BOOL RenameUserGroup(int group, const QString& text);

private:
    void registerMessages();
    void registerCommands();
    void loadLogo();
    void layoutPanel();
    // Reads a channel's item from the directory; false for a channel it does not know.
    static bool channelItem(uint32_t channelId, CNavItem& item);
    void addViewItems(int group);
    void openPublishingWizard();
    void trackMenu(const std::vector<CMenuItem>& items, const QPoint& globalPos);
    // The channel of the item the context menu is for (0: none left).
    uint32_t contextChannel() const;
    // Stores the groups after the user changed them, so that a crash loses nothing.
    void saveLayout();
    void onChannelAdded(uint32_t channelId);
    void onChannelDeleted(uint32_t channelId);
    void onChannelAttributeChanged(uint32_t channelId);

    friend class CNavigationBarPanel;
    QWidget* m_panel = nullptr;
    CGroupBar* m_groupBar = nullptr;
    QKCoolButton* m_branding = nullptr;
    QPixmap m_logo;
    QColor m_logoColour;
    bool m_created = false;
    bool m_subscribed = false;
    bool m_firstStart = false; // no layout was stored
    // While a channel item is activated, the main frame's view selection does not move the
    // bar off the user's group.
    bool m_keepSelection = false;
    int m_contextGroup = -1;
    int m_contextItem = -1;
    uint32_t m_contextChannel = 0;
};

// Makes and creates the main frame's navigation bar; null when it could not be built.
QDockWidget* CreateNavigationBar(QWidget* mainFrame);
