#include "src/shared/mainframelink.h"

namespace
{
// Set and read on the user-interface thread only, like the windows that use it.
CMainFrameLink* g_link = nullptr;
} // namespace

CMainFrameLink* MainFrameLink()
{
    return g_link;
}

void SetMainFrameLink(CMainFrameLink* link)
{
    g_link = link;
}

int ShowStoryInMainFrame(uint32_t channelId, uint32_t storyNumber)
{
    return g_link ? g_link->ShowStory(channelId, storyNumber) : 0;
}

int ShowURLInMainFrame(const QString& url)
{
    return g_link ? g_link->ShowURL(url) : 0;
}
