#include "src/browser/browsercalls.h"

#include "src/engine/notificationwindow.h"
#include "src/shared/mainframelink.h"

BrowserCalls BrowserCalls::real()
{
    BrowserCalls calls;
    calls.getCachedURL = [](const QString& url, QString& cached) {
        QKBuffer buffer;
        if (!VTGetCachedURL(url, buffer))
            return 0;
        cached = buffer.GetText();
        return 1;
    };
    calls.cachedFile = [](const QString& cachedUrl) {
        QKBuffer buffer;
        return VTGetCachedFile(cachedUrl, buffer) ? buffer.GetText() : QString();
    };
    calls.showStory = ShowStoryInMainFrame;
    calls.broadcastNotification = [](int number, const QString& text, uint32_t value) {
        return BroadcastNotification(number, text, value);
    };
    calls.dataDirectory = [] {
        QKBuffer buffer;
        if (VTGetDirectory(1, buffer) != 1)
            return QString();
        return buffer.GetText();
    };
    calls.programDirectory = [] {
        QKBuffer buffer;
        if (VTGetDirectory(0, buffer) != 1)
            return QString();
        return buffer.GetText();
    };
    return calls;
}

BrowserCalls& browserCalls()
{
    static BrowserCalls calls = BrowserCalls::real();
    return calls;
}

void resetBrowserCalls()
{
    browserCalls() = BrowserCalls::real();
}
