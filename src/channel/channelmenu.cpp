#include "src/channel/channelmenu.h"

#include "src/channel/channelids.h"
#include "src/shared/programstate.h"
#include "vantrel/chandir.h"

std::vector<CMenuItem> ChannelContextMenuItems(uint32_t channelId)
{
    std::vector<CMenuItem> items;
    bool enabled = true;
    if (CServices* services = GetCServices()) {
        if (CService* channel = services->GetServiceByID(channelId))
            enabled = channel->IsEnabled() != 0;
        ReleaseCServices();
    }
    if (!(GetWorkgroupRestrictions() & VTRESTRICT_UPDATE_NOW))
        items.push_back({ID_CHANNEL_UPDATE_NOW, QStringLiteral("Update &Now"), {}});
    if (enabled)
        items.push_back({ID_CHANNEL_DISABLE, QStringLiteral("&Disable Channel"), {}});
    else
        items.push_back({ID_CHANNEL_ENABLE, QStringLiteral("&Enable Channel"), {}});
    items.push_back({ID_CHANNEL_UNSUBSCRIBE, QStringLiteral("&Unsubscribe..."), {}});
    items.push_back({ID_CHANNEL_PROPERTIES, QStringLiteral("&Properties..."), {}});
    return items;
}
