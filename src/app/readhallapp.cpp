#include "src/app/readhallapp.h"

#include "src/app/alertnotifier.h"
#include "src/app/commandline.h"
#include "src/app/mainframe.h"
#include "src/app/splash.h"
#include "src/app/templates.h"
#include "src/engine/enginewindowhost.h"
#include "src/engine/notificationwindow.h"
#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/framework/mainframe.h"
#include "src/platform/messagebox.h"
#include "src/platform/messagewindow.h"
#include "src/platform/resources.h"
#include "src/platform/runningcopy.h"
#include "src/publishing/publishingwizard.h"
#include "src/shared/ids.h"
#include "src/shared/programstate.h"
#include "src/shared/settings.h"
#include "vantrel/engctl.h"
#include "vantrel/popsum.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace
{

constexpr char FRAMEWORK_REGISTRY_KEY[] = "Vantrel\\Vantrel\\Settings";
constexpr char HELP_FILE_NAME[] = "rdhall.hlp";
constexpr char HELP_PAGE_NAME[] = "rdhall.html";
constexpr char HELP_PAGE_RESOURCE[] = ":/help/rdhall.html";

// The switches in the order they are looked for: the first one found decides.
struct WindowSwitch {
    const char* dashForm;
    const char* slashForm;
    UINT command;
};
constexpr WindowSwitch WINDOW_SWITCHES[] = {
    {"-alertview", "/alertview", ID_VIEW_ALERTS},
    {"-directoryview", "/directoryview", ID_VIEW_CHANNEL_DIRECTORY},
    {"-channelview", "/channelview", ID_VIEW_CHANNEL_CONTENT},
    {"-searchview", "/searchview", ID_VIEW_SEARCH},
};

// What a second copy may ask of the running one: open one of the windows the command line
// names. Anything else that arrives on the running copy's socket is dropped.
const platform::HandOverMessage HAND_OVER_MESSAGES[] = {
    {WM_COMMAND, ID_VIEW_CHANNEL_CONTENT},
    {WM_COMMAND, ID_VIEW_SEARCH},
    {WM_COMMAND, ID_VIEW_ALERTS},
    {WM_COMMAND, ID_VIEW_CHANNEL_DIRECTORY},
};

} // namespace

EngineLibraryCalls EngineLibraryCalls::real()
{
    EngineLibraryCalls calls;
    calls.engctlInitialize = [](int flag) { return ENGCTLInitialize(flag); };
    calls.engctlDeinitialize = [] { return ENGCTLDeinitialize(); };
    calls.chanDirInitialize = [] { return ChanDir_Initialize(); };
    calls.chanDirUninitialize = [] { return ChanDir_Uninitialize(); };
    calls.popSumInitialize = [] { return PopSum_Initialize(); };
    calls.popSumUninitialize = [] { return PopSum_Uninitialize(); };
    calls.engineStatus = [] {
        QKBuffer text;
        VTGetEngineStatus(text);
        return text.GetText();
    };
    return calls;
}

QString ReadhallHelpFilePath(const QString& programDirectory)
{
    // The help is an HTML page: beside the program when installed there, else the copy in
    // the program's resources.
    if (!programDirectory.isEmpty()) {
        const QString beside = QDir(programDirectory).filePath(QString::fromLatin1(HELP_PAGE_NAME));
        if (QFileInfo(beside).isFile())
            return beside;
    }
    if (QFileInfo::exists(QString::fromLatin1(HELP_PAGE_RESOURCE)))
        return QString::fromLatin1(HELP_PAGE_RESOURCE);
    if (programDirectory.isEmpty())
        return QString();
    return QDir(programDirectory).filePath(QString::fromLatin1(HELP_FILE_NAME));
}

CReadhallApp::CReadhallApp() : CWinApp(LoadStringOr(IDS_MAINFRAME_TITLE, "Readhall"))
{
    m_bShowUnreadItemsOnly = settings::showUnreadItemsOnly() ? 1 : 0;
}

CReadhallApp::~CReadhallApp()
{
    ReleaseEverything();
    settings::setShowUnreadItemsOnly(m_bShowUnreadItemsOnly != 0);
}

CReadhallApp* CReadhallApp::instance()
{
    return qobject_cast<CReadhallApp*>(AfxGetApp());
}

UINT CReadhallApp::CommandFromCommandLine(const QString& commandLine)
{
    for (const WindowSwitch& option : WINDOW_SWITCHES) {
        if (commandLine.contains(QLatin1String(option.dashForm)) ||
            commandLine.contains(QLatin1String(option.slashForm)))
            return option.command;
    }
    return 0;
}

BOOL CReadhallApp::InitInstance()
{
    // A window asked for on the command line: the running copy opens it, else this one
    // does once its main frame exists.
    if (const UINT command = CommandFromCommandLine(m_lpCmdLine)) {
        bool handedOver = false;
        if (const HWND running = FindWindow(m_mainWindowClass))
            handedOver = PostMessage(running, WM_COMMAND, command, 0) != 0;
        else if (platform::isCopyRunning(m_mainWindowClass))
            handedOver = platform::postToRunningCopy(m_mainWindowClass, WM_COMMAND, command, 0);
        if (!handedOver)
            m_nPendingStartCommand = command;
    }

    // One running copy: a second one has brought the first forward and ends here.
    if (!IsFirstInstance())
        return 0;

    // The splash.
    EnableSplash(m_splashAllowed ? 1 : 0);
    ShowSplash(nullptr);

    // The engine command library; without it nothing works.
    if (!m_engine.engctlInitialize || !m_engine.engctlInitialize(1)) {
        m_engineFailed = true;
        HideSplash(); // the splash would cover the message
        // The engine says why when it can (a store another program keeps locked, ...).
        QString text = LoadStringOr(IDS_ENGINE_START_ERROR, "Error launching Vantrel.exe");
        const QString reason = m_engine.engineStatus ? m_engine.engineStatus() : QString();
        if (!reason.isEmpty())
            text += QStringLiteral("\n\n") + reason;
        MessageBox(nullptr, text, LoadStringOr(IDS_MAINFRAME_TITLE, "Readhall"),
                   MB_OK | MB_ICONSTOP | MB_SYSTEMMODAL);
        return 0;
    }

    // The directory library (its change messages reach our windows through the sink) and
    // the summary pop-up library.
    InstallDirectoryMessageSink();
    // The engine's own windows (its channel status window) among ours.
    InstallEngineWindowHost();
    if (m_engine.chanDirInitialize)
        m_engine.chanDirInitialize();
    if (m_engine.popSumInitialize)
        m_engine.popSumInitialize();
    m_bLibrariesStarted = 1;
    // What the engine had to mend while starting (a damaged store moved aside) is told once
    // start-up is over, so the person knows stories may be missing.
    const QString engineNote = m_engine.engineStatus ? m_engine.engineStatus() : QString();

    // The publishing tool that came with the engine's demo content is registered as its
    // installation would, before anything asks whether the wizard is available.
    RegisterBundledPublishingTool();

    // The help file.
    QKBuffer programDirectory;
    if (VTGetDirectory(0, programDirectory))
        m_helpFilePath = ReadhallHelpFilePath(programDirectory.GetText());
    else
        m_helpFilePath = ReadhallHelpFilePath(QString());
    m_pszHelpFilePath = m_helpFilePath;

    // Profile root and palette.
    SetRegistryKey(QString::fromLatin1(FRAMEWORK_REGISTRY_KEY));
    m_hPalette = CreateRainbowPalette();

    // The first run offers Quick Setup instead of any window asked for.
    m_dwSetupWizardDisplayed = settings::setupWizardDisplayed() ? 1 : 0;
    if (m_dwSetupWizardDisplayed == 0)
        m_nPendingStartCommand = ID_TOOLS_QUICK_SETUP;

    // The window kinds, with the panes they borrow from each other.
    InstallWindowPanes();
    InstallNavigationBar();
    for (const ReadhallTemplateInfo& kind : ReadhallTemplateTable()) {
        auto* docTemplate = new CDocTemplate(kind.resourceId, kind.docString, kind.document,
                                             kind.frame, kind.firstView);
        AddDocTemplate(docTemplate);
        if (kind.slot >= 0 && kind.slot < TEMPLATE_COUNT)
            m_templates[kind.slot] = docTemplate;
    }

    // The main frame.
    CMDIFrameWnd* frame = m_mainFrameFactory ? m_mainFrameFactory() : CreateReadhallMainFrame();
    if (!frame) {
        HideSplash();
        return 0;
    }
    m_mainFrame = frame;
    m_pMainWnd = frame;
    m_alertNotifier = std::make_unique<CAlertNotifier>();

    // The windows open at the last exit come back; the window asked for, or Quick Setup,
    // opens after them, before start-up ends.
    if (auto* mainFrame = qobject_cast<CMainFrame*>(frame);
        mainFrame && m_dwSetupWizardDisplayed != 0)
        mainFrame->ReopenWindows();
    if (m_nPendingStartCommand)
        SendMessage(frame->hwnd(), WM_COMMAND, m_nPendingStartCommand, 0);

    // Quick Setup is offered once.
    if (m_dwSetupWizardDisplayed == 0) {
        settings::setSetupWizardDisplayed(true);
        m_dwSetupWizardDisplayed = 1;
    }

    HideSplash();
    if (!engineNote.isEmpty()) {
        MessageBox(nullptr, engineNote, LoadStringOr(IDS_MAINFRAME_TITLE, "Readhall"),
                   MB_OK | MB_ICONEXCLAMATION);
    }

    // Start-up leaves a lot of freed heap behind; give it back to the system.
#ifdef __GLIBC__
    malloc_trim(0);
#endif

    // The navigation bar shows the main window once the message loop runs, after opening its
    // item's window; a main frame without a bar shows itself then.
    if (m_showMainWindowWhenIdle && !frame->GetControlBar(IDW_NAVIGATIONBAR))
        QTimer::singleShot(0, this, [this] { ShowMainWindowIfHidden(); });
    return 1;
}

void CReadhallApp::ShowMainWindowIfHidden()
{
    QWidget* main = m_mainFrame.data();
    if (!main || main->isVisible())
        return;
    ShowWidget(main, m_nCmdShow == SW_SHOWDEFAULT ? SW_SHOWNORMAL : m_nCmdShow);
}

BOOL CReadhallApp::IsFirstInstance()
{
    if (m_instanceMutex && m_instanceMutex->owned())
        return 1;
    m_instanceMutex = std::make_unique<platform::NamedMutex>(m_instanceMutexName);
    if (!m_instanceMutex->alreadyExists()) {
        // The first copy: listen for the requests of later copies.
        m_runningCopyServer = std::make_unique<platform::RunningCopyServer>(
            m_mainWindowClass, std::vector<platform::HandOverMessage>(
                                   std::begin(HAND_OVER_MESSAGES), std::end(HAND_OVER_MESSAGES)));
        connect(m_runningCopyServer.get(), &platform::RunningCopyServer::addressHandedOver, this,
                [this](const QString& text) {
                    const QUrl address = FeedAddressFromArgument(text);
                    if (address.isValid())
                        emit feedAddressHandedOver(address);
                });
        m_runningCopyServer->listen();
        return 1;
    }
    m_instanceMutex.reset();
    if (const HWND running = FindWindow(m_mainWindowClass))
        BringToForeground(running);
    else
        platform::bringRunningCopyForward(m_mainWindowClass);
    return 0;
}

void CReadhallApp::ReleaseEverything()
{
    HideSplash();
    m_alertNotifier.reset();
    if (QWidget* main = m_mainFrame.data()) {
        // The windows go before the libraries they read from.
        if (auto* frame = qobject_cast<CMDIFrameWnd*>(main))
            frame->DestroyWindow();
        delete main;
    }
    if (m_pMainWnd && !m_mainFrame)
        m_pMainWnd = nullptr;
    m_runningCopyServer.reset();
    m_instanceMutex.reset();
    if (m_hPalette) {
        DeleteRainbowPalette(m_hPalette);
        m_hPalette = nullptr;
    }
    if (m_bLibrariesStarted) {
        m_bLibrariesStarted = 0;
        RemoveEngineWindowHost();
        if (m_engine.popSumUninitialize)
            m_engine.popSumUninitialize();
        if (m_engine.chanDirUninitialize)
            m_engine.chanDirUninitialize();
        if (m_engine.engctlDeinitialize)
            m_engine.engctlDeinitialize();
    }
}

int CReadhallApp::ExitInstance()
{
    ReleaseEverything();
    m_exited = true;
    const int code = CWinApp::ExitInstance();
    return m_engineFailed ? 1 : code;
}

BOOL CReadhallApp::PreTranslateMessage(QObject* target, QEvent* event)
{
    if (PreTranslateSplashMessage(event))
        return 1;
    return CWinApp::PreTranslateMessage(target, event);
}

BOOL CReadhallApp::OnIdle(long count)
{
    // The directory windows' work waits until the directory template exists.
    CDocTemplate* directory = m_templates[TEMPLATE_DIRECTORY];
    if (directory && IsDirectoryWorkPending()) {
        const DirectoryWork work = TakeDirectoryWork();
        // Documents may close while they work; each is looked at through a guard.
        std::vector<QPointer<CDocument>> docs;
        for (CDocument* doc : directory->GetDocuments()) {
            if (dynamic_cast<CDirectoryReloadTarget*>(doc))
                docs.emplace_back(doc);
        }
        auto targetOf = [](const QPointer<CDocument>& doc) {
            return doc ? dynamic_cast<CDirectoryReloadTarget*>(doc.data()) : nullptr;
        };
        if (work.reload) {
            for (const QPointer<CDocument>& doc : docs)
                if (CDirectoryReloadTarget* target = targetOf(doc))
                    target->ReloadDirectory(1);
        }
        if (work.redraw) {
            for (const QPointer<CDocument>& doc : docs)
                if (doc)
                    doc->UpdateAllViews(nullptr, APPHINT_DIRECTORY_REDRAW);
        }
        if (work.recheck) {
            for (const QPointer<CDocument>& doc : docs)
                if (CDirectoryReloadTarget* target = targetOf(doc);
                    target && target->CheckDirectoryChanged() == 1)
                    doc->UpdateAllViews(nullptr, APPHINT_DIRECTORY_CHANGED);
        }
    }
    return CWinApp::OnIdle(count);
}

void CReadhallApp::RegisterWindow(HWND window)
{
    if (IsWindow(window))
        m_broadcastWindows.push_back(window);
}

void CReadhallApp::UnregisterWindow(HWND window)
{
    for (size_t i = m_broadcastWindows.size(); i-- > 0;) {
        if (m_broadcastWindows[i] == window)
            m_broadcastWindows.erase(m_broadcastWindows.begin() + static_cast<long>(i));
    }
}

void CReadhallApp::BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (size_t i = m_broadcastWindows.size(); i-- > 0;) {
        const HWND window = m_broadcastWindows[i];
        if (IsWindow(window))
            PostMessage(window, message, wParam, lParam);
        else
            m_broadcastWindows.erase(m_broadcastWindows.begin() + static_cast<long>(i));
    }
}

CDocTemplate* CReadhallApp::GetTemplate(int which) const
{
    if (which < 0 || which >= TEMPLATE_COUNT)
        return nullptr;
    return m_templates[which];
}

CDocTemplate* CReadhallApp::TemplateOf(int which)
{
    CReadhallApp* app = instance();
    return app ? app->GetTemplate(which) : nullptr;
}

CMDIFrameWnd* CReadhallApp::GetMainFrame() const
{
    return qobject_cast<CMDIFrameWnd*>(m_mainFrame.data());
}
