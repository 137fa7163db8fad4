#include "src/app/templates.h"

#include "src/app/mainframe.h"
#include "src/app/readhallapp.h"
#include "src/browser/browserview.h"
#include "src/browser/browserwindow.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelframe.h"
#include "src/channel/channelheaderview.h"
#include "src/directory/profilerdoc.h"
#include "src/directory/sdbchildframe.h"
#include "src/framework/childframe.h"
#include "src/navbar/navigationbar.h"
#include "src/publishing/publishingwizard.h"
#include "src/search/searchdoc.h"
#include "src/search/searchframe.h"
#include "src/shared/headerview.h"
#include "src/shared/panes.h"
#include "src/status/statuswindow.h"
#include "src/stories/headlineview.h"

#include <QFont>
#include <QPainter>

namespace
{

// A window kind that has no classes of its own yet: a placeholder document named after the
// kind, a plain child frame and a header view showing the window's title.
ReadhallTemplateInfo placeholderKind(int slot, UINT resourceId, const QString& docString,
                                     const QString& frameClass, const QString& title)
{
    return {slot,
            resourceId,
            docString,
            [docString, title] { return new CPlaceholderDoc(docString, title); },
            [frameClass] { return new CMDIChildWnd(frameClass); },
            [] { return new CPlaceholderHeaderView; }};
}

} // namespace

std::vector<ReadhallTemplateInfo> ReadhallTemplateTable()
{
    // One line per window kind; a kind's own document, frame and first view replace the
    // placeholder here.
    return {
        {TEMPLATE_CHANNEL, 129, "ChannelDoc", [] { return new CChannelDoc; },
         [] { return new CChannelFrame; }, [] { return new CChannelHeaderView; }},
        {TEMPLATE_SEARCH, 130, "SearchDoc", [] { return new CSearchDoc; },
         [] { return new CSearchFrame; }, [] { return new CSearchHeaderView; }},
        {TEMPLATE_ALERTS, 131, "AlertDoc", [] { return new CAlertDoc; },
         [] { return new CChannelFrame; }, [] { return new CChannelHeaderView; }},
        {TEMPLATE_STATUS, 132, "StatusDoc", [] { return new CStatusDoc; },
         [] { return new CStatusFrame; }, [] { return new CStatusHeaderView; }},
        {TEMPLATE_BROWSER, 133, "BrowserDoc", [] { return new CBrowserDoc; },
         [] { return new CBrowserFrame; }, [] { return new CBrowserHeaderView; }},
        {TEMPLATE_PUBLISHING, 135, "PublishingWizardDoc", [] { return new CPublishingWizardDoc; },
         [] { return new CPublishingWizardFrame; }, [] { return new CPublishingWizardHeaderView; }},
        {TEMPLATE_DIRECTORY, 134, "DirectoryDoc", [] { return new CProfilerDoc; },
         [] { return new CSDBChildFrame; }, [] { return new CDirectoryHeaderView; }},
    };
}

void InstallWindowPanes()
{
    SetPaneFactory(PaneKind::HeadlineList, [] { return new CHeadlineView; });
    SetPaneFactory(PaneKind::Browser, [] { return new CBrowserView; });
}

void InstallNavigationBar()
{
    CMainFrame::SetNavigationBarFactory(
        [](CMainFrame* frame) { return CreateNavigationBar(frame); });
}

CMDIFrameWnd* CreateReadhallMainFrame()
{
    return CreateMainFrameWindow();
}

CPlaceholderDoc::CPlaceholderDoc(const QString& kindName, const QString& title)
    : m_kindName(kindName)
{
    setObjectName(kindName);
    SetTitle(title);
}

CPlaceholderHeaderView::CPlaceholderHeaderView() : CView(QStringLiteral("CPlaceholderHeaderView"))
{
    setObjectName(QStringLiteral("PlaceholderHeaderView"));
    setMinimumSize(200, 60);
}

QSize CPlaceholderHeaderView::sizeHint() const
{
    return QSize(640, 420);
}

void CPlaceholderHeaderView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect band(0, 0, width(), qMin(height(), 60));
    painter.fillRect(rect(), palette().base());
    painter.fillRect(band, Qt::black);
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSize(14);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QString title = GetDocument() ? GetDocument()->GetTitle() : QString();
    painter.drawText(band.adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft, title);
}
