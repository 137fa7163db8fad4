#include "src/channel/mainframelink.h"

#include "src/app/mainframe.h"

uint32_t ChannelWindowRestrictions()
{
    return GetWorkgroupRestrictions();
}

void ChannelWindowShowSecureIndicator(BOOL secure)
{
    if (CMainFrame* frame = CMainFrame::instance())
        frame->ShowSecureIndicator(secure);
}
