#pragma once
// The millisecond tick count: a 32-bit number of milliseconds that wraps after about 49 days.
// Tests replace the clock to test timed behaviour without sleeping.

#include "src/platform/wintypes.h"

DWORD GetTickCount();

namespace platform
{
// From now on GetTickCount returns the given value until changed again.
void setTickCountForTesting(DWORD now);
// Moves the test clock forward (wrapping like the real one); starts it at 0 when the real
// clock was in use.
void advanceTickCount(DWORD milliseconds);
// Back to the real clock.
void useRealTickCount();
} // namespace platform
