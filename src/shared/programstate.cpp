#include "src/shared/programstate.h"

#include <atomic>

namespace
{
std::atomic<DWORD> g_workgroupRestrictions{0};
std::atomic<bool> g_reload{false};
std::atomic<bool> g_redraw{false};
std::atomic<bool> g_recheck{false};
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
    g_reload.store(true);
}

void RaiseDirectoryRedrawRequest()
{
    g_redraw.store(true);
}

void RaiseDirectoryRecheckRequest()
{
    g_recheck.store(true);
}

bool IsDirectoryReloadRequested()
{
    return g_reload.load();
}

bool IsDirectoryWorkPending()
{
    return g_reload.load() || g_redraw.load() || g_recheck.load();
}

DirectoryWork TakeDirectoryWork()
{
    DirectoryWork work;
    work.reload = g_reload.exchange(false);
    work.redraw = g_redraw.exchange(false) && !work.reload;
    work.recheck = g_recheck.exchange(false) && !work.reload;
    return work;
}
