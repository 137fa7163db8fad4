#include "src/search/searchframe.h"

#include "src/engine/messages.h"
#include "src/framework/doctemplate.h"
#include "src/framework/splitter.h"
#include "src/platform/resources.h"
#include "src/search/searchcriteriaview.h"
#include "src/search/searchdoc.h"
#include "src/search/searchids.h"
#include "src/search/searchresultsview.h"
#include "src/shared/headerview.h"
#include "src/shared/ids.h"
#include "src/shared/panes.h"
#include "src/shared/settings.h"
#include "src/shared/startupchecks.h"
#include "src/shared/updatehint.h"
#include "vantrel/chandir.h"

#include <QMdiSubWindow>

namespace
{

constexpr int kHeaderHeight = 64;

// The directory change messages the window takes: the hint each becomes, and whether the
// second parameter carries story numbers. A channel's update changes no query result.
struct RefreshRule {
    const char* name;
    LPARAM hint; // negative: ignored
    bool storyMessage;
};

const RefreshRule kRefreshRules[] = {
    {REFRESHCODE_CHANNEL_UPDATED, -1, false},
    {REFRESHCODE_CHANNEL_ADDED, HINT_SEARCH_CHANNEL_ADDED, false},
    {REFRESHCODE_CHANNEL_DELETED, HINT_SEARCH_CHANNEL_DELETED, false},
    {REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED, HINT_SEARCH_CHANNEL_ATTRIBUTE_CHANGED, false},
    {REFRESHCODE_STORIES_DELETED, HINT_SEARCH_STORIES_DELETED, true},
    {REFRESHCODE_STORIES_ATTRIBUTE_CHANGED, HINT_SEARCH_STORIES_ATTRIBUTE_CHANGED, true},
};

UINT g_refreshMessages[std::size(kRefreshRules)] = {};

CView* NewCriteriaView()
{
    return new CSearchCriteriaView;
}

CView* NewResultsView()
{
    return new CSearchResultsView;
}

CView* NewBrowserPane()
{
    return CreatePane(PaneKind::Browser);
}

} // namespace

CSearchFrame::CSearchFrame() : CMDIChildWnd(QStringLiteral("CSearchFrame"))
{
    setObjectName(QStringLiteral("SearchFrame"));
    m_handle = GetSafeHwnd();
    RegisterMessages();
    RegisterCommands();
}

CSearchFrame::~CSearchFrame()
{
    if (m_subscribed && m_handle)
        CServicesUnsubscribeNotifications(m_handle);
}

void CSearchFrame::RegisterMessages()
{
    RegisterMessageTable(kRefreshRules, g_refreshMessages);
    for (size_t i = 0; i < std::size(kRefreshRules); ++i) {
        const RefreshRule rule = kRefreshRules[i];
        onMessage(g_refreshMessages[i], [this, rule](WPARAM first, LPARAM second) -> LRESULT {
            if (rule.hint >= 0)
                OnDirectoryChange(rule.hint, rule.storyMessage, first, second);
            return 0;
        });
    }
}

CSearchDoc* CSearchFrame::GetSearchDoc() const
{
    if (m_doc)
        return m_doc;
    return qobject_cast<CSearchDoc*>(GetActiveDocument());
}

BOOL CSearchFrame::OnCreateClient(CCreateContext* context)
{
    if (!context)
        return 0;
    m_doc = qobject_cast<CSearchDoc*>(context->m_pCurrentDoc);
    m_headerFactory = context->m_pNewViewClass ? context->m_pNewViewClass : [] {
        return static_cast<CView*>(new CSearchHeaderView);
    };
    SetWindowText(LoadString(IDS_HEADER_SEARCH_TITLE));

    m_outer = new CSplitterWnd;
    if (!m_outer->CreateStatic(this, 2, 1))
        return 0;
    m_outer->SetFixedBars(true);
    if (!m_outer->CreateView(0, 0, m_headerFactory, QSize(60, kHeaderHeight), context))
        return 0;
    if (!BuildPanes(settings::browserPaneForNewWindow() ? 1 : 0, context))
        return 0;
    settings::setUseEmbeddedBrowser(m_browserShown);
    if (m_handle)
        m_subscribed = CServicesSubscribeNotifications(m_handle) != 0;
    return 1;
}

BOOL CSearchFrame::BuildPanes(BOOL withBrowser, CCreateContext* context)
{
    if (!m_outer)
        return 0;
    CCreateContext own;
    const bool rebuild = context == nullptr;
    if (rebuild) {
        own.m_pCurrentDoc = GetSearchDoc();
        own.m_pCurrentFrame = this;
        context = &own;
    }
    withBrowser = withBrowser && IsWebBrowserAvailable();
    if (m_inner) {
        SaveResultsHeight();
        if (CView* form = GetCriteriaView())
            SetActiveView(form, 0);
        SetActiveView(nullptr, 0);
        m_outer->DeleteView(1, 0);
        m_inner = nullptr;
    }
    m_browserShown = 0;
    m_savedFormHeight = 0;
    m_savedListHeight = 0;

    m_inner = new CSplitterWnd;
    if (!m_inner->CreateStatic(m_outer, 1, 0, withBrowser ? 3 : 2, 1)) {
        delete m_inner;
        m_inner = nullptr;
        return 0;
    }
    CView* form =
        m_inner->CreateView(0, 0, NewCriteriaView, QSize(60, SEARCH_FORM_HEIGHT), context);
    if (!form)
        return 0;
    CView* results = m_inner->CreateView(
        1, 0, NewResultsView,
        QSize(60, withBrowser ? settings::searchResultsListHeight() : SEARCH_FORM_HEIGHT), context);
    if (!results)
        return 0;
    CView* browser = nullptr;
    if (withBrowser) {
        browser =
            m_inner->CreateView(2, 0, NewBrowserPane, QSize(60, SEARCH_BROWSER_HEIGHT), context);
        if (!browser)
            return 0;
        m_browserShown = 1;
    }
    // The last row takes what the window gains or loses (set once the views are in place:
    // the factor belongs to the pane).
    m_outer->setStretchFactor(0, 0);
    m_outer->setStretchFactor(1, 1);
    m_inner->setStretchFactor(0, 0);
    m_inner->setStretchFactor(1, withBrowser ? 0 : 1);
    if (withBrowser)
        m_inner->setStretchFactor(2, 1);
    SetActiveView(form);
    // The new inner splitter takes its place in the outer one first, then its rows their
    // heights.
    m_outer->RecalcLayout();
    m_outer->refresh();
    m_inner->RecalcLayout();
    if (rebuild) {
        // The new panes show the query the document kept: the form shows it again and the
        // list runs it again.
        for (CView* view : {form, results, browser})
            if (view)
                view->OnInitialUpdate();
    }
    return 1;
}

CSearchCriteriaView* CSearchFrame::GetCriteriaView() const
{
    return m_inner ? qobject_cast<CSearchCriteriaView*>(m_inner->GetPane(0, 0)) : nullptr;
}

CSearchResultsView* CSearchFrame::GetResultsView() const
{
    return m_inner ? qobject_cast<CSearchResultsView*>(m_inner->GetPane(1, 0)) : nullptr;
}

CView* CSearchFrame::GetBrowserView() const
{
    return m_inner && m_browserShown ? qobject_cast<CView*>(m_inner->GetPane(2, 0)) : nullptr;
}

int CSearchFrame::GetResultsHeight() const
{
    if (!m_inner)
        return 0;
    int current = 0;
    int minimum = 0;
    m_inner->GetRowInfo(1, current, minimum);
    return current;
}

void CSearchFrame::SaveResultsHeight() const
{
    if (m_inner && m_browserShown)
        settings::setSearchResultsListHeight(
            PaneSizeToStore(GetResultsHeight(), m_savedListHeight));
}

void CSearchFrame::ToggleExpandBrowser()
{
    if (!m_browserShown || !m_inner)
        return;
    for (int row : {0, 1}) {
        int& saved = row == 0 ? m_savedFormHeight : m_savedListHeight;
        int current = 0;
        int minimum = 0;
        m_inner->GetRowInfo(row, current, minimum);
        if (current < 1) {
            m_inner->SetRowInfo(row, saved, 0);
            saved = 0;
        } else {
            saved = current;
            m_inner->SetRowInfo(row, 0, minimum);
        }
    }
    m_inner->RecalcLayout();
}

void CSearchFrame::RegisterCommands()
{
    RegisterBrowserPaneCommands(
        this, m_browserShown, [this](BOOL on) { BuildPanes(on, nullptr); },
        [this] { ToggleExpandBrowser(); }, [this] { return IsBrowserExpanded(); });
}

void CSearchFrame::ActivateFrame(int)
{
    if (QMdiSubWindow* sub = subWindow(); sub && sub->systemMenu())
        sub->setSystemMenu(nullptr); // the window has no system menu
    CMDIChildWnd::ActivateFrame(SW_SHOWMAXIMIZED);
    if (!m_laidOut && isVisible()) {
        // The panes take their sizes once the window has its real size.
        m_laidOut = true;
        m_outer->RecalcLayout();
        m_outer->refresh();
        if (m_inner)
            m_inner->RecalcLayout();
    }
}

void CSearchFrame::OnMDIActivate(BOOL activate)
{
    CMDIChildWnd::OnMDIActivate(activate);
    if (!activate || !m_outer)
        return;
    // A switch made in another window reaches this one when it is next activated.
    const bool wanted = settings::useEmbeddedBrowser() && IsWebBrowserAvailable();
    if (wanted != (m_browserShown != 0))
        BuildPanes(wanted ? 1 : 0, nullptr);
}

void CSearchFrame::OnDestroy()
{
    SaveResultsHeight();
    if (m_subscribed && m_handle) {
        CServicesUnsubscribeNotifications(m_handle);
        m_subscribed = false;
    }
    CMDIChildWnd::OnDestroy();
}

void CSearchFrame::OnDirectoryChange(LPARAM hint, bool storyMessage, WPARAM first, LPARAM second)
{
    CSearchDoc* doc = GetSearchDoc();
    const auto channelId = static_cast<uint32_t>(first);
    if (!doc || channelId == 0)
        return;
    CUpdateHint update = ChannelChangeHint(channelId, storyMessage, second);
    doc->UpdateAllViews(nullptr, hint, &update);
}
