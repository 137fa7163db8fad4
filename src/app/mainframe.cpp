#include "src/app/mainframe.h"

#include "src/app/aboutbox.h"
#include "src/app/helpviewer.h"
#include "src/app/maincommands.h"
#include "src/app/readhallapp.h"
#include "src/engine/messages.h"
#include "src/engine/notificationwindow.h"
#include "src/framework/childframe.h"
#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/framework/statusbar.h"
#include "src/framework/view.h"
#include "src/framework/winapp.h"
#include "src/platform/messagebox.h"
#include "src/platform/messagewindow.h"
#include "src/platform/resources.h"
#include "src/platform/shell.h"
#include "src/shared/programstate.h"
#include "src/shared/settings.h"
#include "src/shared/startupchecks.h"
#include "src/shared/updatehint.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPointer>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

namespace
{

std::atomic<bool> g_tickerPresent{false};
std::atomic<bool> g_titlestripPresent{false};
std::atomic<bool> g_screenSaverPresent{false};
// The live main frame's handle, read by the engine callback on engine threads.
std::atomic<HWND> g_mainFrameWindow{0};
CMainFrame* g_mainFrame = nullptr;

CMainFrame::NavigationBarFactory& navigationBarFactory()
{
    static CMainFrame::NavigationBarFactory factory;
    return factory;
}

// The version of the bars whose stored layout this frame loads.
constexpr DWORD kCurrentToolbarVersion = 16;
// The colour of the toolbar strip's transparent pixels.
const QColor kToolbarKeyColour(255, 0, 255);
// The room the default placement leaves above the window.
constexpr int kDefaultTopGap = 70;
// SW_SHOWMINNOACTIVE: another way of starting minimised.
constexpr int kShowMinimisedNoActivate = 7;
// The smallest window a stored placement may ask for.
constexpr int kMinimumWidth = 320;
constexpr int kMinimumHeight = 240;

QString& programFileOverride()
{
    static QString path;
    return path;
}

} // namespace

QString SiblingProgramPath(const char* programName)
{
    const QString program = programFileOverride().isEmpty()
                                ? QCoreApplication::applicationFilePath()
                                : programFileOverride();
    return QFileInfo(program).absolutePath() + QLatin1Char('/') + QString::fromLatin1(programName);
}

bool IsTickerPresent()
{
    return g_tickerPresent.load();
}

bool IsTitlestripPresent()
{
    return g_titlestripPresent.load();
}

bool IsScreenSaverPresent()
{
    return g_screenSaverPresent.load();
}

void SetProgramFilePathForTests(const QString& path)
{
    programFileOverride() = path;
}

bool IsLocalFileLocation(const QString& text)
{
    if (text.startsWith(QLatin1String("file://"), Qt::CaseInsensitive) ||
        text.startsWith(QLatin1String("\"file://"), Qt::CaseInsensitive))
        return true;
    // A path of this system.
    if (text.startsWith(QLatin1Char('/')) || text.startsWith(QLatin1String("\"/")))
        return true;
    if (text.size() < 5)
        return false;
    if (text.at(0) == QLatin1Char('/') || text.at(0) == QLatin1Char('"'))
        return text.at(2) == QLatin1Char(':') && text.at(3) == QLatin1Char('\\');
    return text.at(1) == QLatin1Char(':') && text.at(2) == QLatin1Char('\\');
}

CMDIFrameWnd* CreateMainFrameWindow()
{
    auto* frame = new CMainFrame;
    if (!frame->LoadFrame()) {
        frame->m_bAutoDelete = false;
        delete frame;
        return nullptr;
    }
    return frame;
}

// ---- the frame

CMainFrame::CMainFrame() : CMDIFrameWnd(QString::fromLatin1(READHALL_MAIN_WINDOW_CLASS))
{
    setObjectName(QStringLiteral("MainFrame"));
    // Menu items and toolbar buttons take their status help and tool tips from the string
    // table: "help\ntip" under the command's id.
    SetCommandStringProvider([](UINT id) { return LoadString(id); });
    m_nUnreadOnlyMessage =
        RegisterWindowMessage(QString::fromLatin1(RH_NOTIFICATION_SHOWUNREADITEMSONLY_CHANGED));
    g_mainFrame = this;
    SetMainFrameLink(this);
    registerCommands();
    registerMessages();
}

CMainFrame::~CMainFrame()
{
    if (g_mainFrame == this)
        g_mainFrame = nullptr;
    if (MainFrameLink() == this)
        SetMainFrameLink(nullptr);
    if (!m_destroyed && m_created) {
        // Destroyed without going through DestroyWindow (tests, failed start-up): leave the
        // engine and the notification window in order all the same.
        detachFromEngine();
    }
    if (g_mainFrameWindow.load() == hwnd())
        g_mainFrameWindow.store(0);
}

CMainFrame* CMainFrame::instance()
{
    return g_mainFrame;
}

void CMainFrame::SetNavigationBarFactory(NavigationBarFactory factory)
{
    navigationBarFactory() = std::move(factory);
}

QDockWidget* CMainFrame::GetNavigationBar() const
{
    return m_pNavigationBar;
}

BOOL CMainFrame::LoadFrame()
{
    if (!PreCreateWindow())
        return 0;
    return OnCreate() == 0 ? 1 : 0;
}

BOOL CMainFrame::PreCreateWindow()
{
    CWinApp* app = AfxGetApp();
    int show = app ? app->m_nCmdShow : SW_SHOWNORMAL;
    if (show == SW_SHOWDEFAULT)
        show = SW_SHOWNORMAL;

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);

    using settings::Placement;
    const int stored = settings::windowPlacement(Placement::ShowCommand, SW_SHOWNORMAL);
    if (stored == -1) {
        // No restore at all: the framework's own size, centred in the work area.
        m_placementRestored = false;
        const QSize size(std::max(kMinimumWidth, workArea.width() * 3 / 4),
                         std::max(kMinimumHeight, workArea.height() * 3 / 4));
        m_createRect = QRect(QPoint(workArea.left() + (workArea.width() - size.width()) / 2,
                                    workArea.top() + (workArea.height() - size.height()) / 2),
                             size);
    } else {
        m_placementRestored = true;
        if (show == SW_SHOWNORMAL)
            show = stored;
        // The program never starts minimised (nor hidden, which would leave nothing to click).
        if (show == SW_SHOWMINIMIZED || show == SW_MINIMIZE || show == SW_HIDE ||
            show == kShowMinimisedNoActivate || show < 0 || show > SW_SHOWDEFAULT)
            show = SW_SHOWNORMAL;
        const int x = settings::windowPlacement(Placement::Left, workArea.left());
        const int y = settings::windowPlacement(Placement::Top, workArea.top() + kDefaultTopGap);
        const int cx = settings::windowPlacement(Placement::Width, workArea.width());
        const int cy =
            settings::windowPlacement(Placement::Height, workArea.height() - kDefaultTopGap);
        // A damaged size would give a window nobody can use.
        m_createRect = QRect(x, y, std::max(cx, kMinimumWidth), std::max(cy, kMinimumHeight));
        // A window placed where no screen is (a screen that went away, a damaged value)
        // comes back to the work area.
        bool onScreen = false;
        for (const QScreen* each : QGuiApplication::screens())
            onScreen |= each->availableGeometry().intersects(m_createRect);
        if (!onScreen && !QGuiApplication::screens().isEmpty())
            m_createRect.moveTopLeft(QPoint(workArea.left(), workArea.top() + kDefaultTopGap));
        // A window stored on a larger screen than the one it opens on is made to fit that
        // screen's work area, so that no edge, menu or status bar is out of reach.
        const QScreen* home = QGuiApplication::screenAt(m_createRect.center());
        const QRect fit = home ? home->availableGeometry() : workArea;
        if (m_createRect.width() > fit.width() || m_createRect.height() > fit.height()) {
            m_createRect.setSize(m_createRect.size().boundedTo(fit.size()));
            m_createRect.moveLeft(std::clamp(m_createRect.left(), fit.left(),
                                             fit.right() + 1 - m_createRect.width()));
            m_createRect.moveTop(std::clamp(m_createRect.top(), fit.top(),
                                            fit.bottom() + 1 - m_createRect.height()));
        }
    }
    m_createShowCommand = show;
    if (app)
        app->m_nCmdShow = show;
    setGeometry(m_createRect);
    if (show == SW_SHOWMAXIMIZED)
        setWindowState(windowState() | Qt::WindowMaximized);
    return 1;
}

int CMainFrame::OnCreate()
{
    // The application's main window is this frame from now on.
    if (CWinApp* app = AfxGetApp())
        app->m_pMainWnd = this;
    g_mainFrameWindow.store(hwnd());

    // Caption and application name.
    const QString title = settings::mainWindowTitle();
    m_strWindowTitle = title.isEmpty() ? LoadStringOr(IDS_MAINFRAME_TITLE, "Readhall") : title;
    const QString appName = settings::applicationName();
    m_strApplicationName =
        appName.isEmpty() ? LoadStringOr(IDS_APPLICATION_NAME, "Vantrel") : appName;
    setWindowTitle(m_strWindowTitle);

    // The gradient caption is the window manager's business here; the setting is kept.
    settings::gradientCaption();

    LoadMenuBar(MainMenuDescription());
    assignShortcuts();

    // Toolbar.
    const QPixmap strip = LoadBitmapResource(IDR_MAINFRAME);
    if (strip.isNull() || !CreateToolBar(MainToolbarButtons(), strip, kToolbarKeyColour))
        return -1;
    if (QToolBar* toolBar = GetToolBar()) {
        toolBar->setObjectName(QStringLiteral("Toolbar"));
        toolBar->setWindowTitle(QStringLiteral("Toolbar"));
        toolBar->setAllowedAreas(Qt::TopToolBarArea);
    }

    // Status bar; the picture pane is 16 pixels wide until it shows a picture.
    if (!CreateStatusBar(MainStatusPanes()))
        return -1;
    GetStatusBar()->SetPaneWidth(ID_INDICATOR_SECURE, 16);
    SetStatusText(LoadStringOr(IDS_READY, "Ready"));

    // The navigation bar, docked at the left; it may dock left or right.
    if (navigationBarFactory()) {
        m_pNavigationBar = navigationBarFactory()(this);
        if (!m_pNavigationBar)
            return -1;
        if (m_pNavigationBar->objectName().isEmpty())
            m_pNavigationBar->setObjectName(QStringLiteral("NavigationBar"));
        const int width = std::max(160, m_createRect.width() / 5);
        AddDockBar(IDW_NAVIGATIONBAR, m_pNavigationBar,
                   Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea, Qt::LeftDockWidgetArea, width);
    }

    // The saved bar layout, when it was saved by this version of the bars.
    if (settings::toolbarVersion() == kCurrentToolbarVersion)
        LoadBarState(QString::fromLatin1(settings::BAR_STATE_VALUE));

    // Locks.
    applyLocks();

    // The engine tells us when it shuts down.
    VTRegisterNotificationCallback(VTMASK_MAINFRAME, &CMainFrame::EngineCallback);

    // The engine's numbered notifications.
    createNotificationWindow();

    // Engine state.
    int playing = 0;
    if (VTIsAnimationPlaying(playing))
        m_bAnimationPlaying = playing ? 1 : 0;
    uint32_t restrictions = 0;
    if (VTGetWorkgroupRestrictions(restrictions))
        SetWorkgroupRestrictions(restrictions);

    // Sibling programs.
    workOutSiblingPrograms();

    // The publishing wizard only when the tool is installed.
    if (!IsPublishingWizardAvailable())
        DeleteMenuCommand(ID_VIEW_PUBLISHING_WIZARD);

    // End of session: the session manager's answer is the framework's; then close.
    if (auto* guiApp = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(guiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
            QTimer::singleShot(0, this, [this] { onEndSession(); });
        });

    m_created = true;
    return 0;
}

void CMainFrame::assignShortcuts()
{
    AssignCommandShortcuts(this, [this] { UpdateAllChannels(); });
}

int CMainFrame::UpdateAllChannels()
{
    if (GetWorkgroupRestrictions() & VTRESTRICT_UPDATE_NOW) {
        SetStatusText(QStringLiteral("Updating channels is not allowed here"));
        return 0;
    }
    std::vector<uint32_t> ids;
    if (CServices* services = GetCServices()) {
        for (int i = 0; i < services->GetNoServices(); ++i) {
            uint32_t id = 0;
            if (CService* channel = services->GetService(i); channel && channel->GetServiceID(id))
                ids.push_back(id);
        }
        ReleaseCServices();
    }
    int asked = 0;
    for (uint32_t id : ids) {
        int enabled = 1;
        if (VTIsChannelEnabled(id, enabled) && !enabled)
            continue;
        if (VTForceChannelConnection(id))
            ++asked;
    }
    SetStatusText(asked == 0 ? QStringLiteral("No channel to update")
                             : QStringLiteral("Updating %1 channel%2...")
                                   .arg(asked)
                                   .arg(asked == 1 ? QString() : QStringLiteral("s")));
    return asked;
}

void CMainFrame::ShowMainWindow()
{
    ShowWidget(this, m_createShowCommand);
}

void CMainFrame::applyLocks()
{
    // In this order: navigation bar, toolbar, status bar. A locked bar's visibility is read
    // even when the bar is missing, so that the setting exists.
    using settings::Bar;
    m_lockNavigationBar = settings::barLocked(Bar::NavigationBar) ? 1 : 0;
    if (m_lockNavigationBar) {
        const bool shown = settings::barShownWhileLocked(Bar::NavigationBar);
        if (m_pNavigationBar)
            ShowControlBar(m_pNavigationBar, shown, 1);
    }

    m_lockToolbar = settings::barLocked(Bar::Toolbar) ? 1 : 0;
    if (m_lockToolbar && GetToolBar())
        ShowControlBar(GetToolBar(), settings::barShownWhileLocked(Bar::Toolbar), 1);

    m_lockStatusBar = settings::barLocked(Bar::StatusBar) ? 1 : 0;
    if (m_lockStatusBar && GetStatusBar())
        ShowControlBar(GetStatusBar(), settings::barShownWhileLocked(Bar::StatusBar), 1);
}

void CMainFrame::createNotificationWindow()
{
    m_pNotificationWindow = new CVTNotificationWindow();
    const HWND frame = hwnd();
    m_pNotificationWindow->SetHandler(VTNOTIFICATION_ANIMATION_STARTED,
                                      [this, frame](int, const QString&, DWORD) {
                                          if (IsWindow(frame))
                                              m_bAnimationPlaying = 1;
                                      });
    m_pNotificationWindow->SetHandler(VTNOTIFICATION_ANIMATION_STOPPED,
                                      [this, frame](int, const QString&, DWORD) {
                                          if (IsWindow(frame))
                                              m_bAnimationPlaying = 0;
                                      });
    m_pNotificationWindow->SetHandler(VTNOTIFICATION_RESTRICTIONS_CHANGED,
                                      [frame](int, const QString&, DWORD) {
                                          if (!IsWindow(frame))
                                              return;
                                          uint32_t mask = 0;
                                          if (VTGetWorkgroupRestrictions(mask))
                                              SetWorkgroupRestrictions(mask);
                                          RaiseDirectoryReloadRequest();
                                      });
    m_pNotificationWindow->SetHandler(
        VTNOTIFICATION_STATUS_TEXT, [this, frame](int, const QString& text, DWORD level) {
            if (!IsWindow(frame))
                return;
            if (level == VTSTATUS_LEVEL_CLEAR || level == VTSTATUS_LEVEL_CLEAR_TOO)
                PostStatusText(QString());
            else if (level >= 1 && level <= 8 && !text.isEmpty())
                PostStatusText(text);
        });
}

void CMainFrame::workOutSiblingPrograms()
{
    g_tickerPresent.store(GetFileAttributes(SiblingProgramPath(TICKER_PROGRAM)) !=
                          INVALID_FILE_ATTRIBUTES);
    g_titlestripPresent.store(GetFileAttributes(SiblingProgramPath(TITLESTRIP_PROGRAM)) !=
                              INVALID_FILE_ATTRIBUTES);
    g_screenSaverPresent.store(GetFileAttributes(SiblingProgramPath(SCREENSAVER_PROGRAM)) !=
                               INVALID_FILE_ATTRIBUTES);
}

void CMainFrame::EngineCallback(uint32_t type, const char*, uint32_t, const char*, uint32_t,
                                uint32_t, uint32_t)
{
    // May run on an engine thread: no window work here, only a posted command.
    if (type != VTNOTIFY_SHUTDOWN)
        return;
    const HWND frame = g_mainFrameWindow.load();
    if (frame && IsWindow(frame))
        PostMessage(frame, WM_COMMAND, ID_APP_EXIT_READHALL, 0);
}

// ---- services

void CMainFrame::ShowSecureIndicator(BOOL secure)
{
    QPixmap& picture = secure ? m_securePicture : m_plainPicture;
    if (picture.isNull())
        picture = LoadBitmapResource(secure ? IDB_SECURE : IDB_NOT_SECURE);
    if (picture.isNull() || !GetStatusBar())
        return;
    GetStatusBar()->SetPanePicture(ID_INDICATOR_SECURE, picture);
}

void CMainFrame::PostStatusText(const QString& text)
{
    // The text waits on the frame; the message carries only its number, so that a message
    // that did not come from here shows nothing and frees nothing.
    if (text.isEmpty()) {
        PostMessage(hwnd(), WM_SHOW_STATUS_TEXT, 0, 0);
        return;
    }
    if (++m_nextStatusText == 0)
        ++m_nextStatusText;
    const WPARAM number = m_nextStatusText;
    m_pendingStatusTexts[number] = text;
    if (!PostMessage(hwnd(), WM_SHOW_STATUS_TEXT, number, 0))
        m_pendingStatusTexts.erase(number);
}

void CMainFrame::SetStatusText(const QString& text)
{
    CStatusBar* statusBar = GetStatusBar();
    if (!statusBar)
        return;
    statusBar->SetPaneText(ID_SEPARATOR, text, 1);
    statusBar->repaint();
}

CDocument* CMainFrame::GetActiveBrowserDocument() const
{
    CMDIChildWnd* child = MDIGetActive();
    CDocument* doc = child ? child->GetActiveDocument() : nullptr;
    if (!doc)
        return nullptr;
    for (CView* view : doc->GetViews())
        if (view->className() == QLatin1String("CBrowserView"))
            return doc;
    return nullptr;
}

namespace
{

// VTAccessBundLet's access mask: every part of the package.
constexpr uint32_t kAccessWholePackage = 0xFFFFFFFFu;

// Opens the story's content package so the engine has it at hand; for an alert, the package
// of the story that raised it. A missing attribute or story only skips this.
void openContentPackage(CServices* services, const CService* channel, int index, uint32_t channelId)
{
    uint32_t bundlet = 0;
    if (channelId != VT_ALERTS_CHANNEL_ID) {
        if (channel->GetStoryAttribute(index, QStringLiteral("Bundlet Id"), bundlet))
            VTAccessBundLet(channelId, bundlet, kAccessWholePackage);
        return;
    }
    uint32_t alertChannel = 0;
    uint32_t alertStory = 0;
    if (!channel->GetStoryAttribute(index, QStringLiteral("Alert Channel Id"), alertChannel) ||
        !channel->GetStoryAttribute(index, QStringLiteral("Alert Story Id"), alertStory))
        return;
    const CService* source = services->GetServiceByID(alertChannel);
    const int sourceIndex = source ? source->GetStoryIndex(alertStory) : -1;
    if (sourceIndex >= 0 &&
        source->GetStoryAttribute(sourceIndex, QStringLiteral("BundLet Id"), bundlet))
        VTAccessBundLet(alertChannel, bundlet, kAccessWholePackage);
}

// A document on this computer that is not a page (its extension does not begin with "htm"):
// the engine plays those. The extension is looked for in the file name only, so a dot in a
// folder name does not make a page without extension count as a document.
bool isLocalNonPage(const QString& url)
{
    if (!IsLocalFileLocation(url))
        return false;
    QString name = url;
    if (name.endsWith(QLatin1Char('"')))
        name.chop(1);
    const int separator =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= separator || dot + 1 >= name.size())
        return false;
    return !QStringView(name).mid(dot + 1, 3).startsWith(QLatin1String("htm"), Qt::CaseInsensitive);
}

} // namespace

BOOL CMainFrame::ShowStory(uint32_t channelId, uint32_t storyNumber)
{
    bool shown = false;
    QString url;
    bool haveUrl = false;
    CDocument* browserDoc = GetActiveBrowserDocument();
    if (CServices* services = GetCServices()) {
        const CService* channel = services->GetServiceByID(channelId);
        const int index = channel ? channel->GetStoryIndex(storyNumber) : -1;
        haveUrl = index >= 0 && channel->GetStoryField(index, QStringLiteral("URL"), url);
        if (browserDoc && haveUrl) {
            openContentPackage(services, channel, index, channelId);
            if (isLocalNonPage(url)) {
                VTPlayStory(channelId, storyNumber, this);
            } else {
                SendShowURLHint(browserDoc, url);
                VTMarkStoryRead(channelId, storyNumber, STORYREAD_OPENED);
            }
            shown = true;
        }
        ReleaseCServices();
    }
    if (shown)
        return 1;
    if (VTPlayStory(channelId, storyNumber, this))
        return 1;
    // The engine plays only stories with a content package; a plain story without a browser
    // pane opens in the desktop's browser instead of doing nothing.
    if (!haveUrl || url.trimmed().isEmpty() || !ShowURL(url))
        return 0;
    VTMarkStoryRead(channelId, storyNumber, STORYREAD_OPENED);
    return 1;
}

BOOL CMainFrame::ShowURL(const QString& url)
{
    if (url.isNull())
        return 0;
    if (CDocument* doc = GetActiveBrowserDocument()) {
        SendShowURLHint(doc, url);
        return 1;
    }
    // Outside the program: the desktop's handler gets the address or path itself (no shell
    // reads it, so it needs no quoting).
    QString target = url.trimmed();
    if (target.size() >= 2 && target.startsWith(QLatin1Char('"')) &&
        target.endsWith(QLatin1Char('"')))
        target = target.mid(1, target.size() - 2);
    if (target.isEmpty())
        return 0;
    if (!IsOpenableAddress(platform::shellOpenUrl(target))) {
        SetStatusText(RefusedAddressText(target));
        return 0;
    }
    if (ShellOpen(target))
        return 1;
    return OfferEmbeddedBrowser(target);
}

BOOL CMainFrame::OfferEmbeddedBrowser(const QString& address)
{
    // The desktop has no program for the address (no web browser set up, say): the person
    // is told, and a page is offered in Readhall's own browser window when there is one.
    const QString caption = LoadStringOr(IDS_MAINFRAME_TITLE, "Readhall");
    const QString scheme = platform::shellOpenUrl(address).scheme();
    const bool page = scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                      (scheme == QLatin1String("file") && !isLocalNonPage(address));
    QString text = QStringLiteral("The desktop has no program to open %1.").arg(address);
    if (page && IsWebBrowserAvailable()) {
        text += QStringLiteral("\n\nShow it in Readhall's browser window instead?");
        if (MessageBox(this, text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            if (CDocument* doc = ShowWindowKind(TEMPLATE_BROWSER)) {
                SendShowURLHint(doc, address);
                return 1;
            }
            SetStatusText(QStringLiteral("The browser window could not be opened"));
        }
        return 0;
    }
    MessageBox(this, text, caption, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

// ---- messages

void CMainFrame::registerMessages()
{
    onMessage(WM_SHOW_CHANNEL, [this](WPARAM channelId, LPARAM) {
        return ShowChannel(static_cast<uint32_t>(channelId));
    });
    onMessage(WM_SHOW_STATUS_TEXT, [this](WPARAM text, LPARAM) { return onShowStatusText(text); });
}

BOOL CMainFrame::ShowChannel(uint32_t channelId)
{
    CDocument* doc = ShowWindowKind(TEMPLATE_CHANNEL);
    CView* view = doc ? doc->GetFirstView() : nullptr;
    CMDIChildWnd* frame = view ? view->GetParentFrame() : nullptr;
    if (!frame)
        return 0;
    const LRESULT answer = SendMessage(frame->hwnd(), WM_SELECT_CHANNEL, channelId, 0);
    frame->BringToTop();
    return answer ? 1 : 0;
}

LRESULT CMainFrame::onShowStatusText(WPARAM number)
{
    if (number == 0) {
        SetStatusText(LoadStringOr(IDS_READY, "Ready"));
        return 0;
    }
    const auto pending = m_pendingStatusTexts.find(number);
    if (pending == m_pendingStatusTexts.end())
        return 0;
    SetStatusText(pending->second);
    m_pendingStatusTexts.erase(pending);
    return 0;
}

// ---- closing

void CMainFrame::OnClose()
{
    CReadhallApp* app = CReadhallApp::instance();
    if (app && app->m_nModalOperationCount > 0)
        return; // a modal directory operation runs; the user can close later
    SaveBarState(QString::fromLatin1(settings::BAR_STATE_VALUE));
    RememberOpenWindows();
    CMDIFrameWnd::OnClose();
}

namespace
{
// The window kinds that reopen at start: the program's own windows, not the engine's.
constexpr int kReopenedKinds[] = {TEMPLATE_CHANNEL, TEMPLATE_SEARCH,    TEMPLATE_ALERTS,
                                  TEMPLATE_BROWSER, TEMPLATE_DIRECTORY, TEMPLATE_PUBLISHING};
} // namespace

void CMainFrame::RememberOpenWindows()
{
    CReadhallApp* app = CReadhallApp::instance();
    if (!app)
        return;
    QStringList kinds;
    for (CMDIChildWnd* child : GetChildFrames()) {
        CDocument* doc = child->GetActiveDocument();
        CDocTemplate* docTemplate = doc ? doc->GetDocTemplate() : nullptr;
        for (int kind : kReopenedKinds)
            if (docTemplate && docTemplate == app->GetTemplate(kind) &&
                !kinds.contains(docTemplate->GetDocString()))
                kinds << docTemplate->GetDocString();
    }
    settings::setOpenWindows(kinds);
}

void CMainFrame::ReopenWindows()
{
    // The windows are opened once the main window is on screen: a window laid out inside a
    // hidden main window beside others does not get its panes' sizes right.
    m_reopenPending = true;
    if (isVisible())
        QTimer::singleShot(0, this, [this] { reopenPendingWindows(); });
}

void CMainFrame::showEvent(QShowEvent* event)
{
    CMDIFrameWnd::showEvent(event);
    if (m_reopenPending)
        QTimer::singleShot(0, this, [this] { reopenPendingWindows(); });
}

int CMainFrame::reopenPendingWindows()
{
    CReadhallApp* app = CReadhallApp::instance();
    if (!m_reopenPending || !app || m_destroyed)
        return 0;
    m_reopenPending = false;
    // The window in front (the navigation bar's item, or the one the command line asked for)
    // stays in front.
    CMDIChildWnd* front = MDIGetActive();
    int opened = 0;
    for (const QString& name : settings::openWindows()) {
        for (int kind : kReopenedKinds) {
            CDocTemplate* docTemplate = app->GetTemplate(kind);
            if (!docTemplate || docTemplate->GetDocString() != name ||
                docTemplate->GetDocumentCount() > 0)
                continue;
            if (kind == TEMPLATE_PUBLISHING && !IsWebBrowserAvailable())
                continue;
            if (docTemplate->OpenDocumentFile(QString(), 1))
                ++opened;
        }
    }
    if (front && opened > 0 && !front->isHidden()) {
        front->BringToTop();
        front->MDIActivate();
    }
    return opened;
}

void CMainFrame::detachFromEngine()
{
    if (m_pNotificationWindow) {
        // The status text handler goes too: it belongs to this frame.
        for (int number : {VTNOTIFICATION_ANIMATION_STARTED, VTNOTIFICATION_ANIMATION_STOPPED,
                           VTNOTIFICATION_RESTRICTIONS_CHANGED, VTNOTIFICATION_STATUS_TEXT})
            m_pNotificationWindow->RemoveHandler(number);
        m_pNotificationWindow->Release();
        m_pNotificationWindow = nullptr;
    }
    VTUnRegisterNotificationCallback(&CMainFrame::EngineCallback);
}

void CMainFrame::OnDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    detachFromEngine();
    g_mainFrameWindow.store(0);
    writePlacement();
    settings::setToolbarVersion(kCurrentToolbarVersion);
    CMDIFrameWnd::OnDestroy();
}

void CMainFrame::writePlacement()
{
    WINDOWPLACEMENT placement;
    if (!GetWindowPlacement(this, &placement))
        return;
    using settings::Placement;
    settings::setWindowPlacement(Placement::ShowCommand, placement.showCmd);
    settings::setWindowPlacement(Placement::Left, placement.rcNormalPosition.left());
    settings::setWindowPlacement(Placement::Top, placement.rcNormalPosition.top());
    settings::setWindowPlacement(Placement::Width, placement.rcNormalPosition.width());
    settings::setWindowPlacement(Placement::Height, placement.rcNormalPosition.height());
}

void CMainFrame::onEndSession()
{
    if (!m_destroyed)
        OnClose();
}

void CMainFrame::changeEvent(QEvent* event)
{
    CMDIFrameWnd::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        repaint();
}
