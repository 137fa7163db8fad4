#pragma once
// Program-wide values that windows of several kinds read and that may change from any
// thread: the engine's workgroup restrictions as the main frame keeps them, and the work the
// application does for the channel directory windows when it is idle.

#include "src/platform/wintypes.h"

// The engine's workgroup restriction mask (VTRESTRICT_* bits); read by the main frame at its
// creation and again when the engine says the restrictions changed.
DWORD GetWorkgroupRestrictions();
void SetWorkgroupRestrictions(DWORD mask);

// Work for the channel directory windows, asked for from any thread (the engine's
// restrictions change, the directory's engine callback, the directory list) and done by the
// application's idle processing: read the directory again, redraw the lists, or check
// whether the directory changed.
void RaiseDirectoryReloadRequest();
void RaiseDirectoryRedrawRequest();
void RaiseDirectoryRecheckRequest();
bool IsDirectoryReloadRequested();
bool IsDirectoryWorkPending();

struct DirectoryWork {
    bool reload = false;
    bool redraw = false;
    bool recheck = false;
};
// Takes every request; a reload swallows a redraw or recheck asked for before it was taken.
DirectoryWork TakeDirectoryWork();
