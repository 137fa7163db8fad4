#pragma once
// What the channel window asks of the main frame: the workgroup restrictions it keeps and its
// secure-channel indicator.

#include "src/platform/wintypes.h"

#include <cstdint>

// The engine's workgroup restriction bits as the main frame keeps them.
uint32_t ChannelWindowRestrictions();
// Shows the secure (1) or plain (0) picture in the main frame's status bar.
void ChannelWindowShowSecureIndicator(BOOL secure);
