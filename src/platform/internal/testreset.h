#pragma once
// Lets each part of the platform layer reset its cached state before and after every test of
// every test program, without depending on the test support: the test support defines
// rhtest_add_per_test_reset, and a program built without it leaves the weak symbol null.

extern "C" void rhtest_add_per_test_reset(void (*reset)()) __attribute__((weak));

namespace platform::detail
{

struct PerTestReset {
    explicit PerTestReset(void (*reset)())
    {
        if (rhtest_add_per_test_reset != nullptr)
            rhtest_add_per_test_reset(reset);
    }
};

} // namespace platform::detail
