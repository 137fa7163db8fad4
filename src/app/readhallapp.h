#pragma once
// The application object of Readhall. It makes sure only one copy runs (handing a window
// request from the command line to the copy that runs already), starts and stops the three
// engine libraries in a fixed order, registers the seven window kinds, creates the main
// frame, runs the first-run Quick Setup and keeps the few things that windows share: the
// list of windows that receive program-wide broadcasts, the "Show Unread Items Only"
// setting, the modal operation count and the deferred work of the channel directory windows.
//
// Start-up can be driven without an event loop: set m_lpCmdLine and call InitInstance(),
// then ExitInstance(). Run() does both around the event loop.

#include "src/framework/winapp.h"
#include "src/platform/wintypes.h"
#include "src/shared/appservices.h"
#include "src/shared/windowkinds.h"
#include "vantrel/chandir.h"

#include <QPointer>
#include <QString>
#include <QUrl>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class CAlertNotifier;
class CMDIFrameWnd;
class CDocTemplate;
class CDocument;
namespace platform
{
class NamedMutex;
class RunningCopyServer;
} // namespace platform

// Names another copy looks for.
constexpr char READHALL_MAIN_WINDOW_CLASS[] = "VantrelReadhallClass";
constexpr char READHALL_INSTANCE_MUTEX[] = "VantrelReadhallMutex";

// The three engine libraries' start and stop calls. Tests replace them to see the order.
struct EngineLibraryCalls {
    std::function<int(int)> engctlInitialize;
    std::function<int()> engctlDeinitialize;
    std::function<int()> chanDirInitialize;
    std::function<int()> chanDirUninitialize;
    std::function<int()> popSumInitialize;
    std::function<int()> popSumUninitialize;
    // The engine's own state in words (empty while all is well); after a failed start, why.
    std::function<QString()> engineStatus;
    // The real libraries.
    static EngineLibraryCalls real();
};

class CReadhallApp : public CWinApp, public CAppServices
{
    Q_OBJECT
public:
    // Reads "Show Unread Items Only" (default 0).
    CReadhallApp();
    // Writes "Show Unread Items Only" back.
    ~CReadhallApp() override;

    // The one application object (null when none exists).
    static CReadhallApp* instance();

    BOOL InitInstance() override;
    // Safe to reach more than once: everything is released and the libraries stopped once.
    int ExitInstance() override;
    // The splash swallows the first key or mouse press; otherwise the framework's handling.
    BOOL PreTranslateMessage(QObject* target, QEvent* event) override;
    // The channel directory's deferred work, then the framework's idle work.
    BOOL OnIdle(long count) override;

    // Windows that receive program-wide broadcasts.
    void RegisterWindow(HWND window) override;   // a dead handle is ignored
    void UnregisterWindow(HWND window) override; // every entry of the handle
    // Posts the message to every registered window, last to first; dead handles are dropped.
    void BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    HPALETTE palette() const override { return m_hPalette; }
    bool showUnreadItemsOnly() const override { return m_bShowUnreadItemsOnly != 0; }
    const std::vector<HWND>& GetBroadcastWindows() const { return m_broadcastWindows; }
    // Whether this process is the one running copy; a second copy brings the first forward.
    virtual BOOL IsFirstInstance();

    // The command that the command line asks for (0: none), by plain substring search.
    static UINT CommandFromCommandLine(const QString& commandLine);

    // The window kinds; null before start-up registered them.
    CDocTemplate* GetTemplate(int which) const override;
    void AdjustModalOperationCount(int delta) override { m_nModalOperationCount += delta; }
    // The running application's window kind; null when there is no application.
    static CDocTemplate* TemplateOf(int which);
    // The main frame; null before it exists.
    CMDIFrameWnd* GetMainFrame() const;

    // ---- shared state
    BOOL m_bLibrariesStarted = 0;
    HPALETTE m_hPalette = nullptr;
    std::array<CDocTemplate*, TEMPLATE_COUNT> m_templates{};
    BOOL m_bShowUnreadItemsOnly = 0;
    DWORD m_dwSetupWizardDisplayed = 0;
    // Raised around modal engine operations; while above 0 the main frame refuses to close.
    int m_nModalOperationCount = 0;
    UINT m_nPendingStartCommand = 0;
    QString m_helpFilePath;

    // ---- start-up configuration (defaults are the real program's; tests change them)
    EngineLibraryCalls m_engine = EngineLibraryCalls::real();
    QString m_mainWindowClass = QString::fromLatin1(READHALL_MAIN_WINDOW_CLASS);
    QString m_instanceMutexName = QString::fromLatin1(READHALL_INSTANCE_MUTEX);
    // Whether the splash may show (the real program: unless started for embedding).
    bool m_splashAllowed = true;
    // Creates the main frame (null on failure). The default makes the program's main frame.
    std::function<CMDIFrameWnd*()> m_mainFrameFactory;
    // Shows the main window once the event loop runs, when it has no navigation bar to do so.
    bool m_showMainWindowWhenIdle = true;

signals:
    // A later copy handed over a feed address, already checked as the command line checks
    // its own (http, https or an existing file).
    void feedAddressHandedOver(const QUrl& address);

private:
    void ReleaseEverything();
    void ShowMainWindowIfHidden();

    std::unique_ptr<platform::NamedMutex> m_instanceMutex;
    std::unique_ptr<platform::RunningCopyServer> m_runningCopyServer;
    std::unique_ptr<CAlertNotifier> m_alertNotifier; // new alerts on the desktop
    std::vector<HWND> m_broadcastWindows;
    QPointer<QWidget> m_mainFrame;
    bool m_exited = false;
    bool m_engineFailed = false; // the process then ends with a failure code
};

// The application's help file: the HTML help page of the program.
QString ReadhallHelpFilePath(const QString& programDirectory);
