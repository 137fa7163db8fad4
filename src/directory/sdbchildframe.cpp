#include "src/directory/sdbchildframe.h"

#include "src/channel/categoryview.h"
#include "src/channel/channelids.h"
#include "src/directory/profilerdoc.h"
#include "src/directory/profilerview.h"
#include "src/engine/messages.h"
#include "src/framework/doctemplate.h"
#include "src/framework/splitter.h"
#include "src/platform/messagewindow.h"
#include "src/platform/resources.h"
#include "src/shared/headerview.h"
#include "src/shared/settings.h"
#include "vantrel/chandir.h"

namespace
{

// The category pane's first height; the splitter gives it the whole row.
constexpr int kCategoryPaneHeight = 50;

struct FrameMessages {
    UINT flagsChanged;
    UINT added;
    UINT deleted;
};

// Registered the first time a frame is made.
const FrameMessages& frameMessages()
{
    static const FrameMessages ids{
        RegisterWindowMessage(QString::fromLatin1(REFRESHCODE_CHANNEL_FLAGS_CHANGED)),
        RegisterWindowMessage(QString::fromLatin1(REFRESHCODE_CHANNEL_ADDED)),
        RegisterWindowMessage(QString::fromLatin1(REFRESHCODE_CHANNEL_DELETED)),
    };
    return ids;
}

// The first pane keeps its size when the window is resized; the second takes the rest.
void keepFirstPaneSize(CSplitterWnd* splitter)
{
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
}

} // namespace

CSDBChildFrame::CSDBChildFrame() : CMDIChildWnd(QStringLiteral("CSDBChildFrame"))
{
    setObjectName(QStringLiteral("DirectoryFrame"));
    m_handle = GetSafeHwnd();
    const FrameMessages& messages = frameMessages();
    onMessage(messages.flagsChanged, [this](WPARAM channelId, LPARAM) {
        return OnChannelFlagsChanged(static_cast<uint32_t>(channelId));
    });
    for (UINT message : {messages.added, messages.deleted}) {
        onMessage(message, [this](WPARAM, LPARAM entryId) {
            return OnChannelAddedOrDeleted(static_cast<uint32_t>(entryId));
        });
    }
}

CSDBChildFrame::~CSDBChildFrame()
{
    if (m_subscribed && m_handle)
        CServicesUnsubscribeNotifications(m_handle);
}

CProfilerDoc* CSDBChildFrame::GetProfilerDoc() const
{
    if (m_doc)
        return m_doc;
    return qobject_cast<CProfilerDoc*>(GetActiveDocument());
}

BOOL CSDBChildFrame::OnCreateClient(CCreateContext* context)
{
    if (!context)
        return 0;
    m_doc = qobject_cast<CProfilerDoc*>(context->m_pCurrentDoc);
    SetWindowText(LoadString(IDS_HEADER_DIRECTORY_TITLE));

    m_outer = new CSplitterWnd;
    if (!m_outer->CreateStatic(this, 2, 1))
        return 0;
    m_outer->SetFixedBars(true);
    keepFirstPaneSize(m_outer);
    const std::function<CView*()> header =
        context->m_pNewViewClass ? context->m_pNewViewClass
                                 : [] { return static_cast<CView*>(new CDirectoryHeaderView); };
    if (!m_outer->CreateView(0, 0, header, QSize(60, HEADER_HEIGHT), context))
        return 0;

    m_inner = new CSplitterWnd;
    if (!m_inner->CreateStatic(m_outer, 1, 0, 1, 2))
        return 0;
    keepFirstPaneSize(m_inner);
    CView* list = m_inner->CreateView(
        0, 1, [] { return static_cast<CView*>(new CProfilerView); }, QSize(0, 0), context);
    if (!list)
        return 0;
    const int width = settings::directoryFolderWidth();
    if (!m_inner->CreateView(
            0, 0, [] { return static_cast<CView*>(new CCategoryView); },
            QSize(width, kCategoryPaneHeight), context))
        return 0;

    if (m_handle)
        m_subscribed = CServicesSubscribeNotifications(m_handle) != 0;
    SetActiveView(list);
    return 1;
}

CView* CSDBChildFrame::GetHeaderView() const
{
    return m_outer ? qobject_cast<CView*>(m_outer->GetPane(0, 0)) : nullptr;
}

CCategoryView* CSDBChildFrame::GetCategoryView() const
{
    return m_inner ? qobject_cast<CCategoryView*>(m_inner->GetPane(0, 0)) : nullptr;
}

CProfilerView* CSDBChildFrame::GetListView() const
{
    return m_inner ? qobject_cast<CProfilerView*>(m_inner->GetPane(0, 1)) : nullptr;
}

int CSDBChildFrame::GetCategoryWidth() const
{
    if (!m_inner)
        return 0;
    int current = 0;
    int minimum = 0;
    m_inner->GetColumnInfo(0, current, minimum);
    return current;
}

void CSDBChildFrame::ActivateFrame(int)
{
    CMDIChildWnd::ActivateFrame(SW_SHOWMAXIMIZED);
    if (!m_laidOut && isVisible()) {
        // The panes take their stored sizes once the window has its real size.
        m_laidOut = true;
        if (m_inner)
            m_inner->RecalcLayout();
        if (m_outer)
            m_outer->RecalcLayout();
    }
}

void CSDBChildFrame::OnDestroy()
{
    if (m_inner)
        settings::setDirectoryFolderWidth(GetCategoryWidth());
    if (m_subscribed && m_handle) {
        CServicesUnsubscribeNotifications(m_handle);
        m_subscribed = false;
    }
    CMDIChildWnd::OnDestroy();
}

LRESULT CSDBChildFrame::OnChannelFlagsChanged(uint32_t channelId)
{
    uint32_t entryId = 0;
    if (CServices* services = GetCServices()) {
        if (CService* channel = services->GetServiceByID(channelId)) {
            if (!channel->GetDirectoryEntryId(entryId))
                entryId = 0;
        }
        ReleaseCServices();
    }
    if (entryId != 0)
        OnChannelAddedOrDeleted(entryId);
    return 0;
}

LRESULT CSDBChildFrame::OnChannelAddedOrDeleted(uint32_t entryId)
{
    CProfilerDoc* doc = GetProfilerDoc();
    if (doc && entryId != 0)
        doc->OnEntryChanged(entryId);
    return 0;
}
