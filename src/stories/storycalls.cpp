#include "src/stories/storycalls.h"

#include "src/engine/notificationwindow.h"
#include "src/shared/mainframelink.h"

StoryCalls StoryCalls::real()
{
    StoryCalls calls;
    calls.markStoriesRead = VTMarkStoriesRead;
    calls.markStoryRead = VTMarkStoryRead;
    calls.deleteStories = VTDeleteStories;
    calls.keepStory = VTKeepStory;
    calls.downloadStory = VTDownloadStory;
    calls.playBundlet = VTPlayBundlet;
    calls.replicateBundlet = VTReplicateBundlet;
    calls.showBundletProperties = VTShowBundletProperties;
    calls.showStory = ShowStoryInMainFrame;
    calls.showURL = ShowURLInMainFrame;
    calls.broadcastNotification = [](int number, const QString& text, uint32_t value) {
        return BroadcastNotification(number, text, value);
    };
    return calls;
}

StoryCalls& storyCalls()
{
    static StoryCalls calls = StoryCalls::real();
    return calls;
}

void resetStoryCalls()
{
    storyCalls() = StoryCalls::real();
}
