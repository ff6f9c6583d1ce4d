#include "mouse_pointer.h"

#include <gtest/gtest.h>

// The hourglass goes when its scope ends, however it ends; an inner one leaves the outer's on.
TEST(Hourglass, PutsBackThePointerShownBefore) {
    Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
    {
        const Hourglass outer;
        {
            const Hourglass inner;
            EXPECT_EQ(Screen_Mouse_Pointer(), Mouse_Pointer::Hourglass);
        }
        EXPECT_EQ(Screen_Mouse_Pointer(), Mouse_Pointer::Hourglass);
    }
    EXPECT_EQ(Screen_Mouse_Pointer(), Mouse_Pointer::Default);
}
