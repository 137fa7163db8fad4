#include "src/navbar/navigationbar.h"

#include "src/engine/messages.h"
#include "src/framework/childframe.h"
#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/framework/mainframe.h"
#include "src/framework/winapp.h"
#include "src/navbar/navbarids.h"
#include "src/platform/messagebox.h"
#include "src/platform/messagewindow.h"
#include "src/platform/resources.h"
#include "src/shared/appservices.h"
#include "src/shared/dragdrop.h"
#include "src/shared/mainframelink.h"
#include "src/shared/programstate.h"
#include "src/shared/settings.h"
#include "src/shared/startupchecks.h"
#include "src/shared/windowkinds.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"
#include "vantrel/qkcoolbutton.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace
{

// The mode of the branding button: a picture that reacts to the mouse.
constexpr uint32_t kBrandingMode = QKCoolButton::QKCB_BITMAP | QKCoolButton::QKCB_HOT;
// Room beside the logo when the bar is at its narrowest.
constexpr int kLogoMargin = 8;

std::function<UINT(QMenu&)>& menuTrackHook()
{
    static std::function<UINT(QMenu&)> hook;
    return hook;
}

// The registered directory change messages the bar follows.
struct RefreshMessages {
    UINT updated;
    UINT added;
    UINT deleted;
    UINT attributeChanged;
};

const RefreshMessages& refreshMessages()
{
    static const RefreshMessages ids{
        RegisterWindowMessage(QString::fromLatin1(REFRESHCODE_CHANNEL_UPDATED)),
        RegisterWindowMessage(QString::fromLatin1(REFRESHCODE_CHANNEL_ADDED)),
        RegisterWindowMessage(QString::fromLatin1(REFRESHCODE_CHANNEL_DELETED)),
        RegisterWindowMessage(QString::fromLatin1(REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED)),
    };
    return ids;
}

// The items of the views group: text, the settings value naming a picture file, the
// built-in picture and the view code.
struct ViewItem {
    UINT text;
    const char* fallback;
    settings::HeaderPicture picture;
    UINT resource;
    int view;
};

constexpr ViewItem kViewItems[] = {
    {IDS_VIEW_CHANNEL_CONTENT, "View Channel Content", settings::HeaderPicture::Channel,
     IDB_NAV_CHANNEL_CONTENT, NAVVIEW_CHANNEL},
    {IDS_SUBSCRIBE_TO_CHANNELS, "Subscribe to Channels", settings::HeaderPicture::Directory,
     IDB_NAV_DIRECTORY, NAVVIEW_DIRECTORY},
    {IDS_VIEW_ALERTS, "View Alerts", settings::HeaderPicture::Alert, IDB_NAV_ALERTS,
     NAVVIEW_ALERTS},
    {IDS_SEARCH_CONTENT, "Search Content", settings::HeaderPicture::Search, IDB_NAV_SEARCH,
     NAVVIEW_SEARCH},
};
constexpr ViewItem kPublishingItem = {IDS_PUBLISHING_WIZARD, "Publishing Wizard",
                                      settings::HeaderPicture::PublishingWizard, IDB_NAV_PUBLISHING,
                                      NAVVIEW_PUBLISHING};

// The window kind a view code opens (-1: none).
int kindOfView(DWORD view)
{
    for (int kind = 0; kind < TEMPLATE_COUNT; ++kind) {
        if (NavigationViewOf(kind) == static_cast<int>(view))
            return kind;
    }
    return -1;
}

bool isUserOrChannelGroup(DWORD type)
{
    return type == NAVGROUP_ALL_CHANNELS || type == NAVGROUP_USER;
}

// A stored title as a user group may carry it: no backslash (it would name a nested key).
QString storableTitle(const QString& title)
{
    QString result = title;
    result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return result;
}

} // namespace

// The bar's inside: the logo band with the branding button over the group bar.
class CNavigationBarPanel : public QWidget
{
public:
    explicit CNavigationBarPanel(CNavigationBar* bar) : QWidget(bar), m_bar(bar)
    {
        setObjectName(QStringLiteral("NavigationBarPanel"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QPalette& colours = palette();
        painter.fillRect(rect(), colours.color(QPalette::Button));
        const QRect area(0, 0, width(), NAVBAR_LOGO_AREA);
        painter.fillRect(area, m_bar->GetLogoBackgroundColor());
        // A sunken edge: shadow top and left, highlight bottom and right.
        painter.setPen(colours.color(QPalette::Dark));
        painter.drawLine(area.topLeft(), area.topRight());
        painter.drawLine(area.topLeft(), area.bottomLeft());
        painter.setPen(colours.color(QPalette::Light));
        painter.drawLine(area.bottomLeft(), area.bottomRight());
        painter.drawLine(area.topRight(), area.bottomRight());
    }
    void resizeEvent(QResizeEvent*) override { m_bar->layoutPanel(); }

private:
    CNavigationBar* m_bar;
};

CNavigationBar::CNavigationBar(QWidget* mainFrame)
    : QDockWidget(mainFrame), CWnd(QStringLiteral("CNavigationBar"), this)
{
    setObjectName(QStringLiteral("NavigationBar"));
    setWindowTitle(QStringLiteral("Navigation Bar"));
    registerMessages();
    registerCommands();
}

CNavigationBar::~CNavigationBar()
{
    if (m_created)
        SaveGroups(settings::navigationBarLayoutKeyPath());
    if (m_subscribed)
        CServicesUnsubscribeNotifications(hwnd());
}

void CNavigationBar::SetMenuTrackHook(std::function<UINT(QMenu&)> hook)
{
    menuTrackHook() = std::move(hook);
}

// ---- creation

void CNavigationBar::loadLogo()
{
    m_logo = QPixmap();
    if (settings::useLogoFromFile()) {
        // The engine's data folder first, then its program folder.
        for (int kind : {1, 0}) {
            QKBuffer folder;
            if (!VTGetDirectory(kind, folder) || folder.GetText().isEmpty())
                continue;
            m_logo =
                LoadPictureFile(QDir(folder.GetText()).filePath(QLatin1String(NAVBAR_LOGO_FILE)));
            if (!m_logo.isNull())
                break;
        }
    }
    if (m_logo.isNull())
        m_logo = LoadBitmapResource(IDB_NAV_LOGO);
}

BOOL CNavigationBar::Create()
{
    if (m_created)
        return 1;
    // A locked bar stays where the settings put it: it cannot be closed, moved or floated.
    if (settings::barLocked(settings::Bar::NavigationBar))
        setFeatures(QDockWidget::NoDockWidgetFeatures);
    else
        setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);

    m_logoColour = settings::logoBackgroundColor();
    loadLogo();

    m_panel = new CNavigationBarPanel(this);
    m_branding = new QKCoolButton(m_panel);
    if (!m_branding->Create(QStringLiteral("BrandingButton"), QKCoolButton::StyleVisible,
                            kBrandingMode, QRect(), m_panel, IDC_NAVBAR_BRANDING))
        return 0;
    m_branding->setObjectName(QStringLiteral("BrandingButton"));
    if (CAppServices* app = AppServices())
        m_branding->SetPalette(app->palette());
    m_branding->SetBitmaps(m_logo);
    m_branding->SizeToContent();
    m_branding->setCursor(Qt::PointingHandCursor);
    connect(m_branding, &QKCoolButton::command, this, [this](uint32_t) { OnBranding(); });

    m_groupBar = new CGroupBar(m_panel);
    m_groupBar->SetColors(settings::navigationBarBackColor(), settings::navigationBarTextColor());
    connect(m_groupBar, &CGroupBar::itemPressed, this,
            [this](int item) { ActivateItem(m_groupBar->GetOpenGroup(), item); });
    connect(m_groupBar, &CGroupBar::itemContextMenu, this, &CNavigationBar::OnItemContextMenu);
    connect(m_groupBar, &CGroupBar::groupContextMenu, this, &CNavigationBar::OnGroupContextMenu);
    connect(m_groupBar, &CGroupBar::titleEdited, this,
            [this](int group, const QString& text) { RenameUserGroup(group, text); });
    m_panel->setMinimumWidth(m_logo.width() + kLogoMargin);
    setWidget(m_panel);

    m_created = true;
    BuildGroups();

    // The group and item open at the last close, unless that is the directory item (the
    // directory window takes long to open, and is not what a start should wait for).
    const QString layoutKey = settings::navigationBarLayoutKeyPath();
    const int lastGroup = static_cast<int>(
        settings::navigationLastActive(layoutKey, settings::NavigationLast::Group));
    const int lastEntry = static_cast<int>(
        settings::navigationLastActive(layoutKey, settings::NavigationLast::Entry));
    const bool directoryItem = m_groupBar->GetGroupType(lastGroup) == NAVGROUP_VIEWS &&
                               m_groupBar->GetItemValue(lastGroup, lastEntry) == NAVVIEW_DIRECTORY;
    if (lastGroup >= 0 && lastEntry >= 0 && lastEntry < m_groupBar->GetItemCount(lastGroup) &&
        !directoryItem) {
        m_groupBar->OpenGroup(lastGroup);
        m_groupBar->SelectItem(lastEntry);
    } else if (m_groupBar->GetItemCount(m_groupBar->GetOpenGroup()) > 0) {
        m_groupBar->SelectItem(0);
    }

    m_subscribed = CServicesSubscribeNotifications(hwnd()) != 0;
    // The groups of a first start are stored at once: the values just read created the
    // layout key, and a key without groups would mean "no groups" if the program did not get
    // to close normally.
    if (m_firstStart)
        saveLayout();
    PostMessage(hwnd(), WM_NAVBAR_ACTIVATE, 0, 0);
    return 1;
}

void CNavigationBar::layoutPanel()
{
    if (!m_panel)
        return;
    const int width = m_panel->width();
    if (m_branding) {
        const QSize size = m_branding->size();
        m_branding->move((width - size.width()) / 2, (NAVBAR_LOGO_BAND - size.height()) / 2);
    }
    if (m_groupBar)
        m_groupBar->setGeometry(0, NAVBAR_GROUPBAR_TOP, width,
                                std::max(0, m_panel->height() - NAVBAR_GROUPBAR_TOP));
}

QDockWidget* CreateNavigationBar(QWidget* mainFrame)
{
    auto bar = std::make_unique<CNavigationBar>(mainFrame);
    if (!bar->Create())
        return nullptr;
    return bar.release();
}

// ---- groups

int CNavigationBar::FindGroup(DWORD type) const
{
    for (int group = 0; group < m_groupBar->GetGroupCount(); ++group) {
        if (m_groupBar->GetGroupType(group) == type)
            return group;
    }
    return -1;
}

void CNavigationBar::addViewItems(int group)
{
    auto add = [this, group](const ViewItem& view) {
        CNavItem item;
        item.text = LoadStringOr(view.text, view.fallback);
        item.imageFile = settings::headerPictureFile(view.picture);
        item.imageResource = view.resource;
        item.value = static_cast<DWORD>(view.view);
        item.viewFlag = 1;
        m_groupBar->AddItem(group, -1, item);
    };
    for (const ViewItem& view : kViewItems)
        add(view);
    if (IsPublishingWizardAvailable())
        add(kPublishingItem);
}

void CNavigationBar::BuildGroups()
{
    m_groupBar->RemoveAll();
    const bool allChannels = settings::displayAllChannelsGroup();
    const bool views = allChannels ? settings::displayViewsGroup() : true;
    if (views)
        addViewItems(m_groupBar->AddGroup(0, LoadStringOr(IDS_VIEWS, "Views"), NAVGROUP_VIEWS, 0));
    if (allChannels) {
        const int group = m_groupBar->AddGroup(-1, LoadStringOr(IDS_ALL_CHANNELS, "All Channels"),
                                               NAVGROUP_ALL_CHANNELS, 0);
        std::vector<uint32_t> channels;
        if (CServices* services = GetCServices()) {
            for (int i = 0; i < services->GetNoServices(); ++i) {
                uint32_t id = 0;
                if (CService* channel = services->GetService(i);
                    channel && channel->GetServiceID(id))
                    channels.push_back(id);
            }
            ReleaseCServices();
        }
        for (uint32_t id : channels)
            AddChannelItem(group, id, -1);
    }
    m_firstStart = !LoadGroups(settings::navigationBarLayoutKeyPath());
    if (m_firstStart)
        m_groupBar->AddGroup(-1, LoadStringOr(IDS_FAVORITES, "Favorites"), NAVGROUP_USER);
    m_groupBar->update();
}

BOOL CNavigationBar::LoadGroups(const QString& keyPath)
{
    std::vector<settings::NavigationGroup> stored;
    if (!settings::readNavigationGroups(keyPath, stored))
        return 0;
    for (const settings::NavigationGroup& group : stored) {
        // Layouts stored before titles were kept apart may hold two groups of one title (or a
        // title with a backslash); each group gets a title of its own, so that the next save
        // keeps both.
        const int index =
            m_groupBar->AddGroup(-1, FreeGroupTitle(storableTitle(group.title)), NAVGROUP_USER, 0);
        for (DWORD channel : group.channels)
            AddChannelItem(index, channel, m_groupBar->GetItemCount(index));
    }
    return 1;
}

void CNavigationBar::SaveGroups(const QString& keyPath)
{
    std::vector<settings::NavigationGroup> groups;
    for (int group = 0; group < m_groupBar->GetGroupCount(); ++group) {
        if (m_groupBar->GetGroupType(group) != NAVGROUP_USER)
            continue;
        settings::NavigationGroup stored;
        stored.title = m_groupBar->GetGroupTitle(group);
        for (int item = 0; item < m_groupBar->GetItemCount(group); ++item)
            stored.channels.push_back(m_groupBar->GetItemValue(group, item));
        groups.push_back(std::move(stored));
    }
    const int open = m_groupBar->GetOpenGroup();
    const int selected = m_groupBar->GetSelectedItem();
    settings::writeNavigationLayout(keyPath, static_cast<DWORD>(std::max(open, 0)),
                                    static_cast<DWORD>(std::max(selected, 0)), groups);
}

void CNavigationBar::saveLayout()
{
    if (m_created)
        SaveGroups(settings::navigationBarLayoutKeyPath());
}

bool CNavigationBar::channelItem(uint32_t channelId, CNavItem& item)
{
    CServices* services = GetCServices();
    if (!services)
        return false;
    const CService* channel = services->GetServiceByID(channelId);
    if (channel) {
        item = CNavItem();
        channel->GetDisplayName(item.text);
        QString logo;
        if (channel->GetLogoBitmapFile(logo) && !logo.isEmpty() && QFileInfo::exists(logo))
            item.imageFile = logo;
        else
            item.imageResource =
                channelId == VT_ALERTS_CHANNEL_ID ? IDB_NAV_ALERTS_CHANNEL : IDB_NAV_CHANNEL;
        item.value = channelId;
        item.viewFlag = 0;
    }
    ReleaseCServices();
    return channel != nullptr;
}

void CNavigationBar::AddChannelItem(int group, uint32_t channelId, int position)
{
    if (group < 0 || group >= m_groupBar->GetGroupCount())
        return;
    CNavItem item;
    if (!channelItem(channelId, item))
        return;
    if (position < 0) {
        // Before the first item whose name sorts after the new one.
        const int count = m_groupBar->GetItemCount(group);
        position = count;
        for (int i = 0; i < count; ++i) {
            if (QString::compare(m_groupBar->GetItemText(group, i), item.text,
                                 Qt::CaseInsensitive) > 0) {
                position = i;
                break;
            }
        }
    }
    m_groupBar->AddItem(group, position, item);
}

QString CNavigationBar::FreeGroupTitle(const QString& base, int exceptGroup) const
{
    auto taken = [this, exceptGroup](const QString& title) {
        for (int group = 0; group < m_groupBar->GetGroupCount(); ++group) {
            if (group != exceptGroup && m_groupBar->GetGroupType(group) == NAVGROUP_USER &&
                m_groupBar->GetGroupTitle(group).compare(title, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    if (!taken(base))
        return base;
    for (int n = 2;; ++n) {
        const QString title = QStringLiteral("%1 (%2)").arg(base).arg(n);
        if (!taken(title))
            return title;
    }
}

BOOL CNavigationBar::RenameUserGroup(int group, const QString& text)
{
    if (m_groupBar->GetGroupType(group) != NAVGROUP_USER)
        return 0;
    const QString title = text.simplified();
    if (title == m_groupBar->GetGroupTitle(group))
        return 1;
    QString refusal;
    if (title.isEmpty())
        refusal = LoadStringOr(IDS_GROUP_TITLE_EMPTY, "A group needs a name.");
    else if (title.contains(QLatin1Char('\\')))
        refusal =
            LoadStringOr(IDS_GROUP_TITLE_BACKSLASH, "A group name cannot contain a backslash.");
    else if (FreeGroupTitle(title, group) != title)
        refusal = LoadStringOr(IDS_GROUP_TITLE_TAKEN,
                               "There is already a group named '%s'. Please choose another name.")
                      .replace(QLatin1String("%s"), title);
    if (!refusal.isEmpty()) {
        MessageBox(this, refusal, LoadStringOr(IDS_MAINFRAME_TITLE, "Readhall"),
                   MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    m_groupBar->SetGroupTitle(group, title);
    saveLayout();
    return 1;
}

void CNavigationBar::NewGroup()
{
    const int group = m_groupBar->AddGroup(
        -1, FreeGroupTitle(LoadStringOr(IDS_NEW_GROUP_TITLE, "New Group")), NAVGROUP_USER);
    saveLayout();
    m_groupBar->EditTitle(group);
}

// ---- activation

void CNavigationBar::ActivateItem(int group, int item)
{
    const CNavItem* target = m_groupBar->GetItem(group, item);
    CMainFrameLink* frame = MainFrameLink();
    if (!target || !frame)
        return;
    const DWORD type = m_groupBar->GetGroupType(group);
    if (type == NAVGROUP_VIEWS) {
        if (target->value == NAVVIEW_PUBLISHING) {
            openPublishingWizard();
            return;
        }
        const int kind = kindOfView(target->value);
        if (kind >= 0)
            frame->ShowWindowKind(kind);
        return;
    }
    if (!isUserOrChannelGroup(type))
        return;
    // The channel's window comes forward; the bar stays on the user's group.
    m_keepSelection = true;
    if (target->value == VT_ALERTS_CHANNEL_ID)
        frame->ShowWindowKind(TEMPLATE_ALERTS);
    else
        frame->ShowChannel(target->value);
    m_keepSelection = false;
}

void CNavigationBar::openPublishingWizard()
{
    if (IsWebBrowserAvailable()) {
        if (CMainFrameLink* frame = MainFrameLink())
            frame->ShowWindowKind(TEMPLATE_PUBLISHING);
    } else {
        QString startPage;
        if (GetPublishingStartPage(startPage))
            VTShellURL(startPage);
        else
            MessageBox(
                this,
                LoadStringOr(IDS_PUBLISHING_MISSING, "Publishing Wizard not installed properly"),
                LoadStringOr(IDS_MAINFRAME_TITLE, "Readhall"), MB_OK | MB_ICONEXCLAMATION);
    }
    ReselectActiveView();
}

void CNavigationBar::ReselectActiveView()
{
    CMDIFrameWnd* main = AfxGetMainFrame();
    CMDIChildWnd* child = main ? main->MDIGetActive() : nullptr;
    CDocument* doc = child ? child->GetActiveDocument() : nullptr;
    CDocTemplate* active = doc ? doc->GetDocTemplate() : nullptr;
    CAppServices* app = AppServices();
    if (!active || !app)
        return;
    for (int kind = 0; kind < TEMPLATE_COUNT; ++kind) {
        if (app->GetTemplate(kind) == active && NavigationViewOf(kind) != 0) {
            SendMessage(hwnd(), WM_NAVBAR_SELECTVIEW, static_cast<WPARAM>(NavigationViewOf(kind)),
                        0);
            return;
        }
    }
}

LRESULT CNavigationBar::OnSelectView(int viewCode)
{
    if (m_keepSelection)
        return 0;
    m_groupBar->SelectItem(-1);
    const int group = FindGroup(NAVGROUP_VIEWS);
    if (group < 0)
        return 0;
    if (m_groupBar->GetOpenGroup() != group)
        m_groupBar->OpenGroup(group);
    for (int item = 0; item < m_groupBar->GetItemCount(group); ++item) {
        if (m_groupBar->GetItemValue(group, item) == static_cast<DWORD>(viewCode)) {
            m_groupBar->SelectItem(item);
            return 1;
        }
    }
    return 0;
}

void CNavigationBar::OnActivate()
{
    const int group = m_groupBar->GetOpenGroup();
    const int item = m_groupBar->GetSelectedItem();
    if (group >= 0 && item >= 0)
        ActivateItem(group, item);
    // The main window shows once its first window is in it.
    QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
    if (main && main != this && !main->isVisible()) {
        const CWinApp* app = AfxGetApp();
        ShowWidget(main, app ? app->m_nCmdShow : SW_SHOWNORMAL);
    }
}

void CNavigationBar::OnBranding()
{
    const QString address = settings::homePageUrl();
    if (!address.isEmpty()) {
        if (CMainFrameLink* frame = MainFrameLink())
            frame->ShowURL(address);
        return;
    }
    // No address of the deployment's own: the main frame's home page, as Help > Home Page.
    if (const HWND main = GetParent(hwnd()))
        SendMessage(main, WM_COMMAND, ID_HELP_HOME_PAGE, 0);
}

// ---- drag and drop

LRESULT CNavigationBar::OnCanDrop(WPARAM kind, LPARAM count)
{
    if (kind != DRAGKIND_CHANNEL || count <= 0 || !m_groupBar)
        return 0;
    const QPoint pos = m_groupBar->mapFromGlobal(QCursor::pos());
    const int header = m_groupBar->GroupHeaderAt(pos);
    if (header >= 0 && header != m_groupBar->GetOpenGroup())
        m_groupBar->OpenGroup(header);
    return m_groupBar->GetGroupType(m_groupBar->GetOpenGroup()) == NAVGROUP_USER ? 1 : 0;
}

LRESULT CNavigationBar::OnDropChannel(uint32_t channelId)
{
    const int open = m_groupBar ? m_groupBar->GetOpenGroup() : -1;
    if (open < 0 || m_groupBar->GetGroupType(open) != NAVGROUP_USER)
        return 0;
    CNavItem item;
    if (!channelItem(channelId, item))
        return 0;
    const QPoint pos = m_groupBar->mapFromGlobal(QCursor::pos());
    const int header = m_groupBar->GroupHeaderAt(pos);
    int position = m_groupBar->GetItemCount(open);
    if (header >= 0) {
        if (header <= open)
            position = 0;
    } else if (const int under = m_groupBar->ItemAt(pos); under >= 0) {
        position = under;
    }
    AddChannelItem(open, channelId, position);
    saveLayout();
    return 1;
}

// ---- directory changes

void CNavigationBar::onChannelAdded(uint32_t channelId)
{
    for (int group = 0; group < m_groupBar->GetGroupCount(); ++group) {
        if (m_groupBar->GetGroupType(group) != NAVGROUP_ALL_CHANNELS)
            continue;
        // The message may come after the group was built with the channel already in it.
        bool listed = false;
        for (int item = 0; item < m_groupBar->GetItemCount(group) && !listed; ++item)
            listed = m_groupBar->GetItemValue(group, item) == channelId;
        if (!listed)
            AddChannelItem(group, channelId, -1);
    }
}

void CNavigationBar::onChannelDeleted(uint32_t channelId)
{
    for (int group = 0; group < m_groupBar->GetGroupCount(); ++group) {
        if (!isUserOrChannelGroup(m_groupBar->GetGroupType(group)))
            continue;
        for (int item = m_groupBar->GetItemCount(group) - 1; item >= 0; --item) {
            if (m_groupBar->GetItemValue(group, item) == channelId)
                m_groupBar->RemoveItem(group, item);
        }
    }
}

void CNavigationBar::onChannelAttributeChanged(uint32_t channelId)
{
    CNavItem fresh;
    if (!channelItem(channelId, fresh))
        return;
    for (int group = 0; group < m_groupBar->GetGroupCount(); ++group) {
        if (!isUserOrChannelGroup(m_groupBar->GetGroupType(group)))
            continue;
        for (int item = 0; item < m_groupBar->GetItemCount(group); ++item) {
            if (m_groupBar->GetItemValue(group, item) == channelId)
                m_groupBar->SetItem(group, item, fresh);
        }
    }
}

void CNavigationBar::registerMessages()
{
    onMessage(WM_NAVBAR_SELECTVIEW,
              [this](WPARAM view, LPARAM) { return OnSelectView(static_cast<int>(view)); });
    onMessage(WM_NAVBAR_ACTIVATE, [this](WPARAM, LPARAM) -> LRESULT {
        // A dialog of start-up (Quick Setup on the first start) runs its own message loop:
        // the bar opens its window and shows the main window once that dialog is done.
        if (QApplication::activeModalWidget()) {
            QTimer::singleShot(100, this,
                               [this] { PostMessage(hwnd(), WM_NAVBAR_ACTIVATE, 0, 0); });
            return 0;
        }
        OnActivate();
        return 0;
    });
    const RefreshMessages& refresh = refreshMessages();
    onMessage(refresh.updated, [](WPARAM, LPARAM) -> LRESULT { return 0; });
    onMessage(refresh.added, [this](WPARAM channel, LPARAM) -> LRESULT {
        if (m_groupBar)
            onChannelAdded(static_cast<uint32_t>(channel));
        return 0;
    });
    onMessage(refresh.deleted, [this](WPARAM channel, LPARAM) -> LRESULT {
        if (m_groupBar)
            onChannelDeleted(static_cast<uint32_t>(channel));
        return 0;
    });
    onMessage(refresh.attributeChanged, [this](WPARAM channel, LPARAM) -> LRESULT {
        if (m_groupBar)
            onChannelAttributeChanged(static_cast<uint32_t>(channel));
        return 0;
    });
    onMessage(DragDropMessages().canDrop,
              [this](WPARAM kind, LPARAM count) { return OnCanDrop(kind, count); });
    onMessage(DragDropMessages().dropChannel, [this](WPARAM channel, LPARAM) {
        return OnDropChannel(static_cast<uint32_t>(channel));
    });
}

// ---- context menus

std::vector<CMenuItem> CNavigationBar::ChannelMenuItems(int group, int item) const
{
    std::vector<CMenuItem> items;
    const DWORD type = m_groupBar->GetGroupType(group);
    if (!isUserOrChannelGroup(type) || item < 0 || item >= m_groupBar->GetItemCount(group))
        return items;
    const uint32_t channelId = m_groupBar->GetItemValue(group, item);
    if (channelId != VT_ALERTS_CHANNEL_ID) {
        bool enabled = true;
        if (CServices* services = GetCServices()) {
            if (const CService* channel = services->GetServiceByID(channelId))
                enabled = channel->IsEnabled() != 0;
            ReleaseCServices();
        }
        if (!(GetWorkgroupRestrictions() & VTRESTRICT_UPDATE_NOW))
            items.push_back({ID_CHANNEL_UPDATE_NOW, LoadStringOr(IDS_UPDATE_NOW, "Update &Now")});
        if (enabled)
            items.push_back(
                {ID_CHANNEL_DISABLE, LoadStringOr(IDS_DISABLE_CHANNEL, "&Disable Channel")});
        else
            items.push_back(
                {ID_CHANNEL_ENABLE, LoadStringOr(IDS_ENABLE_CHANNEL, "&Enable Channel")});
        items.push_back({ID_CHANNEL_UNSUBSCRIBE, LoadStringOr(IDS_UNSUBSCRIBE, "&Unsubscribe...")});
        items.push_back({ID_CHANNEL_PROPERTIES, LoadStringOr(IDS_PROPERTIES, "&Properties...")});
    }
    if (type == NAVGROUP_USER) {
        items.emplace_back();
        items.push_back({ID_NAVBAR_REMOVE_ITEM,
                         LoadStringOr(IDS_REMOVE_FROM_BAR, "&Remove from Navigation Bar")});
    }
    return items;
}

std::vector<CMenuItem> CNavigationBar::GroupMenuItems() const
{
    return {
        {ID_NAVBAR_NEW_GROUP, LoadStringOr(IDS_NEW_GROUP_ITEM, "&New Group")},
        {ID_NAVBAR_RENAME_GROUP, LoadStringOr(IDS_RENAME_GROUP, "&Rename Group")},
        {ID_NAVBAR_DELETE_GROUP, LoadStringOr(IDS_DELETE_GROUP, "&Delete Group")},
    };
}

void CNavigationBar::trackMenu(const std::vector<CMenuItem>& items, const QPoint& globalPos)
{
    if (items.empty())
        return;
    std::unique_ptr<QMenu> menu(BuildCommandMenu(items, this, this));
    if (menuTrackHook()) {
        // The hook answers in place of a person; the answer runs as a click on it would.
        UpdateCommandActions(this, menu->actions());
        if (const UINT chosen = menuTrackHook()(*menu))
            ExecuteCommand(chosen);
        return;
    }
    menu->exec(globalPos);
}

void CNavigationBar::OnItemContextMenu(int item, const QPoint& globalPos)
{
    m_contextGroup = m_groupBar->GetOpenGroup();
    m_contextItem = item;
    m_contextChannel = m_groupBar->GetItemValue(m_contextGroup, item);
    trackMenu(ChannelMenuItems(m_contextGroup, item), globalPos);
}

void CNavigationBar::OnGroupContextMenu(int group, const QPoint& globalPos)
{
    m_contextGroup = group;
    m_contextItem = -1;
    m_contextChannel = 0;
    trackMenu(GroupMenuItems(), globalPos);
}

uint32_t CNavigationBar::contextChannel() const
{
    // The item may have gone while the menu was open (the engine removed the channel).
    if (m_contextChannel == 0 ||
        m_groupBar->GetItemValue(m_contextGroup, m_contextItem) != m_contextChannel)
        return 0;
    return m_contextChannel;
}

void CNavigationBar::registerCommands()
{
    auto withChannel = [this](std::function<void(uint32_t)> action) {
        return [this, action] {
            if (const uint32_t channel = contextChannel();
                channel && channel != VT_ALERTS_CHANNEL_ID)
                action(channel);
        };
    };
    onCommand(ID_CHANNEL_UPDATE_NOW,
              withChannel([](uint32_t channel) { VTForceChannelConnection(channel); }));
    onCommand(ID_CHANNEL_DISABLE,
              withChannel([](uint32_t channel) { VTEnableChannel(channel, 0); }));
    onCommand(ID_CHANNEL_ENABLE,
              withChannel([](uint32_t channel) { VTEnableChannel(channel, 1); }));
    onCommand(ID_CHANNEL_UNSUBSCRIBE, withChannel([this](uint32_t channel) {
                  VTUnsubscribeToSubscribedChannel(this, channel);
              }));
    onCommand(ID_CHANNEL_PROPERTIES, withChannel([this](uint32_t channel) {
                  VTShowChannelPropertiesDialog(this, channel);
              }));
    // The home server's channel cannot be switched off.
    onUpdate(ID_CHANNEL_DISABLE, [this](CCmdUI* ui) {
        bool homeServer = false;
        if (CServices* services = GetCServices()) {
            if (const CService* channel = services->GetServiceByID(contextChannel()))
                homeServer = channel->IsHomeServer() != 0;
            ReleaseCServices();
        }
        ui->Enable(!homeServer);
    });
    onCommand(ID_NAVBAR_REMOVE_ITEM, [this] {
        if (contextChannel() != 0 && m_groupBar->GetGroupType(m_contextGroup) == NAVGROUP_USER) {
            m_groupBar->RemoveItem(m_contextGroup, m_contextItem);
            saveLayout();
        }
    });

    onCommand(ID_NAVBAR_NEW_GROUP, [this] { NewGroup(); });
    auto onUserGroup = [this](CCmdUI* ui) {
        ui->Enable(m_groupBar && m_groupBar->GetGroupType(m_contextGroup) == NAVGROUP_USER);
    };
    onUpdate(ID_NAVBAR_RENAME_GROUP, onUserGroup);
    onUpdate(ID_NAVBAR_DELETE_GROUP, onUserGroup);
    onCommand(ID_NAVBAR_RENAME_GROUP, [this] {
        if (m_groupBar->GetGroupType(m_contextGroup) == NAVGROUP_USER)
            m_groupBar->EditTitle(m_contextGroup);
    });
    onCommand(ID_NAVBAR_DELETE_GROUP, [this] {
        if (m_groupBar->GetGroupType(m_contextGroup) != NAVGROUP_USER)
            return;
        const int group = m_contextGroup;
        if (MessageBox(this,
                       LoadStringOr(IDS_DELETE_GROUP_QUESTION,
                                    "Are you sure you want to delete this group?"),
                       LoadStringOr(IDS_MAINFRAME_TITLE, "Readhall"),
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        m_groupBar->RemoveGroup(group);
        m_contextGroup = -1;
        saveLayout();
    });
}
