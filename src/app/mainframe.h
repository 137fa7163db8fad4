#pragma once
// The program's one top-level window: the multi-document frame with the main menu, toolbar,
// status bar and the dock area of the navigation bar. It restores and saves its placement
// and bar layout, honours the bar locks of the settings store, shows the engine's status
// texts, follows whether the engine plays an animation, owns the engine notification window
// and offers the other windows a few program-wide services.

#include "src/framework/mainframe.h"
#include "src/platform/wintypes.h"

#include <QPixmap>
#include <QRect>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>

class CDocument;
class CDocTemplate;
class CVTNotificationWindow;
class QDockWidget;

// ---- program-wide values the main frame keeps (one of each in the program)

// The engine's workgroup restriction mask (VTRESTRICT_* bits); read at creation and again
// when the engine says the restrictions changed.
DWORD GetWorkgroupRestrictions();
void SetWorkgroupRestrictions(DWORD mask);
// The request that the channel directory reads the directory again. Raised from any thread
// (notification 30, the directory's engine callback); the directory list takes it.
void RaiseDirectoryReloadRequest();
// Answers whether a request was raised and clears it.
bool TakeDirectoryReloadRequest();
bool IsDirectoryReloadRequested();
// Whether the sibling programs lie beside the program file (worked out at creation).
bool IsTickerPresent();
bool IsTitlestripPresent();
bool IsScreenSaverPresent();

// Posts the main frame WM_SHOW_STATUS_TEXT with a heap copy of the text (a new QString that
// the frame deletes). Returns 0, and frees the copy, when the frame is gone.
BOOL PostStatusText(HWND frame, const QString& text);

// Creates the program's main frame (hidden); null when its creation failed.
class CMDIFrameWnd;
CMDIFrameWnd* CreateMainFrameWindow();

// Tests: the program file beside which the sibling programs are looked for (empty: the real
// one).
void SetProgramFilePathForTests(const QString& path);
// The path of a sibling program: the program file's name replaced by the sibling's.
QString SiblingProgramPath(const char* programName);

// Whether the text names a local file: "file://" (optionally after a double quote), a drive
// path ("c:\...", optionally quoted) or an absolute path of this system.
bool IsLocalFileLocation(const QString& text);

class CMainFrame : public CMDIFrameWnd
{
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // The live main frame (null when none exists).
    static CMainFrame* instance();

    // Creation parameters: caption style, window class and placement from the settings.
    // Fills createShowCommand() and createRect(); answers 1.
    virtual BOOL PreCreateWindow();
    // Creates the frame's bars, registers with the engine and reads its state. Answers 0 on
    // success, -1 when a bar could not be created.
    virtual int OnCreate();
    // PreCreateWindow and OnCreate together, as the application creates the frame; FALSE
    // when creation failed. The window stays hidden: ShowMainWindow shows it.
    BOOL LoadFrame();
    // Shows the window with the show command worked out at creation.
    void ShowMainWindow();

    int createShowCommand() const { return m_createShowCommand; }
    const QRect& createRect() const { return m_createRect; }
    bool placementRestored() const { return m_placementRestored; }

    // ---- services for the other windows
    // The secure (163) or plain (25535) picture in the status bar's picture pane.
    virtual void ShowSecureIndicator(BOOL secure);
    // Pane 0's text, repainted at once.
    virtual void SetStatusText(const QString& text);
    // Shows a story in the active window's browser pane, or has the engine play it.
    virtual BOOL ShowStory(uint32_t channelId, uint32_t storyNumber);
    // Shows an address in the active window's browser pane, else outside the program.
    virtual BOOL ShowURL(const QString& url);

    // The browser pane's part of ShowStory and ShowURL: given the active window's document
    // that has a browser pane (a view of class "CBrowserView"), shows the address there
    // (the document's views get the show-URL hint). Installed by the browser pane's code.
    using BrowserNavigator = std::function<void(CDocument* document, const QString& url)>;
    static void SetBrowserNavigator(BrowserNavigator navigator);
    // The active child frame's active document when one of its views is a browser pane.
    CDocument* GetActiveBrowserDocument() const;

    // The navigation bar: the dockable bar is made by its own code through this factory when
    // the frame is created; without one the dock area stays empty.
    using NavigationBarFactory = std::function<QDockWidget*(CMainFrame* frame)>;
    static void SetNavigationBarFactory(NavigationBarFactory factory);
    QDockWidget* GetNavigationBar() const;

    // ---- state
    BOOL IsAnimationPlaying() const { return m_bAnimationPlaying; }
    const QString& GetWindowTitle() const { return m_strWindowTitle; }
    const QString& GetApplicationName() const { return m_strApplicationName; }
    UINT GetUnreadOnlyMessageId() const { return m_nUnreadOnlyMessage; }
    CVTNotificationWindow* GetNotificationWindow() const { return m_pNotificationWindow; }

    // Opens or activates the window of a kind (ReadhallTemplate) and tells the navigation
    // bar the view code. Answers the document shown (null when none could be opened).
    CDocument* ShowWindowKind(int templateSlot, int viewCode);

    // The engine's callback (type 1: shut down): posts Exit to the frame from any thread.
    static void EngineCallback(uint32_t type, const char* text, uint32_t value, const char* text2,
                               uint32_t value2, uint32_t value3, uint32_t value4);

    void OnClose() override;
    void OnDestroy() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void registerCommands();
    void registerMessages();
    void applyLocks();
    void createNotificationWindow();
    void workOutSiblingPrograms();
    void startSibling(const char* programName);
    // Ends the engine callback and the notification handlers of this frame.
    void detachFromEngine();
    void writePlacement();
    BOOL readLockFlag(const char* name) const;
    void onEndSession();
    LRESULT onShowChannel(WPARAM channelId);
    LRESULT onShowStatusText(WPARAM text);
    void showHelpContents();
    void onHomePage();
    void onChannelStatus();
    void onPublishingWizard();

    BOOL m_bAnimationPlaying = 0;
    QString m_strWindowTitle;
    QString m_strApplicationName;
    QDockWidget* m_pNavigationBar = nullptr;
    CVTNotificationWindow* m_pNotificationWindow = nullptr;
    UINT m_nUnreadOnlyMessage = 0;
    QPixmap m_securePicture;
    QPixmap m_plainPicture;

    int m_createShowCommand = SW_SHOWNORMAL;
    QRect m_createRect;
    bool m_placementRestored = false;
    bool m_created = false;
    bool m_destroyed = false;
    BOOL m_lockNavigationBar = 0;
    BOOL m_lockToolbar = 0;
    BOOL m_lockStatusBar = 0;
};
