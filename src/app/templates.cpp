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
