#include <gtest/gtest.h>
#include <windows.h>

#include "global_memory.h"
#include "owned_handle.h"
#include "scoped_value.h"

namespace {

int g_closed = 0;
struct Count_Close {
    void operator()(int*) const { ++g_closed; }
};
using Counted = Owned_Handle<int*, Count_Close>;

}  // namespace

// Closed once, by whoever holds it last; never when it was handed over.
TEST(OwnedHandle, ClosesOnceUnlessHandedOver) {
    int a = 0, b = 0;
    g_closed = 0;
    {
        Counted first(&a);
        Counted second(std::move(first));
        EXPECT_FALSE(first);
        second = Counted(&b);  // a is closed as b takes its place
        EXPECT_EQ(g_closed, 1);
        Counted kept(&a);
        EXPECT_EQ(kept.Release(), &a);
    }
    EXPECT_EQ(g_closed, 2);  // b; a was handed over
}

TEST(GlobalMemory, LockedForTheScopeOnly) {
    Global_Memory block(GlobalAlloc(GMEM_MOVEABLE, 16));
    ASSERT_TRUE(block);
    {
        const Global_Lock lock(block.Get());
        ASSERT_NE(lock.Data(), nullptr);
        EXPECT_EQ(lock.Bytes().size(), 16u);
        EXPECT_EQ(GlobalFlags(block.Get()) & GMEM_LOCKCOUNT, 1u);
    }
    EXPECT_EQ(GlobalFlags(block.Get()) & GMEM_LOCKCOUNT, 0u);
    EXPECT_EQ(Global_Lock(nullptr).Data(), nullptr);
}

TEST(ScopedValue, PutsBackTheEarlierValueOnEveryWayOut) {
    bool flag = true;
    auto leave_early = [&flag](bool early) {
        const Scoped_Value off(flag, false);
        if (early) return flag;
        return !flag;
    };
    EXPECT_FALSE(leave_early(true));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(leave_early(false));
    EXPECT_TRUE(flag);
}
