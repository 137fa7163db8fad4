#include "src/channel/mainframelink.h"

#include "src/engine/engctl.h"

#if __has_include("src/app/mainframe.h")
#include "src/app/mainframe.h"
#define RH_CHANNEL_HAS_MAINFRAME 1
#endif

uint32_t ChannelWindowRestrictions()
{
#ifdef RH_CHANNEL_HAS_MAINFRAME
    return GetWorkgroupRestrictions();
#else
    uint32_t mask = 0;
    return VTGetWorkgroupRestrictions(mask) ? mask : 0;
#endif
}

void ChannelWindowShowSecureIndicator(BOOL secure)
{
#ifdef RH_CHANNEL_HAS_MAINFRAME
    if (CMainFrame* frame = CMainFrame::instance())
        frame->ShowSecureIndicator(secure);
#else
    (void)secure;
#endif
}
