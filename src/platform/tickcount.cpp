#include "src/platform/tickcount.h"

#include "src/platform/internal/testreset.h"

#include <atomic>
#include <time.h>

namespace
{

std::atomic<bool> g_testClock{false};
std::atomic<DWORD> g_testNow{0};

} // namespace

DWORD GetTickCount()
{
    if (g_testClock.load())
        return g_testNow.load();
    struct timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    const unsigned long long ms =
        (unsigned long long)ts.tv_sec * 1000ULL + (unsigned long long)ts.tv_nsec / 1000000ULL;
    return DWORD(ms); // wraps like the desktop's counter
}

namespace platform
{

void setTickCountForTesting(DWORD now)
{
    g_testNow.store(now);
    g_testClock.store(true);
}

void advanceTickCount(DWORD milliseconds)
{
    if (!g_testClock.exchange(true))
        g_testNow.store(0);
    g_testNow.fetch_add(milliseconds); // unsigned: wraps
}

void useRealTickCount()
{
    g_testClock.store(false);
}

namespace
{
const detail::PerTestReset registerReset(&useRealTickCount);
}

} // namespace platform
