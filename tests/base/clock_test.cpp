#include "base/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, VirtualTimeMovesOnlyBySleepAndAdvanceAndWraps) {
    base::ScopedVirtualClock clock(0xFFFFFF00u);
    EXPECT_EQ(base::GetTickCount(), 0xFFFFFF00u);
    base::Sleep(0x80);
    EXPECT_EQ(base::GetTickCount(), 0xFFFFFF80u);
    clock.Advance(0x100);
    EXPECT_EQ(base::GetTickCount(), 0x80u);  // wrapped
}

TEST(Clock, ScopesNest) {
    base::ScopedVirtualClock outer(100);
    {
        base::ScopedVirtualClock inner(5);
        EXPECT_EQ(base::GetTickCount(), 5u);
    }
    EXPECT_EQ(base::GetTickCount(), 100u);
}

}  // namespace
