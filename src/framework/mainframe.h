#pragma once
// The main frame: a QMainWindow whose central widget is the MDI area of the child frames,
// with a menu bar built from a description, a toolbar, a status bar with panes by id and
// dockable bars. Its command route starts at the active child frame.

#include "src/framework/cmdmenu.h"
#include "src/framework/statusbar.h"
#include "src/framework/wnd.h"

#include <QByteArray>
#include <QColor>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <map>

class QDockWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

// A window's normal (restored) rectangle and how it is shown (SW_SHOWNORMAL,
// SW_SHOWMINIMIZED or SW_SHOWMAXIMIZED).
struct WINDOWPLACEMENT {
    int showCmd = SW_SHOWNORMAL;
    QRect rcNormalPosition;
};
BOOL GetWindowPlacement(const QWidget* window, WINDOWPLACEMENT* placement);
// Gives the window its normal rectangle (when valid) and shows it with the show command.
BOOL SetWindowPlacement(QWidget* window, const WINDOWPLACEMENT& placement);
// Shows a widget with a show command: SW_HIDE, SW_SHOWNORMAL/SW_RESTORE, SW_SHOWMINIMIZED/
// SW_MINIMIZE, SW_SHOWMAXIMIZED, SW_SHOW (keeps the current state); SW_SHOWDEFAULT counts
// as SW_SHOWNORMAL.
void ShowWidget(QWidget* window, int nCmdShow);

class CMDIFrameWnd : public QMainWindow, public CWnd
{
    Q_OBJECT
public:
    explicit CMDIFrameWnd(const QString& className = QStringLiteral("CMDIFrameWnd"),
                          QWidget* parent = nullptr);
    ~CMDIFrameWnd() override;

    // ---- child frames
    QMdiArea* MDIClient() const { return m_mdiArea; }
    // The active child frame; null when there is none.
    CMDIChildWnd* MDIGetActive() const;
    void MDIActivate(CMDIChildWnd* child);
    std::vector<CMDIChildWnd*> GetChildFrames() const; // in creation order
    // The active child frame's active view and document; null when there is none.
    CView* GetActiveView() const;
    CDocument* GetActiveDocument() const;

    // ---- menus and commands
    // Builds the menu bar from the description; items are shared command actions.
    void LoadMenuBar(const std::vector<CMenuItem>& menus);
    // The one action of a command id (made on first use); menu items and the toolbar button
    // of the same id share it.
    QAction* GetCommandAction(UINT id);
    QAction* FindCommandAction(UINT id) const; // null when there is none
    // Takes the command's item out of every menu of the menu bar. FALSE when there was none.
    BOOL DeleteMenuCommand(UINT id);
    // Top-level menu by position (null for a bad index).
    QMenu* GetSubMenu(int index) const;
    // Evaluates the rules of every command item of the menu (done when it is about to show).
    void UpdateMenuCmdUI(QMenu* menu);
    // Evaluates the rules of the toolbar's buttons and the key-state panes (done while idle).
    virtual void OnIdleUpdateCmdUI();

    // ---- toolbar
    // Creates the toolbar (id AFX_IDW_TOOLBAR, docked at the top) from a list of command ids
    // in which ID_SEPARATOR stands for a separator. The n-th button (separators not counted)
    // gets the n-th 16x15 cell of the strip picture; pixels of the transparent colour become
    // transparent (an invalid colour keeps the picture as it is). Returns FALSE for an empty
    // list or when called twice.
    BOOL CreateToolBar(const std::vector<UINT>& buttons, const QPixmap& strip,
                       const QColor& transparent = QColor(192, 192, 192));
    QToolBar* GetToolBar() const { return m_toolBar; }

    // ---- status bar
    // Creates the status bar (id AFX_IDW_STATUS_BAR) with the panes.
    BOOL CreateStatusBar(const std::vector<UINT>& indicators);
    CStatusBar* GetStatusBar() const { return m_statusBar; }
    // Pane 0's text; nothing when there is no status bar.
    void SetMessageText(const QString& text);

    // ---- control bars by id (toolbar, status bar and dockable bars)
    // Docks a bar (e.g. the navigation bar) at one of the allowed sides with a width; the bar
    // gets an object name from its id when it has none (bar layouts are saved by name).
    BOOL AddDockBar(UINT id, QDockWidget* bar, Qt::DockWidgetAreas allowed, Qt::DockWidgetArea area,
                    int width = -1);
    QWidget* GetControlBar(UINT id) const;
    // Shows or hides a bar. The change is made at once; delay only says that the caller does
    // not need the new layout before the next event loop pass (Qt lays out lazily anyway).
    void ShowControlBar(QWidget* bar, BOOL show, BOOL delay);
    // Whether the bar is shown (or will be when the main window shows).
    static bool IsBarVisible(const QWidget* bar);

    // ---- bar layout
    // The bar layout (toolbar, dock bars and status bar visibility, docking places and sizes)
    // as bytes, and back. Restore answers FALSE and changes nothing for damaged data.
    QByteArray SaveBarStateBytes() const;
    BOOL RestoreBarStateBytes(const QByteArray& state);
    // The same through the application's profile: a binary value named profileName (e.g.
    // "Bar State") under the application's settings key. FALSE without an application
    // object, when the value is absent or damaged, or when it cannot be written.
    BOOL SaveBarState(const QString& profileName) const;
    BOOL LoadBarState(const QString& profileName);

    // ---- closing
    // What a close request does (the title bar's close button, WM_CLOSE): the default calls
    // DestroyWindow.
    virtual void OnClose();
    // Runs before the main frame goes (its child frames are gone by then).
    virtual void OnDestroy() {}
    // Destroys every child frame, calls OnDestroy, hides the window and, when it is the
    // application's main window, ends the application's message loop. The object is deleted
    // later when m_bAutoDelete is set.
    void DestroyWindow();
    bool m_bAutoDelete = true;

    // The active child's route followed by this frame and the application; without an
    // active child, this frame and the application.
    std::vector<CCmdTarget*> CommandRoute() override;

    // WM_CLOSE runs OnClose; the rest as CWnd.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The child frame that became active (null: none); tells the frames.
    virtual void OnChildActivated(CMDIChildWnd* activated, CMDIChildWnd* deactivated);

private:
    void onSubWindowActivated(QMdiSubWindow* window);
    void addMenuItems(QMenu* menu, const std::vector<CMenuItem>& items);
    friend class CMDIChildWnd;
    void childFrameCreated(CMDIChildWnd* child);
    void childFrameDestroyed(CMDIChildWnd* child);

    QMdiArea* m_mdiArea = nullptr;
    QToolBar* m_toolBar = nullptr;
    CStatusBar* m_statusBar = nullptr;
    std::map<UINT, QAction*> m_actions;
    std::map<UINT, QPointer<QWidget>> m_bars;
    std::vector<CMDIChildWnd*> m_children;
    QPointer<CMDIChildWnd> m_activeChild;
    bool m_destroyed = false;
};
