#pragma once
// The context menu of one channel, shared by the folder tree and the channel header.

#include "src/framework/cmdmenu.h"

#include <cstdint>
#include <vector>

// Update Now (unless the workgroup restrictions forbid it), Disable or Enable as the channel
// stands now (Disable for a channel the engine does not know), Unsubscribe and Properties.
std::vector<CMenuItem> ChannelContextMenuItems(uint32_t channelId);
