#include "src/app/maincommands.h"

#include "src/app/aboutbox.h"
#include "src/app/helpviewer.h"
#include "src/app/mainframe.h"
#include "src/app/readhallapp.h"
#include "src/engine/messages.h"
#include "src/engine/notificationwindow.h"
#include "src/framework/childframe.h"
#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/framework/view.h"
#include "src/platform/messagebox.h"
#include "src/platform/messagewindow.h"
#include "src/platform/resources.h"
#include "src/platform/shell.h"
#include "src/shared/panes.h"
#include "src/shared/settings.h"
#include "src/shared/startupchecks.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QAction>
#include <QCoreApplication>
#include <QDockWidget>
#include <QFileInfo>
#include <QShortcut>
#include <QToolBar>
#include <QUrl>

std::vector<CMenuItem> MainMenuDescription()
{
    const CMenuItem separator;
    return {
        {0,
         QStringLiteral("&File"),
         {
             {ID_START_TICKER, QStringLiteral("Start &Ticker..."), {}},
             {ID_START_TITLESTRIP, QStringLiteral("Start &Titlestrip..."), {}},
             {ID_START_SCREENSAVER, QStringLiteral("Start &Screen Saver..."), {}},
             separator,
             {ID_SHUTDOWN_ENGINE, QStringLiteral("Shut Down &Vantrel"), {}},
             {ID_APP_EXIT_READHALL, QStringLiteral("E&xit Readhall"), {}},
         }},
        {0, QStringLiteral("&Edit"), {{ID_EDIT_SELECT_ALL, QStringLiteral("Select A&ll"), {}}}},
        {0,
         QStringLiteral("&View"),
         {
             {ID_VIEW_CHANNEL_CONTENT, QStringLiteral("&Channel Content"), {}},
             {ID_VIEW_CHANNEL_DIRECTORY, QStringLiteral("&Subscribe to Channels"), {}},
             {ID_VIEW_ALERTS, QStringLiteral("&Alerts"), {}},
             {ID_VIEW_SEARCH, QStringLiteral("S&earch"), {}},
             {ID_VIEW_PUBLISHING_WIZARD, QStringLiteral("&Publishing Wizard"), {}},
             separator,
             {ID_VIEW_NAVIGATION_BAR, QStringLiteral("&Navigation Bar"), {}},
             {ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar"), {}},
             {ID_VIEW_STATUS_BAR, QStringLiteral("Stat&us Bar"), {}},
             separator,
             {ID_VIEW_USE_EMBEDDED_BROWSER, QStringLiteral("Use Embedded &Browser"), {}},
             {ID_VIEW_CHANNEL_FOLDER_LIST, QStringLiteral("Channel Folder &List"), {}},
             separator,
             {ID_VIEW_UNREAD_ONLY, QStringLiteral("Vie&w Unread Items Only"), {}},
             {ID_VIEW_EXPAND_BROWSER, QStringLiteral("E&xpand Embedded Browser"), {}},
         }},
        {0,
         QStringLiteral("&Channel"),
         {
             {ID_CHANNEL_UPDATE_NOW, QStringLiteral("Update &Now"), {}},
             {ID_CHANNEL_MARK_ALL_READ, QStringLiteral("Mark All as R&ead"), {}},
             separator,
             {ID_CHANNEL_SUBSCRIBE, QStringLiteral("&Subscribe"), {}},
             {ID_CHANNEL_UNSUBSCRIBE, QStringLiteral("&Unsubscribe..."), {}},
             {ID_CHANNEL_DISABLE, QStringLiteral("&Disable Channel"), {}},
             {ID_CHANNEL_ENABLE, QStringLiteral("&Enable Channel"), {}},
             separator,
             {0,
              QStringLiteral("&Add Vantrel Server"),
              {
                  {ID_ADD_WEB_DIRECTORY, QStringLiteral("Add Using &Web Directory..."), {}},
                  {ID_ADD_BY_ADDRESS, QStringLiteral("Add Using &Address..."), {}},
              }},
             separator,
             {ID_CHANNEL_PROPERTIES, QStringLiteral("&Properties..."), {}},
         }},
        {0,
         QStringLiteral("Co&ntent"),
         {
             {ID_STORY_FULL, QStringLiteral("&Full Story"), {}},
             {ID_STORY_SUMMARY, QStringLiteral("&Summary"), {}},
             {ID_STORY_PLAY, QStringLiteral("Pl&ay"), {}},
             separator,
             {ID_STORY_MARK_READ, QStringLiteral("Mark as &Read"), {}},
             {ID_STORY_MARK_UNREAD, QStringLiteral("Mark as &Unread"), {}},
             {ID_STORY_KEEP, QStringLiteral("&Keep"), {}},
             {ID_STORY_DOWNLOAD, QStringLiteral("Down&load Story"), {}},
             {ID_STORY_PLACE_FILES, QStringLiteral("&Place Files..."), {}},
             {ID_STORY_DELETE, QStringLiteral("&Delete..."), {}},
             separator,
             {ID_STORY_PROPERTIES, QStringLiteral("Proper&ties..."), {}},
             separator,
             {ID_ANIMATION_REPLAY, LoadString(IDS_REPLAY_LAST), {}},
             {ID_ANIMATION_STOP, QStringLiteral("St&op"), {}},
             {ID_REMOVE_WALLPAPER, QStringLiteral("Remove Current &Wallpaper"), {}},
         }},
        {0,
         QStringLiteral("&Tools"),
         {
             {ID_TOOLS_ALERTS, QStringLiteral("A&lerts..."), {}},
             {ID_TOOLS_FILTERS, QStringLiteral("&Filters..."), {}},
             separator,
             {ID_TOOLS_CHANNEL_STATUS, QStringLiteral("C&hannel Status..."), {}},
             separator,
             {ID_TOOLS_DOWNLOADING, QStringLiteral("&Suspend Downloading"), {}},
             {ID_TOOLS_AUTOPLAYER, QStringLiteral("Enable &Auto-Player"), {}},
             separator,
             {ID_TOOLS_QUICK_SETUP, QStringLiteral("&Quick Setup..."), {}},
             {ID_TOOLS_OPTIONS, QStringLiteral("&Options..."), {}},
         }},
        {0,
         QStringLiteral("&Help"),
         {
             {ID_HELP_CONTENTS, QStringLiteral("Help &Contents"), {}},
             {ID_HELP_HOME_PAGE, QStringLiteral("Home &Page"), {}},
             separator,
             {ID_HELP_ABOUT_JAVA, QStringLiteral("About &Java..."), {}},
             {ID_APP_ABOUT_READHALL, QStringLiteral("&About Vantrel Readhall..."), {}},
         }},
    };
}

std::vector<CommandShortcut> MainCommandShortcuts()
{
    return {
        {ID_CHANNEL_UPDATE_NOW, QKeySequence(Qt::Key_F5), false},
        {ID_ADD_BY_ADDRESS, QKeySequence(Qt::CTRL | Qt::Key_N), false},
        {ID_VIEW_SEARCH, QKeySequence(Qt::CTRL | Qt::Key_F), false},
        {ID_STORY_MARK_READ, QKeySequence(Qt::CTRL | Qt::Key_R), false},
        {ID_STORY_MARK_UNREAD, QKeySequence(Qt::CTRL | Qt::Key_U), false},
        {ID_CHANNEL_MARK_ALL_READ, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), false},
        {ID_STORY_KEEP, QKeySequence(Qt::CTRL | Qt::Key_K), false},
        {ID_STORY_FULL, QKeySequence(Qt::Key_Return), true},
        {ID_STORY_DELETE, QKeySequence(Qt::Key_Delete), true},
        {ID_APP_EXIT_READHALL, QKeySequence(Qt::CTRL | Qt::Key_Q), false},
        {ID_HELP_CONTENTS, QKeySequence(Qt::Key_F1), false},
    };
}

QKeySequence UpdateAllChannelsKeys()
{
    return QKeySequence(Qt::SHIFT | Qt::Key_F5);
}

void AssignCommandShortcuts(CMDIFrameWnd* frame, const std::function<void()>& updateAll)
{
    for (const CommandShortcut& shortcut : MainCommandShortcuts()) {
        QAction* action = frame->GetCommandAction(shortcut.id);
        action->setShortcut(shortcut.keys);
        // A key the lists take themselves is shown in the menu but never fires from here.
        action->setShortcutContext(shortcut.shownOnly ? Qt::WidgetShortcut : Qt::WindowShortcut);
    }
    auto* keys = new QShortcut(UpdateAllChannelsKeys(), frame);
    keys->setObjectName(QStringLiteral("UpdateAllChannels"));
    QObject::connect(keys, &QShortcut::activated, frame, updateAll);
}

std::vector<UINT> MainToolbarButtons()
{
    return {
        ID_CHANNEL_UPDATE_NOW,
        ID_CHANNEL_PROPERTIES,
        ID_CHANNEL_SUBSCRIBE,
        ID_CHANNEL_UNSUBSCRIBE,
        ID_SEPARATOR,
        ID_STORY_PLAY,
        ID_ANIMATION_STOP,
        ID_STORY_FULL,
        ID_STORY_SUMMARY,
        ID_STORY_DELETE,
        ID_STORY_KEEP,
        ID_STORY_DOWNLOAD,
        ID_SEPARATOR,
        ID_VIEW_UNREAD_ONLY,
        ID_CHANNEL_MARK_ALL_READ,
        ID_SEPARATOR,
        ID_VIEW_EXPAND_BROWSER,
        ID_SEPARATOR,
        ID_TOOLS_CHANNEL_STATUS,
        ID_SEPARATOR,
        ID_HELP_CONTENTS,
    };
}

std::vector<UINT> MainStatusPanes()
{
    return {
        ID_SEPARATOR, ID_INDICATOR_SECURE, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL,
    };
}

namespace
{

// A menu text from a format of the string table with the name in place of "%s"; the name is
// shown as it is: an "&" in it is not an access key.
QString formatWithName(UINT formatId, const char* fallbackFormat, const QString& name)
{
    QString shown = name;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    return LoadStringOr(formatId, fallbackFormat).replace(QLatin1String("%s"), shown);
}

} // namespace

QString ReplayMenuText(const QString& animationName, const QString& fallbackName)
{
    QString name = animationName.trimmed();
    if (name.size() > REPLAY_NAME_MAX)
        name = name.left(REPLAY_NAME_MAX) + QStringLiteral("...");
    if (name.isEmpty())
        name = fallbackName;
    return formatWithName(IDS_REPLAY_NAMED, "Repla&y '%s'", name);
}

// ---- the main frame's commands

namespace
{

// The template of the active child frame's document (null without an active child).
CDocTemplate* activeTemplate(const CMainFrame* frame)
{
    CMDIChildWnd* child = frame->MDIGetActive();
    CDocument* doc = child ? child->GetActiveDocument() : nullptr;
    return doc ? doc->GetDocTemplate() : nullptr;
}

struct WindowCommand {
    UINT id;
    int kind;
};

constexpr WindowCommand kWindowCommands[] = {
    {ID_VIEW_CHANNEL_CONTENT, TEMPLATE_CHANNEL}, {ID_VIEW_SEARCH, TEMPLATE_SEARCH},
    {ID_VIEW_ALERTS, TEMPLATE_ALERTS},           {ID_VIEW_CHANNEL_DIRECTORY, TEMPLATE_DIRECTORY},
    {ID_VIEW_BROWSER, TEMPLATE_BROWSER},
};

} // namespace

CDocument* CMainFrame::ShowWindowKind(int kind)
{
    CReadhallApp* app = CReadhallApp::instance();
    CDocTemplate* docTemplate = app ? app->GetTemplate(kind) : nullptr;
    CDocument* doc = nullptr;
    if (docTemplate) {
        if (docTemplate->GetDocumentCount() > 0) {
            // Only the first window of the kind is ever brought forward.
            doc = docTemplate->GetFirstDocument();
            CView* view = doc->GetFirstView();
            if (CMDIChildWnd* child = view ? view->GetParentFrame() : nullptr) {
                child->BringToTop();
                child->MDIActivate();
            }
        } else {
            doc = docTemplate->OpenDocumentFile(QString(), 1);
        }
    }
    // The navigation bar marks the window's item.
    if (m_pNavigationBar) {
        const HWND bar = WindowFromWidget(m_pNavigationBar);
        if (bar && bar != hwnd())
            SendMessage(bar, WM_NAVBAR_SELECTVIEW, static_cast<WPARAM>(NavigationViewOf(kind)), 0);
    }
    return doc;
}

void CMainFrame::startSibling(const char* programName)
{
    QKBuffer directory;
    if (VTGetDirectory(0, directory) != 1)
        return;
    const QString path = SiblingProgramPath(programName);
    if (GetFileAttributes(path) == INVALID_FILE_ATTRIBUTES)
        return;
    StartProgram(path, QStringList());
}

void CMainFrame::onPublishingWizard()
{
    if (IsWebBrowserAvailable()) {
        ShowWindowKind(TEMPLATE_PUBLISHING);
        return;
    }
    QString startPage;
    if (GetPublishingStartPage(startPage)) {
        VTShellURL(startPage);
        return;
    }
    MessageBox(this,
               LoadStringOr(IDS_PUBLISHING_MISSING, "Publishing Wizard not installed properly"),
               m_strWindowTitle, MB_OK | MB_ICONEXCLAMATION);
}

void CMainFrame::onChannelStatus()
{
    if (const HWND engineWindow = FindWindow(QString::fromLatin1(QSENGINE_NOTIFICATIONS_CLASS)))
        SetForegroundWindow(engineWindow);
    BroadcastNotification(VTNOTIFICATION_SHOW_CHANNEL_STATUS, QString(), 0);
}

QString DefaultHomePage()
{
    // The engine's welcome page works offline and describes this installation; the web
    // address is the fallback for an engine that has none.
    QKBuffer dataDir;
    if (VTGetDirectory(1, dataDir)) {
        const QFileInfo page(dataDir.GetText() + QStringLiteral("/readhall.htm"));
        if (page.isFile())
            return QUrl::fromLocalFile(page.absoluteFilePath()).toString();
    }
    return QString::fromLatin1(READHALL_DEFAULT_HOME_PAGE);
}

void CMainFrame::onHomePage()
{
    QString address = settings::homePageUrl();
    if (address.isEmpty())
        address = DefaultHomePage();
    ShowURL(address);
}

void CMainFrame::showHelpContents()
{
    CReadhallApp* app = CReadhallApp::instance();
    ShowHelpViewer(this, app ? app->m_helpFilePath : QString());
}

void CMainFrame::registerCommands()
{
    registerFileCommands();
    registerViewCommands();
    registerChannelCommands();
    registerContentCommands();
    registerToolsCommands();
    registerHelpCommands();
}

namespace
{

// An update rule that enables the item unless the engine's workgroup restrictions forbid it.
CCmdTarget::UpdateHandler unlessRestricted(uint32_t restriction)
{
    return [restriction](CCmdUI* ui) { ui->Enable(!(GetWorkgroupRestrictions() & restriction)); };
}

// An engine switch of the Tools menu: the command flips it; the item names what a click
// does. When the engine cannot say how the switch stands, the item keeps its text and state.
struct EngineSwitch {
    std::function<int(int&)> get;
    std::function<int(int)> set;
    UINT whenOn;
    const char* whenOnFallback;
    UINT whenOff;
    const char* whenOffFallback;
};

} // namespace

void CMainFrame::registerFileCommands()
{
    onCommand(ID_START_TICKER, [this] { startSibling(TICKER_PROGRAM); });
    onUpdate(ID_START_TICKER, [](CCmdUI* ui) { ui->Enable(IsTickerPresent()); });
    onCommand(ID_START_TITLESTRIP, [this] { startSibling(TITLESTRIP_PROGRAM); });
    onUpdate(ID_START_TITLESTRIP, [](CCmdUI* ui) { ui->Enable(IsTitlestripPresent()); });
    onCommand(ID_START_SCREENSAVER, [this] { startSibling(SCREENSAVER_PROGRAM); });
    onUpdate(ID_START_SCREENSAVER, [](CCmdUI* ui) { ui->Enable(IsScreenSaverPresent()); });
    onCommand(ID_SHUTDOWN_ENGINE, [] { VTShutdown(); });
    onUpdate(ID_SHUTDOWN_ENGINE, [this](CCmdUI* ui) {
        ui->SetText(formatWithName(IDS_SHUTDOWN_FORMAT, "Sh&ut Down %s", m_strApplicationName));
        ui->Enable(1);
    });
    onCommand(ID_APP_EXIT_READHALL, [this] {
        if (!m_destroyed)
            OnClose();
    });
    onUpdate(ID_APP_EXIT_READHALL, [this](CCmdUI* ui) {
        ui->SetText(formatWithName(IDS_EXIT_FORMAT, "E&xit %s", m_strWindowTitle));
        ui->Enable(1);
    });
}

void CMainFrame::registerViewCommands()
{
    // The window kinds: the active window's kind carries the radio mark.
    for (const WindowCommand& command : kWindowCommands) {
        onCommand(command.id, [this, command] { ShowWindowKind(command.kind); });
        onUpdate(command.id, [this, command](CCmdUI* ui) {
            CDocTemplate* active = activeTemplate(this);
            ui->SetRadio(active && active == CReadhallApp::TemplateOf(command.kind));
            ui->Enable(1);
        });
    }
    onCommand(ID_VIEW_PUBLISHING_WIZARD, [this] { onPublishingWizard(); });
    onUpdate(ID_VIEW_PUBLISHING_WIZARD, [this](CCmdUI* ui) {
        CDocTemplate* active = activeTemplate(this);
        ui->SetRadio(active && active == CReadhallApp::TemplateOf(TEMPLATE_PUBLISHING));
        ui->Enable(IsPublishingWizardAvailable());
    });

    // The bars: a locked bar keeps its place.
    registerBarToggle(
        ID_VIEW_NAVIGATION_BAR, [this] { return m_pNavigationBar; }, &m_lockNavigationBar);
    registerBarToggle(
        ID_VIEW_TOOLBAR, [this] { return GetToolBar(); }, &m_lockToolbar);
    registerBarToggle(
        ID_VIEW_STATUS_BAR, [this] { return GetStatusBar(); }, &m_lockStatusBar);

    // The switches. An open channel or search window takes the browser switch itself; here
    // it only changes what the next window shows.
    onCommand(ID_VIEW_USE_EMBEDDED_BROWSER,
              [] { settings::setUseEmbeddedBrowser(!settings::useEmbeddedBrowser()); });
    onUpdate(ID_VIEW_USE_EMBEDDED_BROWSER,
             [](CCmdUI* ui) { UpdateEmbeddedBrowserSwitch(ui, settings::useEmbeddedBrowser()); });
    onCommand(ID_VIEW_UNREAD_ONLY, [this] {
        CReadhallApp* app = CReadhallApp::instance();
        if (!app)
            return;
        app->m_bShowUnreadItemsOnly = app->m_bShowUnreadItemsOnly ? 0 : 1;
        app->BroadcastMessage(m_nUnreadOnlyMessage,
                              static_cast<WPARAM>(app->m_bShowUnreadItemsOnly), 0);
    });
    onUpdate(ID_VIEW_UNREAD_ONLY, [](CCmdUI* ui) {
        CReadhallApp* app = CReadhallApp::instance();
        ui->SetCheck(app && app->m_bShowUnreadItemsOnly ? 1 : 0);
        ui->Enable(app != nullptr);
    });
}

void CMainFrame::registerBarToggle(UINT id, std::function<QWidget*()> bar, const BOOL* locked)
{
    onCommand(id, [this, bar] {
        if (QWidget* shown = bar())
            ShowControlBar(shown, !IsBarVisible(shown), 0);
    });
    onUpdate(id, [this, bar, locked](CCmdUI* ui) {
        QWidget* shown = bar();
        ui->SetCheck(shown && IsBarVisible(shown));
        ui->Enable(shown && !*locked);
    });
}

void CMainFrame::registerChannelCommands()
{
    // The commands on one channel belong to the channel window; the frame adds servers.
    onCommand(ID_ADD_WEB_DIRECTORY, [this] { VTShowChannelDirectory(this); });
    onCommand(ID_ADD_BY_ADDRESS, [this] { VTNewChannel(this); });
    onUpdate(ID_ADD_BY_ADDRESS, unlessRestricted(VTRESTRICT_ADD_BY_ADDRESS));
}

void CMainFrame::registerContentCommands()
{
    // The story commands belong to the story lists; the frame has the animations and the
    // wallpaper.
    onCommand(ID_ANIMATION_REPLAY, [] {
        uint32_t channelId = 0;
        uint32_t bundletId = 0;
        QKBuffer name;
        if (VTGetLastAnimationInfo(channelId, bundletId, name))
            VTPlayBundlet(channelId, bundletId);
    });
    onUpdate(ID_ANIMATION_REPLAY, [this](CCmdUI* ui) {
        int canReplay = 0;
        VTCanReplayLastAnimation(canReplay);
        uint32_t channelId = 0;
        uint32_t bundletId = 0;
        QKBuffer name;
        if (m_bAnimationPlaying || !canReplay ||
            !VTGetLastAnimationInfo(channelId, bundletId, name)) {
            ui->Enable(0);
            ui->SetText(LoadStringOr(IDS_REPLAY_LAST, "Repla&y Last"));
            return;
        }
        QString channelName;
        if (name.GetText().trimmed().isEmpty()) {
            if (CServices* services = GetCServices()) {
                if (CService* channel = services->GetServiceByID(channelId))
                    channel->GetDisplayName(channelName);
                ReleaseCServices();
            }
        }
        ui->Enable(1);
        ui->SetText(ReplayMenuText(name.GetText(), channelName));
    });
    onCommand(ID_ANIMATION_STOP, [] { VTStopCurrentAnimation(); });
    onUpdate(ID_ANIMATION_STOP, [this](CCmdUI* ui) { ui->Enable(m_bAnimationPlaying ? 1 : 0); });
    onCommand(ID_REMOVE_WALLPAPER, [] { VTRemoveWallpaper(); });
}

void CMainFrame::registerToolsCommands()
{
    onCommand(ID_TOOLS_ALERTS, [this] { VTAlertSettings(this); });
    onUpdate(ID_TOOLS_ALERTS, unlessRestricted(VTRESTRICT_ALERT_SETTINGS));
    onCommand(ID_TOOLS_FILTERS, [this] { VTFilterSettings(this); });
    onUpdate(ID_TOOLS_FILTERS, unlessRestricted(VTRESTRICT_FILTER_SETTINGS));
    onCommand(ID_TOOLS_CHANNEL_STATUS, [this] { onChannelStatus(); });
    const std::pair<UINT, EngineSwitch> switches[] = {
        {ID_TOOLS_DOWNLOADING,
         {VTGetDownloadEnabled, VTSetDownloadEnabled, IDS_SUSPEND_DOWNLOAD, "Suspend &Downloading",
          IDS_RESUME_DOWNLOAD, "Resume &Downloading"}},
        {ID_TOOLS_AUTOPLAYER,
         {VTGetAutoplayEnabled, VTSetAutoplayEnabled, IDS_STOP_AUTOPLAYER, "Stop &Auto-Player",
          IDS_START_AUTOPLAYER, "Start &Auto-Player"}},
    };
    for (const auto& [id, engineSwitch] : switches) {
        onCommand(id, [engineSwitch = engineSwitch] {
            int enabled = 0;
            if (engineSwitch.get(enabled))
                engineSwitch.set(enabled ? 0 : 1);
        });
        onUpdate(id, [engineSwitch = engineSwitch](CCmdUI* ui) {
            int enabled = 0;
            if (!engineSwitch.get(enabled))
                return;
            ui->SetText(enabled ? LoadStringOr(engineSwitch.whenOn, engineSwitch.whenOnFallback)
                                : LoadStringOr(engineSwitch.whenOff, engineSwitch.whenOffFallback));
            ui->Enable(1);
        });
    }
    onCommand(ID_TOOLS_QUICK_SETUP, [this] { VTQuickSetupOptions(this); });
    onCommand(ID_TOOLS_OPTIONS, [this] { VTGlobalOptions(this); });
}

void CMainFrame::registerHelpCommands()
{
    onCommand(ID_HELP_CONTENTS, [this] { showHelpContents(); });
    onCommand(ID_HELP_HOME_PAGE, [this] { onHomePage(); });
    onCommand(ID_HELP_ABOUT_JAVA, [this] {
        CAboutJavaDlg dialog(this);
        dialog.exec();
    });
    onCommand(ID_APP_ABOUT_READHALL, [this] {
        CAboutDlg dialog(this);
        dialog.exec();
    });
}
