#pragma once
// Program-wide values that windows of several kinds read and that change from any thread:
// the engine's workgroup restrictions as the main frame keeps them, and the request that the
// channel directory reads the directory again.

#include "src/platform/wintypes.h"

// The engine's workgroup restriction mask (VTRESTRICT_* bits); read by the main frame at its
// creation and again when the engine says the restrictions changed.
DWORD GetWorkgroupRestrictions();
void SetWorkgroupRestrictions(DWORD mask);

// The request that the channel directory reads the directory again. Raised from any thread
// (the engine's restrictions change, the directory's engine callback); the application's
// idle work takes it.
void RaiseDirectoryReloadRequest();
// Answers whether a request was raised and clears it.
bool TakeDirectoryReloadRequest();
bool IsDirectoryReloadRequested();
