#include "src/browser/showstory.h"

#include "src/app/mainframe.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelids.h"
#include "src/framework/document.h"

void SendShowURLHint(CDocument* document, const QString& url)
{
    if (!document)
        return;
    CUpdateHint hint(url);
    document->UpdateAllViews(nullptr, HINT_SHOW_URL, &hint);
}

void InstallBrowserNavigator()
{
    CMainFrame::SetBrowserNavigator(
        [](CDocument* document, const QString& url) { SendShowURLHint(document, url); });
}
