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
