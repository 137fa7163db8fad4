#include "src/channel/channelheaderview.h"

#include "src/channel/categorytext.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelmenu.h"
#include "src/platform/resources.h"
#include "src/shared/mainframelink.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"
#include "vantrel/qkcoolbutton.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

namespace
{
std::function<void(BOOL)>& secureHook()
{
    static std::function<void(BOOL)> hook;
    return hook;
}
std::function<int(QMenu&)>& trackHook()
{
    static std::function<int(QMenu&)> hook;
    return hook;
}
std::function<int()>& itemsPerColumnHook()
{
    static std::function<int()> hook;
    return hook;
}

} // namespace

void CChannelHeaderView::SetSecureIndicatorHook(std::function<void(BOOL)> hook)
{
    secureHook() = std::move(hook);
}

void CChannelHeaderView::SetMenuTrackHook(std::function<int(QMenu&)> hook)
{
    trackHook() = std::move(hook);
}

void CChannelHeaderView::SetItemsPerColumnHook(std::function<int()> hook)
{
    itemsPerColumnHook() = std::move(hook);
}

CChannelHeaderView::CChannelHeaderView(QWidget* parent)
    : CBaseHeaderView(QStringLiteral("CChannelHeaderView"), parent)
{
    setObjectName(QStringLiteral("ChannelHeader"));
    SetTitle(QStringLiteral("Channels"));
    SetLineCount(2);
    SetButtonClickable(0, true);
    SetPicture(LoadHeaderPicture(settings::HeaderPicture::Channel, IDB_CHANNEL_BITMAP));
    RegisterCommands();
}

CChannelHeaderView::~CChannelHeaderView() = default;

CChannelDoc* CChannelHeaderView::GetChannelDoc() const
{
    return qobject_cast<CChannelDoc*>(GetDocument());
}

int CChannelHeaderView::OnCreate()
{
    const int result = CBaseHeaderView::OnCreate();
    if (QKCoolButton* title = GetButton(IDC_HEADER_TITLE))
        title->installEventFilter(this);
    return result;
}

void CChannelHeaderView::OnInitialUpdate()
{
    CBaseHeaderView::OnInitialUpdate();
    CChannelDoc* doc = GetChannelDoc();
    if (!doc)
        return;
    if (!doc->IsAlertMode()) {
        if (!settings::showChannelStatus()) {
            SetLineCount(1);
            LayoutButtons();
        }
        return;
    }
    SetButtonClickable(0, false);
    SetLineCount(2);
    SetTitle(LoadString(IDS_ALERTS_TITLE));
    SetSecondLine(LoadString(IDS_ALERTS_LINE1));
    SetThirdLine(LoadString(IDS_ALERTS_LINE2));
    SetPicture(LoadHeaderPicture(settings::HeaderPicture::Alert, IDB_ALERT_BITMAP));
    LayoutButtons();
    update();
}

void CChannelHeaderView::OnUpdate(CView*, LPARAM hint, CObject* hintObject)
{
    CChannelDoc* doc = GetChannelDoc();
    if (!doc || doc->IsAlertMode() || hint < 0)
        return;
    const auto* update = dynamic_cast<const CUpdateHint*>(hintObject);
    const uint32_t id = update ? update->m_number : 0;
    switch (hint) {
    case HINT_INITIAL_UPDATE:
    case HINT_SELECTION_CHANGED:
    case HINT_FULL_UPDATE:
        FullUpdate();
        break;
    case HINT_CHANNEL_UPDATED:
    case HINT_CHANNEL_ATTRIBUTE_CHANGED:
        if (update && id == m_shownChannelId)
            FullUpdate();
        break;
    case HINT_CHANNEL_STATUS_CHANGED:
        if (update && id == m_shownChannelId)
            StatusUpdate();
        break;
    case HINT_ENGINE_EVENT:
        if (m_shownChannelId != 0)
            StatusUpdate();
        break;
    default:
        break;
    }
}

QString CChannelHeaderView::StatusText() const
{
    if (m_shownChannelId == 0)
        return QString();
    QKBuffer buffer;
    if (!VTGetChannelStatus(m_shownChannelId, buffer))
        return QString();
    return buffer.GetText();
}

bool CChannelHeaderView::IsShownChannelSecure() const
{
    CChannelDoc* doc = GetChannelDoc();
    if (!doc || !doc->ShowsOneChannel())
        return false;
    bool secure = false;
    if (CServices* services = GetCServices()) {
        if (CService* channel = services->GetServiceByID(doc->GetFirstChannelId()))
            secure = channel->IsSecure() != 0;
        ReleaseCServices();
    }
    return secure;
}

void CChannelHeaderView::ShowSecureIndicator(BOOL secure)
{
    if (secureHook()) {
        secureHook()(secure);
        return;
    }
    if (CMainFrameLink* frame = MainFrameLink())
        frame->ShowSecureIndicator(secure);
}

void CChannelHeaderView::FullUpdate()
{
    CChannelDoc* doc = GetChannelDoc();
    if (!doc)
        return;
    setUpdatesEnabled(false);
    if (doc->ShowsOneChannel()) {
        m_shownChannelId = doc->GetFirstChannelId();
        SetSecondLine(doc->GetLastUpdated());
        SetThirdLine(StatusText());
    } else {
        m_shownChannelId = 0;
        SetSecondLine(QString());
        SetThirdLine(QString());
    }
    SetTitle(doc->GetName());

    const QPixmap logo =
        doc->GetLogoFile().isEmpty() ? QPixmap() : LoadPictureFile(doc->GetLogoFile());
    SetPicture(logo);
    if (QKCoolButton* picture = GetButton(IDC_HEADER_PICTURE)) {
        uint32_t mode = picture->GetMode();
        if (logo.isNull())
            mode |= QKCoolButton::QKCB_NOBITMAP;
        else
            mode &= ~uint32_t(QKCoolButton::QKCB_NOBITMAP);
        picture->SetMode(mode);
        picture->SizeToContent();
    }
    LayoutButtons();
    setUpdatesEnabled(true);
    repaint();
    ShowSecureIndicator(IsShownChannelSecure() ? 1 : 0);
}

void CChannelHeaderView::StatusUpdate()
{
    setUpdatesEnabled(false);
    SetThirdLine(StatusText());
    LayoutButtons();
    setUpdatesEnabled(true);
    repaint();
}

void CChannelHeaderView::OnFrameActivate(BOOL active)
{
    CChannelDoc* doc = GetChannelDoc();
    if (active && doc && doc->ShowsOneChannel())
        ShowSecureIndicator(IsShownChannelSecure() ? 1 : 0);
    else
        ShowSecureIndicator(0);
}

// The channel menu ----------------------------------------------------------------------------

int CChannelHeaderView::MenuItemsPerColumn()
{
    if (itemsPerColumnHook())
        return std::max(1, itemsPerColumnHook()());
    QScreen* screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 768;
    QMenu probe;
    QAction* action = probe.addAction(QStringLiteral("M"));
    const int itemHeight = std::max(1, probe.actionGeometry(action).height());
    return std::max(1, screenHeight / itemHeight);
}

bool CChannelHeaderView::BuildChannelMenu(QMenu& menu, std::vector<uint32_t>& commands,
                                          int itemsPerColumn)
{
    commands.assign(1, 0);
    itemsPerColumn = std::max(1, itemsPerColumn);
    CServices* services = GetCServices();
    if (!services)
        return false;
    QMap<QString, QString> categories;
    if (GetCategoryList(categories, 0, 1) < 1) {
        ReleaseCServices();
        return false;
    }
    QStringList names = categories.keys();
    SortStringArray(names);
    for (int i = 0; i < names.size(); ++i) {
        auto* submenu = new QMenu(EscapeMenuText(names[i]), &menu);
        QStringList ids;
        ParseDelimitedString(categories.value(names[i]), QStringLiteral(","), ids);
        for (int j = 0; j < ids.size(); ++j) {
            bool ok = false;
            const uint32_t id = ids[j].trimmed().toUInt(&ok);
            CService* channel = ok ? services->GetServiceByID(id) : nullptr;
            if (!channel)
                continue; // still counts for the columns
            QString name;
            channel->GetDisplayName(name);
            QAction* action = submenu->addAction(EscapeMenuText(name));
            action->setData(static_cast<int>(commands.size()));
            action->setProperty("columnBreak", j != 0 && j % itemsPerColumn == 0);
            commands.push_back(id);
        }
        QAction* entry = menu.addMenu(submenu);
        entry->setProperty("columnBreak", i != 0 && i % itemsPerColumn == 0);
    }
    ReleaseCServices();
    return true;
}

uint32_t CChannelHeaderView::PickChannelFromMenu(QWidget* owner, int, int x, int y)
{
    QMenu menu(owner);
    std::vector<uint32_t> commands;
    // The directory is given back before the menu is tracked: the user may keep the menu
    // open for long, and the engine must not wait for that.
    if (!BuildChannelMenu(menu, commands, MenuItemsPerColumn()))
        return 0;
    int chosen = 0;
    if (trackHook()) {
        chosen = trackHook()(menu);
    } else {
        const QPoint cursor = QCursor::pos();
        const QPoint at(x == -1 ? cursor.x() : x, y == -1 ? cursor.y() : y);
        if (QAction* action = menu.exec(at))
            chosen = action->data().toInt();
    }
    if (chosen <= 0 || static_cast<size_t>(chosen) >= commands.size())
        return 0;
    return commands[static_cast<size_t>(chosen)];
}

void CChannelHeaderView::OnTitleClicked()
{
    CChannelDoc* doc = GetChannelDoc();
    if (!doc || doc->IsAlertMode())
        return;
    QKCoolButton* title = GetButton(IDC_HEADER_TITLE);
    QPoint at = QCursor::pos();
    if (title)
        at = title->mapToGlobal(QPoint(0, title->height()));
    const uint32_t id = PickChannelFromMenu(this, 0, at.x(), at.y());
    if (id == 0)
        return;
    doc->SetChannel(id);
    doc->UpdateAllViews(nullptr, HINT_SELECTION_CHANGED);
}

// Commands ------------------------------------------------------------------------------------

std::vector<CMenuItem> CChannelHeaderView::ContextMenuItems() const
{
    if (m_shownChannelId == 0)
        return {};
    return ChannelContextMenuItems(m_shownChannelId);
}

bool CChannelHeaderView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu && watched == GetButton(IDC_HEADER_TITLE)) {
        const std::vector<CMenuItem> items = ContextMenuItems();
        if (!items.empty())
            TrackContextMenu(items, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return CBaseHeaderView::eventFilter(watched, event);
}

void CChannelHeaderView::RegisterCommands()
{
    onCommand(IDC_HEADER_TITLE, [this] { OnTitleClicked(); });

    auto withChannel = [this](const std::function<void(uint32_t)>& action) {
        return [this, action] {
            if (m_shownChannelId != 0)
                action(m_shownChannelId);
        };
    };
    auto shownRule = [this](CCmdUI* ui) { ui->Enable(m_shownChannelId != 0); };

    onCommand(ID_CHANNEL_UPDATE_NOW,
              withChannel([](uint32_t id) { VTForceChannelConnection(id); }));
    onUpdate(ID_CHANNEL_UPDATE_NOW, shownRule);
    onCommand(ID_CHANNEL_DISABLE, withChannel([](uint32_t id) { VTEnableChannel(id, 0); }));
    onUpdate(ID_CHANNEL_DISABLE, [this](CCmdUI* ui) {
        ui->Enable(0);
        if (m_shownChannelId == 0)
            return;
        if (CServices* services = GetCServices()) {
            if (CService* channel = services->GetServiceByID(m_shownChannelId))
                ui->Enable(channel->IsEnabled() && !channel->IsHomeServer());
            ReleaseCServices();
        }
    });
    onCommand(ID_CHANNEL_ENABLE, withChannel([](uint32_t id) { VTEnableChannel(id, 1); }));
    onUpdate(ID_CHANNEL_ENABLE, shownRule);
    onCommand(ID_CHANNEL_UNSUBSCRIBE,
              withChannel([this](uint32_t id) { VTUnsubscribeToSubscribedChannel(this, id); }));
    onUpdate(ID_CHANNEL_UNSUBSCRIBE, shownRule);
    onCommand(ID_CHANNEL_PROPERTIES,
              withChannel([this](uint32_t id) { VTShowChannelPropertiesDialog(this, id); }));
    onUpdate(ID_CHANNEL_PROPERTIES, shownRule);
}
