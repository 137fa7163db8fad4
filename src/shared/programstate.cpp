#include "src/shared/programstate.h"

#include <atomic>

namespace
{
std::atomic<DWORD> g_workgroupRestrictions{0};
std::atomic<int> g_directoryReloadRequest{0};
} // namespace

DWORD GetWorkgroupRestrictions()
{
    return g_workgroupRestrictions.load();
}

void SetWorkgroupRestrictions(DWORD mask)
{
    g_workgroupRestrictions.store(mask);
}

void RaiseDirectoryReloadRequest()
{
    g_directoryReloadRequest.store(1);
}

bool TakeDirectoryReloadRequest()
{
    return g_directoryReloadRequest.exchange(0) != 0;
}

bool IsDirectoryReloadRequested()
{
    return g_directoryReloadRequest.load() != 0;
}
