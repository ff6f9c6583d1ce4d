#include "take_back_turns.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Takes back the newest of the pastes, as the window does, with presses that come while one is being
// made (window messages run during its Excel calls) handled on the same stack, as they are.
struct Window {
    Take_Back_Turns turns;
    std::vector<int> pastes{1, 2, 3, 4};
    std::vector<int> taken;
    int depth = 0, deepest = 0;
    std::function<void()> during_take_back;
    bool pasting = false;

    void Press() {
        if (turns.Press()) Make();
    }
    void Make() {
        if (pasting) {
            turns.Hold();
            return;
        }
        while (turns.Next()) {
            deepest = std::max(deepest, ++depth);
            const int newest = pastes.back();
            if (during_take_back) std::exchange(during_take_back, nullptr)();
            // Nothing else took the entry away meanwhile.
            EXPECT_EQ(pastes.back(), newest);
            pastes.pop_back();
            taken.push_back(newest);
            --depth;
        }
    }
};

}  // namespace

TEST(Take_Back_Turns, PressesDuringATakeBackEachTakeBackOneMoreInOrderNeverInsideIt) {
    Window w;
    // The button, then the hot key twice while Excel keeps the first one waiting.
    w.during_take_back = [&] {
        w.Press();
        w.Press();
        EXPECT_EQ(w.turns.Waiting(), 2);
    };
    w.Press();
    EXPECT_EQ(w.taken, (std::vector<int>{4, 3, 2}));
    EXPECT_EQ(w.deepest, 1);
    EXPECT_FALSE(w.turns.Running());
    EXPECT_EQ(w.turns.Waiting(), 0);
    // The next press starts afresh.
    w.Press();
    EXPECT_EQ(w.taken.back(), 1);
}

TEST(Take_Back_Turns, PressesDuringAPasteWaitForItsEndAndARefusalDropsTheRest) {
    Window w;
    w.pasting = true;
    w.Press();
    w.Press();
    EXPECT_TRUE(w.taken.empty());
    EXPECT_EQ(w.turns.Waiting(), 2);
    // The paste's step is over: both are made.
    w.pasting = false;
    w.Make();
    EXPECT_EQ(w.taken, (std::vector<int>{4, 3}));

    // A refusal shown to the user forgets what was pressed before it was seen.
    Take_Back_Turns turns;
    ASSERT_TRUE(turns.Press());
    ASSERT_TRUE(turns.Next());
    EXPECT_FALSE(turns.Press());
    turns.Drop_Waiting();
    EXPECT_FALSE(turns.Next());
    EXPECT_FALSE(turns.Running());
}
