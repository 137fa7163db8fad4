#include "src/browser/showstory.h"

#include "src/app/mainframe.h"
#include "src/browser/browsercalls.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelids.h"
#include "src/engine/chandir.h"
#include "src/framework/document.h"

namespace
{
constexpr uint32_t ACCESS_ALL = 0xFFFFFFFFu;

// Opens the content package of the story (for an alert, of the story that raised it).
void accessPackage(CServices* services, const CService* channel, int index, uint32_t channelId)
{
    BrowserCalls& calls = browserCalls();
    uint32_t bundlet = 0;
    if (channelId != VT_ALERTS_CHANNEL_ID) {
        if (channel->GetStoryAttribute(index, QStringLiteral("Bundlet Id"), bundlet))
            calls.accessBundlet(channelId, bundlet, ACCESS_ALL);
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
        calls.accessBundlet(alertChannel, bundlet, ACCESS_ALL);
}

// A local document whose extension does not begin with "htm".
bool isLocalNonPage(const QString& url)
{
    if (!IsLocalFileLocation(url))
        return false;
    const int dot = url.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString extension = url.mid(dot + 1);
    if (extension.isEmpty())
        return false;
    return !extension.left(3).startsWith(QLatin1String("htm"), Qt::CaseInsensitive);
}
} // namespace

void SendShowURLHint(CDocument* document, const QString& url)
{
    if (!document)
        return;
    CUpdateHint hint(url);
    document->UpdateAllViews(nullptr, HINT_SHOW_URL, &hint);
}

BOOL ShowStoryInBrowser(CDocument* browserDocument, QWidget* window, uint32_t channelId,
                        uint32_t storyNumber)
{
    BrowserCalls& calls = browserCalls();
    bool shown = false;
    CServices* services = browserDocument ? GetCServices() : nullptr;
    if (services) {
        const CService* channel = services->GetServiceByID(channelId);
        const int index = channel ? channel->GetStoryIndex(storyNumber) : -1;
        QString url;
        if (index >= 0 && channel->GetStoryField(index, QStringLiteral("URL"), url)) {
            accessPackage(services, channel, index, channelId);
            if (isLocalNonPage(url)) {
                calls.playStory(channelId, storyNumber, window);
            } else {
                SendShowURLHint(browserDocument, url);
                calls.markStoryRead(channelId, storyNumber, STORYREAD_OPENED);
            }
            shown = true;
        }
        ReleaseCServices();
    }
    if (!shown)
        return calls.playStory(channelId, storyNumber, window);
    return 1;
}

BOOL ShowURLInBrowser(CDocument* browserDocument, const QString& url)
{
    if (url.isNull())
        return 0;
    if (browserDocument) {
        SendShowURLHint(browserDocument, url);
        return 1;
    }
    // The desktop's handler gets the address or path itself; no shell reads it, so quotes
    // around a path are taken off rather than added.
    QString target = url.trimmed();
    if (target.size() >= 2 && target.startsWith(QLatin1Char('"')) &&
        target.endsWith(QLatin1Char('"')))
        target = target.mid(1, target.size() - 2);
    if (target.isEmpty())
        return 0;
    return browserCalls().shellOpen(target);
}

void InstallBrowserNavigator()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    CMainFrame::SetBrowserNavigator(
        [](CDocument* document, const QString& url) { SendShowURLHint(document, url); });
}
