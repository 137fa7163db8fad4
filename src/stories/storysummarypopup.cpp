#include "src/stories/storysummarypopup.h"

#include "src/engine/messages.h"
#include "src/stories/storycalls.h"

int CStorySummaryPopup::OnShowURL(const QString& url)
{
    StoryCalls& calls = storyCalls();
    return calls.showURL ? calls.showURL(url) : 0;
}

int CStorySummaryPopup::OnShowStory(uint32_t channelId, uint32_t storyNumber)
{
    StoryCalls& calls = storyCalls();
    const int result = calls.showStory ? calls.showStory(channelId, storyNumber) : 0;
    if (channelId == VT_ALERTS_CHANNEL_ID && calls.broadcastNotification)
        calls.broadcastNotification(VTNOTIFICATION_ALERTS_CHANGED, QString(), 0);
    return result;
}
