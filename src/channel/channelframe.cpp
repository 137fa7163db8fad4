#include "src/channel/channelframe.h"

#include "src/channel/channeldoc.h"
#include "src/channel/channelfolderview.h"
#include "src/channel/channelheaderview.h"
#include "src/channel/foldertree.h"
#include "src/channel/treeitems.h"
#include "src/engine/messages.h"
#include "src/engine/notificationwindow.h"
#include "src/framework/doctemplate.h"
#include "src/framework/splitter.h"
#include "src/platform/resources.h"
#include "src/shared/panes.h"
#include "src/shared/startupchecks.h"
#include "src/shared/updatehint.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <mutex>

namespace
{

struct OpenFrame {
    CChannelFrame* frame;
    HWND handle;
};

std::mutex& frameListLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<OpenFrame>& frameList()
{
    static std::vector<OpenFrame> frames;
    return frames;
}

bool& callbackRegistered()
{
    static bool registered = false;
    return registered;
}

// The ten directory change messages: hint code, whether a shown channel refreshes the
// document, whether the second parameter carries story numbers.
struct RefreshRule {
    const char* name;
    LPARAM code;
    bool refreshWhenShown;
    bool storyMessage;
};

const RefreshRule kRefreshRules[] = {
    {REFRESHCODE_CHANNEL_UPDATED, HINT_CHANNEL_UPDATED, true, false},
    {REFRESHCODE_CHANNEL_ADDED, HINT_CHANNEL_ADDED, false, false},
    {REFRESHCODE_CHANNEL_DELETED, HINT_CHANNEL_DELETED, true, false},
    {REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED, HINT_CHANNEL_ATTRIBUTE_CHANGED, true, false},
    {REFRESHCODE_CHANNEL_FLAGS_CHANGED, HINT_CHANNEL_FLAGS_CHANGED, true, false},
    {REFRESHCODE_CHANNEL_STATUS_CHANGED, HINT_CHANNEL_STATUS_CHANGED, true, false},
    {REFRESHCODE_CHANNEL_ACTIVE_STATE_CHANGED, HINT_CHANNEL_ACTIVE_STATE_CHANGED, true, false},
    {REFRESHCODE_CHANNEL_COUNTER_CHANGED, HINT_CHANNEL_COUNTER_CHANGED, false, false},
    {REFRESHCODE_STORIES_DELETED, HINT_STORIES_DELETED, true, true},
    {REFRESHCODE_STORIES_ATTRIBUTE_CHANGED, HINT_STORIES_ATTRIBUTE_CHANGED, true, true},
};

UINT g_refreshMessages[std::size(kRefreshRules)] = {};

CView* NewFolderView()
{
    return new CChannelFolderView;
}

CView* NewHeadlinePane()
{
    return CreatePane(PaneKind::HeadlineList);
}

CView* NewBrowserPane()
{
    return CreatePane(PaneKind::Browser);
}

// The frame's story list when it is one (a pane of another kind answers nothing).
CStoryListPane* StoryList(CView* pane)
{
    return dynamic_cast<CStoryListPane*>(pane);
}

// The first pane keeps its size when the window is resized; the second takes the rest.
void KeepFirstPaneSize(CSplitterWnd* splitter)
{
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
}

} // namespace

CChannelFrame::CChannelFrame() : CMDIChildWnd(QStringLiteral("CChannelFrame"))
{
    setObjectName(QStringLiteral("ChannelFrame"));
    m_handle = GetSafeHwnd();
    {
        std::lock_guard<std::mutex> lock(frameListLock());
        frameList().push_back({this, m_handle});
    }
    RegisterMessages();
    RegisterCommands();
    // N and P move between unread stories while the folder tree or the headline list has the
    // keyboard; the panes come and go, so their lists are watched as they take the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && IsReadingList(now))
            now->installEventFilter(this);
    });
}

bool CChannelFrame::IsReadingList(const QWidget* widget) const
{
    for (QWidget* pane :
         {static_cast<QWidget*>(GetFolderView()), static_cast<QWidget*>(GetHeadlineView())})
        if (pane && (pane == widget || pane->isAncestorOf(widget)))
            return true;
    return false;
}

bool CChannelFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_N || key->key() == Qt::Key_P) &&
            IsReadingList(static_cast<QWidget*>(watched))) {
            MoveToUnread(key->key() == Qt::Key_N);
            return true;
        }
    }
    return CMDIChildWnd::eventFilter(watched, event);
}

bool CChannelFrame::MoveToUnread(bool forward)
{
    auto* list = dynamic_cast<CStoryListPane*>(GetHeadlineView());
    if (!list)
        return false;
    auto focusList = [this] {
        if (CView* view = GetHeadlineView())
            if (auto* items = view->findChild<QAbstractItemView*>())
                items->setFocus(Qt::ShortcutFocusReason);
    };
    if (list->SelectUnreadStory(forward, false)) {
        focusList();
        return true;
    }
    // On to the next channel in the folder tree with unread stories, round to the start.
    CChannelFolderView* folder = GetFolderView();
    QTreeWidget* tree = folder ? folder->GetTreeCtrl() : nullptr;
    if (!tree || m_alerts) {
        QApplication::beep();
        return false;
    }
    std::vector<QTreeWidgetItem*> channels;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (CFolderTree::GetItemKind(*it) == FolderItemKind::Channel)
            channels.push_back(*it);
    if (!forward)
        std::reverse(channels.begin(), channels.end());
    const uint32_t current = folder->GetSelectedChannelId();
    const auto here =
        std::find_if(channels.begin(), channels.end(),
                     [current](QTreeWidgetItem* item) { return treeitems::data(item) == current; });
    if (here != channels.end())
        std::rotate(channels.begin(), here + 1, channels.end());
    for (QTreeWidgetItem* item : channels) {
        const uint32_t id = treeitems::data(item);
        int unread = 0;
        if (CServices* services = GetCServices()) {
            if (const CService* channel = services->GetServiceByID(id))
                unread = channel->GetNumUnreadStories();
            ReleaseCServices();
        }
        if (unread <= 0)
            continue;
        folder->SelectItem(item);
        if (list->SelectUnreadStory(forward, true)) {
            focusList();
            return true;
        }
    }
    QApplication::beep();
    return false;
}

CChannelFrame::~CChannelFrame()
{
    bool last = false;
    {
        std::lock_guard<std::mutex> lock(frameListLock());
        auto& frames = frameList();
        frames.erase(std::remove_if(frames.begin(), frames.end(),
                                    [this](const OpenFrame& f) { return f.frame == this; }),
                     frames.end());
        last = frames.empty();
    }
    if (last && callbackRegistered()) {
        VTUnRegisterNotificationCallback(&CChannelFrame::EngineCallback);
        callbackRegistered() = false;
    }
    if (m_subscribed && m_handle)
        CServicesUnsubscribeNotifications(m_handle);
}

std::vector<CChannelFrame*> CChannelFrame::OpenFrames()
{
    std::lock_guard<std::mutex> lock(frameListLock());
    std::vector<CChannelFrame*> frames;
    for (const OpenFrame& f : frameList())
        frames.push_back(f.frame);
    return frames;
}

bool CChannelFrame::IsEngineCallbackRegistered()
{
    return callbackRegistered();
}

void CChannelFrame::EngineCallback(uint32_t type, const char*, uint32_t, const char*, uint32_t,
                                   uint32_t, uint32_t)
{
    if (type != VTNOTIFY_ENGINE_EVENT)
        return;
    std::lock_guard<std::mutex> lock(frameListLock());
    for (const OpenFrame& f : frameList()) {
        if (IsWindow(f.handle))
            PostMessage(f.handle, WM_ENGINE_EVENT, 0, 0);
    }
}

void CChannelFrame::RegisterMessages()
{
    RegisterMessageTable(kRefreshRules, g_refreshMessages);
    for (size_t i = 0; i < std::size(kRefreshRules); ++i) {
        const RefreshRule rule = kRefreshRules[i];
        onMessage(g_refreshMessages[i], [this, rule](WPARAM first, LPARAM second) -> LRESULT {
            OnDirectoryChange(rule.code, rule.refreshWhenShown, rule.storyMessage, first, second);
            return 0;
        });
    }
    onMessage(WM_SELECT_CHANNEL,
              [this](WPARAM id, LPARAM) { return OnSelectChannel(static_cast<uint32_t>(id)); });
    onMessage(WM_ENGINE_EVENT, [this](WPARAM, LPARAM) { return OnEngineEvent(); });
}

CChannelDoc* CChannelFrame::GetChannelDoc() const
{
    if (m_doc)
        return m_doc;
    return qobject_cast<CChannelDoc*>(GetActiveDocument());
}

CCreateContext CChannelFrame::MakeContext() const
{
    CCreateContext context;
    context.m_pCurrentDoc = GetChannelDoc();
    context.m_pCurrentFrame = const_cast<CChannelFrame*>(this);
    return context;
}

int CChannelFrame::ReadSize(settings::ChannelPane pane) const
{
    return settings::channelPaneSize(pane, m_alerts);
}

void CChannelFrame::WriteSize(settings::ChannelPane pane, int value) const
{
    settings::setChannelPaneSize(pane, m_alerts, value);
}

BOOL CChannelFrame::OnCreateClient(CCreateContext* context)
{
    if (!context)
        return 0;
    m_doc = qobject_cast<CChannelDoc*>(context->m_pCurrentDoc);
    if (context->m_pNewViewClass)
        m_headerFactory = context->m_pNewViewClass;
    if (m_doc && m_doc->IsAlertMode()) {
        m_alerts = true;
        BroadcastNotification(VTNOTIFICATION_ALERTS_CHANGED, QString(), 0);
    }
    SetWindowText(m_doc && m_doc->IsAlertMode() ? LoadString(IDS_ALERTS_TITLE)
                                                : QStringLiteral("Channel Content"));

    const bool folderList = settings::showFolderList();
    const bool browser = settings::browserPaneForNewWindow();
    if (!BuildPanes(context, folderList, browser))
        return 0;
    settings::setShowFolderList(m_folderListShown);
    settings::setUseEmbeddedBrowser(m_browserShown);

    bool first = false;
    {
        std::lock_guard<std::mutex> lock(frameListLock());
        first = frameList().size() == 1 && frameList().front().frame == this;
    }
    if (first && !callbackRegistered())
        callbackRegistered() = VTRegisterNotificationCallback(VTMASK_CHANNELFRAME,
                                                              &CChannelFrame::EngineCallback) != 0;

    if (m_handle)
        m_subscribed = CServicesSubscribeNotifications(m_handle) != 0;
    return 1;
}

BOOL CChannelFrame::BuildPanes(CCreateContext* context, BOOL folderList, BOOL browser)
{
    // Any existing panes go first, innermost first.
    for (CSplitterWnd** splitter : {&m_inner, &m_folderSplitter, &m_outer}) {
        delete *splitter;
        *splitter = nullptr;
    }
    m_browserShown = 0;
    m_folderListShown = 0;

    m_outer = new CSplitterWnd;
    if (!m_outer->CreateStatic(this, 2, 1))
        return 0;
    m_outer->SetFixedBars(true);
    KeepFirstPaneSize(m_outer);
    const std::function<CView*()> headerFactory = m_headerFactory ? m_headerFactory : [] {
        return static_cast<CView*>(new CChannelHeaderView);
    };
    if (!m_outer->CreateView(0, 0, headerFactory, QSize(0, HEADER_HEIGHT), context))
        return 0;

    CSplitterWnd* place = m_outer;
    int placeRow = 1;
    int placeCol = 0;
    if (folderList) {
        m_folderSplitter = new CSplitterWnd;
        if (!m_folderSplitter->CreateStatic(m_outer, 1, 0, 1, 2))
            return 0;
        KeepFirstPaneSize(m_folderSplitter);
        if (!m_folderSplitter->CreateView(0, 0, NewFolderView,
                                          QSize(ReadSize(settings::ChannelPane::FolderWidth), 0),
                                          context))
            return 0;
        m_folderListShown = 1;
        place = m_folderSplitter;
        placeRow = 0;
        placeCol = 1;
    }

    if (browser && IsWebBrowserAvailable()) {
        m_inner = new CSplitterWnd;
        if (!m_inner->CreateStatic(place, placeRow, placeCol, 2, 1))
            return 0;
        KeepFirstPaneSize(m_inner);
        if (!m_inner->CreateView(0, 0, NewHeadlinePane,
                                 QSize(0, ReadSize(settings::ChannelPane::HeadlineListHeight)),
                                 context))
            return 0;
        if (!m_inner->CreateView(1, 0, NewBrowserPane, QSize(0, 0), context))
            return 0;
        m_browserShown = 1;
    } else {
        if (!place->CreateView(placeRow, placeCol, NewHeadlinePane, QSize(150, 120), context))
            return 0;
        m_browserShown = 0;
    }
    return 1;
}

CSplitterWnd* CChannelFrame::ListPlace(int& row, int& col) const
{
    if (m_folderListShown && m_folderSplitter) {
        row = 0;
        col = 1;
        return m_folderSplitter;
    }
    row = 1;
    col = 0;
    return m_outer;
}

CChannelHeaderView* CChannelFrame::GetHeaderView() const
{
    return m_outer ? qobject_cast<CChannelHeaderView*>(m_outer->GetPane(0, 0)) : nullptr;
}

CChannelFolderView* CChannelFrame::GetFolderView() const
{
    if (!m_folderListShown || !m_folderSplitter)
        return nullptr;
    return qobject_cast<CChannelFolderView*>(m_folderSplitter->GetPane(0, 0));
}

CView* CChannelFrame::GetHeadlineView() const
{
    if (m_browserShown && m_inner)
        return qobject_cast<CView*>(m_inner->GetPane(0, 0));
    int row = 0;
    int col = 0;
    CSplitterWnd* place = ListPlace(row, col);
    return place ? qobject_cast<CView*>(place->GetPane(row, col)) : nullptr;
}

CView* CChannelFrame::GetBrowserView() const
{
    if (!m_browserShown || !m_inner)
        return nullptr;
    return qobject_cast<CView*>(m_inner->GetPane(1, 0));
}

int CChannelFrame::GetFolderWidth() const
{
    if (!m_folderListShown || !m_folderSplitter)
        return 0;
    int current = 0;
    int minimum = 0;
    m_folderSplitter->GetColumnInfo(0, current, minimum);
    return current;
}

int CChannelFrame::GetHeadlineHeight() const
{
    if (!m_browserShown || !m_inner)
        return 0;
    int current = 0;
    int minimum = 0;
    m_inner->GetRowInfo(0, current, minimum);
    return current;
}

void CChannelFrame::Relayout()
{
    if (m_inner)
        m_inner->RecalcLayout();
    if (m_folderSplitter)
        m_folderSplitter->RecalcLayout();
    if (m_outer)
        m_outer->RecalcLayout();
}

void CChannelFrame::SetEmbeddedBrowser(BOOL on)
{
    if (!GetChannelDoc() || !m_outer)
        return;
    int row = 0;
    int col = 0;
    CSplitterWnd* place = ListPlace(row, col);
    CCreateContext context = MakeContext();
    if (!on) {
        // An expanded browser has the list and the folder column at 0: they get back their
        // sizes from before the expansion, which are then the ones stored.
        if (IsBrowserExpanded()) {
            ToggleExpandBrowser();
            place = ListPlace(row, col);
        }
        int size = 0;
        int minimum = 0;
        if (place == m_folderSplitter)
            place->GetColumnInfo(col, size, minimum);
        else
            place->GetRowInfo(row, size, minimum);
        if (m_inner) {
            WriteSize(settings::ChannelPane::HeadlineListHeight, GetHeadlineHeight());
            place->DeleteView(row, col);
            m_inner = nullptr;
        } else {
            place->DeleteView(row, col);
        }
        CView* headline = place->CreateView(row, col, NewHeadlinePane, QSize(150, 120), &context);
        if (!headline)
            return;
        SetActiveView(headline);
        if (place == m_folderSplitter)
            place->SetColumnInfo(col, size, minimum);
        else
            place->SetRowInfo(row, size, minimum);
        Relayout();
        m_browserShown = 0;
        headline->OnInitialUpdate();
        return;
    }
    place->DeleteView(row, col);
    m_inner = new CSplitterWnd;
    if (!m_inner->CreateStatic(place, row, col, 2, 1)) {
        delete m_inner;
        m_inner = nullptr;
        return;
    }
    KeepFirstPaneSize(m_inner);
    CView* headline = m_inner->CreateView(
        0, 0, NewHeadlinePane, QSize(0, ReadSize(settings::ChannelPane::HeadlineListHeight)),
        &context);
    CView* browser = m_inner->CreateView(1, 0, NewBrowserPane, QSize(0, 0), &context);
    if (headline)
        SetActiveView(headline);
    Relayout();
    m_browserShown = 1;
    if (headline)
        headline->OnInitialUpdate();
    if (browser)
        browser->OnInitialUpdate();
}

void CChannelFrame::ShowFolderList(BOOL on)
{
    if (!GetChannelDoc() || !m_outer)
        return;
    if (!on) {
        if (!m_folderSplitter)
            return;
        // An expanded browser has the column at 0: the width from before counts.
        WriteSize(settings::ChannelPane::FolderWidth,
                  PaneSizeToStore(GetFolderWidth(), m_savedFolderWidth));
        m_folderSplitter->DeleteView(0, 0);
        QWidget* listPart = m_folderSplitter->TakePane(0, 1);
        m_outer->TakePane(1, 0);
        delete m_folderSplitter;
        m_folderSplitter = nullptr;
        if (listPart)
            m_outer->SetPane(1, 0, listPart);
        m_folderListShown = 0;
        if (CView* headline = GetHeadlineView())
            SetActiveView(headline);
        Relayout();
        return;
    }
    if (m_folderSplitter)
        return;
    QWidget* listPart = m_outer->TakePane(1, 0);
    m_folderSplitter = new CSplitterWnd;
    if (!m_folderSplitter->CreateStatic(m_outer, 1, 0, 1, 2)) {
        delete m_folderSplitter;
        m_folderSplitter = nullptr;
        if (listPart)
            m_outer->SetPane(1, 0, listPart);
        return;
    }
    KeepFirstPaneSize(m_folderSplitter);
    CCreateContext context = MakeContext();
    CView* folder = m_folderSplitter->CreateView(
        0, 0, NewFolderView, QSize(ReadSize(settings::ChannelPane::FolderWidth), 0), &context);
    if (listPart)
        m_folderSplitter->SetPane(0, 1, listPart);
    m_folderListShown = 1;
    if (folder)
        SetActiveView(folder);
    Relayout();
    if (folder)
        folder->OnInitialUpdate();
}

bool CChannelFrame::IsBrowserExpanded() const
{
    if (!m_browserShown || !m_inner)
        return false;
    if (GetHeadlineHeight() != 0)
        return false;
    return !m_folderListShown || GetFolderWidth() == 0;
}

void CChannelFrame::ToggleExpandBrowser()
{
    if (!m_browserShown || !m_inner)
        return;
    int current = 0;
    int minimum = 0;
    if (!m_folderListShown || !m_folderSplitter) {
        m_inner->GetRowInfo(0, current, minimum);
        if (current == 0) {
            m_inner->SetRowInfo(
                0, m_savedListHeight ? m_savedListHeight : settings::DEFAULT_LIST_HEIGHT, minimum);
            m_savedListHeight = 0;
        } else {
            m_savedListHeight = current;
            m_inner->SetRowInfo(0, 0, minimum);
        }
        m_inner->RecalcLayout();
        return;
    }
    int folderWidth = 0;
    int folderMinimum = 0;
    m_inner->GetRowInfo(0, current, minimum);
    m_folderSplitter->GetColumnInfo(0, folderWidth, folderMinimum);
    if (current == 0 && folderWidth == 0) {
        m_inner->SetRowInfo(
            0, m_savedListHeight ? m_savedListHeight : settings::DEFAULT_LIST_HEIGHT, minimum);
        m_folderSplitter->SetColumnInfo(
            0, m_savedFolderWidth ? m_savedFolderWidth : settings::DEFAULT_FOLDER_WIDTH,
            folderMinimum);
        m_savedListHeight = 0;
        m_savedFolderWidth = 0;
    } else {
        m_savedListHeight = current;
        m_savedFolderWidth = folderWidth;
        m_inner->SetRowInfo(0, 0, minimum);
        m_folderSplitter->SetColumnInfo(0, 0, folderMinimum);
    }
    m_inner->RecalcLayout();
    m_folderSplitter->RecalcLayout();
}

void CChannelFrame::RegisterCommands()
{
    RegisterBrowserPaneCommands(
        this, m_browserShown, [this](BOOL on) { SetEmbeddedBrowser(on); },
        [this] { ToggleExpandBrowser(); }, [this] { return IsBrowserExpanded(); });

    onCommand(ID_VIEW_CHANNEL_FOLDER_LIST, [this] {
        ShowFolderList(!m_folderListShown);
        settings::setShowFolderList(m_folderListShown);
    });
    onUpdate(ID_VIEW_CHANNEL_FOLDER_LIST,
             [this](CCmdUI* ui) { ui->SetCheck(m_folderListShown ? 1 : 0); });

    onCommand(ID_CHANNEL_MARK_ALL_READ, [this] {
        if (CStoryListPane* list = StoryList(GetHeadlineView()))
            list->MarkAllListedRead();
    });
    onUpdate(ID_CHANNEL_MARK_ALL_READ, [this](CCmdUI* ui) {
        const CStoryListPane* list = StoryList(GetHeadlineView());
        ui->Enable(list && list->HasListedStories());
    });
}

void CChannelFrame::ActivateFrame(int)
{
    if (QMdiSubWindow* sub = subWindow(); sub && sub->systemMenu())
        sub->setSystemMenu(nullptr); // the window has no system menu
    CMDIChildWnd::ActivateFrame(SW_SHOWMAXIMIZED);
    if (!m_laidOut && isVisible()) {
        // The panes take their stored sizes once the window has its real size.
        m_laidOut = true;
        Relayout();
    }
    CChannelDoc* doc = GetChannelDoc();
    if (!doc || doc->HasChannels())
        return;
    uint32_t id = 0;
    if (CServices* services = GetCServices()) {
        if (CService* first = services->GetNoServices() > 0 ? services->GetService(0) : nullptr) {
            if (doc->IsAlertMode())
                id = VT_ALERTS_CHANNEL_ID;
            else if (!first->GetServiceID(id))
                id = 0;
        }
        ReleaseCServices();
    }
    if (id)
        OnSelectChannel(id);
}

void CChannelFrame::OnMDIActivate(BOOL activate)
{
    CMDIChildWnd::OnMDIActivate(activate);
    if (CChannelHeaderView* header = GetHeaderView())
        header->OnFrameActivate(activate);
    if (!activate)
        return;
    CChannelDoc* doc = GetChannelDoc();
    if (doc && doc->IsAlertMode())
        BroadcastNotification(VTNOTIFICATION_ALERTS_CHANGED, QString(), 0);
    const BOOL browser = settings::useEmbeddedBrowser() ? 1 : 0;
    if (browser != m_browserShown)
        SetEmbeddedBrowser(browser);
    const BOOL folder = settings::showFolderList() ? 1 : 0;
    if (folder != m_folderListShown)
        ShowFolderList(folder);
}

void CChannelFrame::OnDestroy()
{
    // The choice is saved now: the panes themselves are deleted only once the event loop
    // gets to it, which at exit it no longer does.
    if (CChannelFolderView* folder = GetFolderView())
        folder->SaveSelection();
    if (m_folderListShown && m_folderSplitter)
        WriteSize(settings::ChannelPane::FolderWidth,
                  PaneSizeToStore(GetFolderWidth(), m_savedFolderWidth));
    if (m_browserShown && m_inner)
        WriteSize(settings::ChannelPane::HeadlineListHeight,
                  PaneSizeToStore(GetHeadlineHeight(), m_savedListHeight));
    if (m_subscribed && m_handle) {
        CServicesUnsubscribeNotifications(m_handle);
        m_subscribed = false;
    }
    CMDIChildWnd::OnDestroy();
}

LRESULT CChannelFrame::OnSelectChannel(uint32_t channelId)
{
    CChannelDoc* doc = GetChannelDoc();
    if (!doc || channelId == 0)
        return 0;
    const int result = doc->SetChannel(channelId);
    if (result)
        doc->UpdateAllViews(nullptr, HINT_SELECTION_CHANGED);
    return result;
}

LRESULT CChannelFrame::OnEngineEvent()
{
    if (CChannelDoc* doc = GetChannelDoc())
        doc->UpdateAllViews(nullptr, HINT_ENGINE_EVENT);
    return 0;
}

void CChannelFrame::OnDirectoryChange(LPARAM code, bool refreshWhenShown, bool storyMessage,
                                      WPARAM first, LPARAM second)
{
    CChannelDoc* doc = GetChannelDoc();
    const auto channelId = static_cast<uint32_t>(first);
    if (!doc || channelId == 0)
        return;
    const bool shown = doc->IsShown(channelId);
    if (code == HINT_STORIES_DELETED && !shown)
        return;
    CUpdateHint hint = ChannelChangeHint(channelId, storyMessage, second);
    if (refreshWhenShown && shown)
        doc->Refresh();
    if (code == HINT_STORIES_ATTRIBUTE_CHANGED && !shown)
        return;
    doc->UpdateAllViews(nullptr, code, &hint);
}
