#pragma once
// The program's one top-level window: the multi-document frame with the main menu, toolbar,
// status bar and the dock area of the navigation bar. It restores and saves its placement
// and bar layout, honours the bar locks of the settings store, shows the engine's status
// texts, follows whether the engine plays an animation, owns the engine notification window
// and offers the other windows a few program-wide services.

#include "src/framework/mainframe.h"
#include "src/platform/wintypes.h"
#include "src/shared/mainframelink.h"
#include "src/shared/programstate.h"

#include <QPixmap>
#include <QRect>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>

class CDocument;
class CDocTemplate;
class CVTNotificationWindow;
class QDockWidget;

// Whether the sibling programs lie beside the program file (worked out at creation).
bool IsTickerPresent();
bool IsTitlestripPresent();
bool IsScreenSaverPresent();

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

class CMainFrame : public CMDIFrameWnd, public CMainFrameLink
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
    // The kinds of the open windows are written at close and opened again at the next start,
    // behind the window in front, once the main window shows.
    void RememberOpenWindows();
    void ReopenWindows();
    // Tells the person the desktop could not open the address; offers a page in the browser
    // window when the embedded browser is available. 1 when it is shown there.
    BOOL OfferEmbeddedBrowser(const QString& address);
    // Asks the engine to update every enabled channel (Shift+F5); the number asked.
    int UpdateAllChannels();

    int createShowCommand() const { return m_createShowCommand; }
    const QRect& createRect() const { return m_createRect; }
    bool placementRestored() const { return m_placementRestored; }

    // ---- services for the other windows (CMainFrameLink)
    // The secure (163) or plain (25535) picture in the status bar's picture pane.
    void ShowSecureIndicator(BOOL secure) override;
    // Pane 0's text, repainted at once.
    virtual void SetStatusText(const QString& text);
    // Keeps the text and posts WM_SHOW_STATUS_TEXT with its number (0 for an empty text,
    // which shows "Ready"); the message shows it and forgets it. A number the frame did not
    // give out shows nothing.
    void PostStatusText(const QString& text) override;
    // Shows a story in the active window's browser pane (the document of the active child
    // frame gets the show-URL hint), or has the engine play it.
    BOOL ShowStory(uint32_t channelId, uint32_t storyNumber) override;
    // Shows an address in the active window's browser pane, else outside the program.
    BOOL ShowURL(const QString& url) override;
    // The active child frame's active document when one of its views is a browser pane (a
    // view of class "CBrowserView").
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
    // bar the kind's view code. Answers the document shown (null when none could be opened).
    CDocument* ShowWindowKind(int kind) override;
    // WM_SHOW_CHANNEL: opens or activates the channel window and has its frame select the
    // channel; answers the frame's answer (0 without a channel window).
    BOOL ShowChannel(uint32_t channelId) override;

    // The engine's callback (type 1: shut down): posts Exit to the frame from any thread.
    static void EngineCallback(uint32_t type, const char* text, uint32_t value, const char* text2,
                               uint32_t value2, uint32_t value3, uint32_t value4);

    void OnClose() override;
    void OnDestroy() override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The main menu's handlers and update rules, one function per menu.
    void registerCommands();
    void assignShortcuts();
    int reopenPendingWindows();
    void registerFileCommands();
    void registerViewCommands();
    void registerChannelCommands();
    void registerContentCommands();
    void registerToolsCommands();
    void registerHelpCommands();
    // View > a bar: shows or hides the bar; checked while it shows, disabled while locked.
    void registerBarToggle(UINT id, std::function<QWidget*()> bar, const BOOL* locked);
    void registerMessages();
    void applyLocks();
    void createNotificationWindow();
    void workOutSiblingPrograms();
    void startSibling(const char* programName);
    // Ends the engine callback and the notification handlers of this frame.
    void detachFromEngine();
    void writePlacement();
    void onEndSession();
    LRESULT onShowStatusText(WPARAM number);
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
    std::map<WPARAM, QString> m_pendingStatusTexts;
    WPARAM m_nextStatusText = 0;
    QPixmap m_securePicture;
    QPixmap m_plainPicture;

    int m_createShowCommand = SW_SHOWNORMAL;
    QRect m_createRect;
    bool m_placementRestored = false;
    bool m_created = false;
    bool m_destroyed = false;
    bool m_reopenPending = false;
    BOOL m_lockNavigationBar = 0;
    BOOL m_lockToolbar = 0;
    BOOL m_lockStatusBar = 0;
};
