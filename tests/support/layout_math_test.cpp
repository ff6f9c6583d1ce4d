#include "layout_math.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A 1280 x 800 pixel desktop at 15 twips per pixel with a 40-pixel task bar at the bottom.
const Rect_Twips Desk = Rect_Twips::Make(0, 0, 11400, 19200);

struct Step_Shape {
    float A, B;
    bool Pause;
    bool operator==(const Step_Shape&) const = default;
};

// The two fields an animation moves, with the pause flag, for each step.
std::vector<Step_Shape> Shapes(const std::vector<Layout_Step>& steps, float Rect_Twips::*a, float Rect_Twips::*b) {
    std::vector<Step_Shape> out;
    for (const Layout_Step& s : steps) out.push_back({s.Rect.*a, s.Rect.*b, s.Pause});
    return out;
}

std::vector<float> Placed(const Popup_Choice& c) { return {c.Top, c.Left, c.From_Candidates ? 1.0f : 0.0f}; }

Order_Item Item(float top, float left, const wchar_t* name, std::optional<int> index = std::nullopt) {
    return {top, left, name, index};
}

}  // namespace

TEST(LayoutMath, WorkAreaUsesEachAxisOwnScale) {
    const Rect_Twips r = Work_Area_From_Pixels(10, 20, 110, 220, 15, 12);
    EXPECT_EQ((std::vector<float>{r.Top, r.Left, r.Bottom, r.Right, r.Height, r.Width}),
              (std::vector<float>{240, 150, 2640, 1650, 2400, 1500}));
}

TEST(LayoutMath, WindowAlreadyInPlaceDoesNotMove) {
    const Rect_Twips at = Rect_Twips::Make(300, 400, 3000, 4000);
    EXPECT_TRUE(Grow_Steps(at, at, Desk).empty());
    EXPECT_TRUE(Slide_Steps(at, at, Desk).empty());
    EXPECT_TRUE(Pull_Into_Work_Area_Steps(at, Desk).empty());
}

TEST(LayoutMath, GrowAndSlideMoveTheLargerStepFirstAndEndExactly) {
    const auto h = &Rect_Twips::Height, w = &Rect_Twips::Width;
    // Width moves 1200 and height 600, in 6 steps each: width first.
    const Rect_Twips small = Rect_Twips::Make(100, 200, 1000, 1000);
    const std::vector<Step_Shape> by_width = {
        {1000, 1200, true}, {1000, 1400, true},  {1000, 1600, true}, {1000, 1800, true},
        {1000, 2000, true}, {1000, 2200, false}, {1100, 2200, true}, {1200, 2200, true},
        {1300, 2200, true}, {1400, 2200, true},  {1500, 2200, true}, {1600, 2200, false},
    };
    EXPECT_EQ(Shapes(Grow_Steps(small, Rect_Twips::Make(0, 0, 1600, 2200), Desk), h, w), by_width);
    // Equal steps: width first too.
    EXPECT_FLOAT_EQ(Grow_Steps(small, Rect_Twips::Make(0, 0, 1600, 1600), Desk)[0].Rect.Width, 1100);

    // A wide target (4 steps) that mostly grows in height: height first.
    const Rect_Twips narrow = Rect_Twips::Make(100, 200, 1000, 9000);
    const std::vector<Layout_Step> tall = Grow_Steps(narrow, Rect_Twips::Make(0, 0, 5000, 10000), Desk);
    ASSERT_EQ(tall.size(), 8u);
    EXPECT_EQ(
        Shapes({tall[0], tall[3], tall[4], tall[7]}, h, w),
        (std::vector<Step_Shape>{{2000, 9000, true}, {5000, 9000, false}, {5000, 9250, true}, {5000, 10000, false}}));

    // A slide's step count also follows the target's size: 2 steps here, left first as it moves further.
    const std::vector<Layout_Step> slide =
        Slide_Steps(Rect_Twips::Make(0, 0, 6000, 10000), Rect_Twips::Make(400, 1000, 6000, 10000), Desk);
    EXPECT_EQ(Shapes(slide, &Rect_Twips::Top, &Rect_Twips::Left),
              (std::vector<Step_Shape>{{0, 500, true}, {0, 1000, false}, {200, 1000, true}, {400, 1000, false}}));
}

TEST(LayoutMath, PullBringsWindowBackInFiveUnpausedStepsPerEdge) {
    const auto t = &Rect_Twips::Top, l = &Rect_Twips::Left;
    const Rect_Twips area = Rect_Twips::Make(600, 300, 9000, 12000);  // task bars at top and left
    EXPECT_EQ(
        Shapes(Pull_Into_Work_Area_Steps(Rect_Twips::Make(8000, 1000, 2600, 2000), area), t, l),
        (std::vector<Step_Shape>{
            {7800, 1000, false}, {7600, 1000, false}, {7400, 1000, false}, {7200, 1000, false}, {7000, 1000, false}}));
    // Off the top-left corner: top first, then left.
    const std::vector<Layout_Step> in = Pull_Into_Work_Area_Steps(Rect_Twips::Make(100, -200, 1000, 1000), area);
    ASSERT_EQ(in.size(), 10u);
    EXPECT_EQ(Shapes({in[4], in[9]}, t, l), (std::vector<Step_Shape>{{600, -200, false}, {600, 300, false}}));
}

TEST(LayoutMath, CenterOnWorkAreaOrWholeScreen) {
    const Rect_Twips area = Rect_Twips::Make(600, 300, 10800, 18900);
    const Rect_Twips screen = Rect_Twips::Make(0, 0, 12000, 19200);
    const Position fits = Center_Position(4800, 9200, area, screen);
    EXPECT_EQ((std::vector<float>{fits.Top, fits.Left}), (std::vector<float>{3600, 5150}));
    const Position taller = Center_Position(11000, 9200, area, screen);
    EXPECT_EQ((std::vector<float>{taller.Top, taller.Left}), (std::vector<float>{500, 5000}));
}

TEST(LayoutMath, FormNeedsControlEdgePlusContainersAndFrame) {
    // A button at Top 120 inside a picture box at Top 600 with a 30-twip border.
    const std::vector<Chain_Link> chain = {{120, 300, std::nullopt}, {600, 2000, 1940}};
    EXPECT_FLOAT_EQ(Form_Need_Height(chain, 330, 60), 330 + (300 + 120 + 600 + 30) + 120 + 60);
    EXPECT_FLOAT_EQ(Form_Need_Width(chain, 60), (300 + 120 + 600 + 30) + 120 + 60);
    // The control's own border counts when it is a picture box itself.
    EXPECT_FLOAT_EQ(Form_Need_Width({{100, 1000, 960}}, 0), 1000 + 100 + 20 + 60);
}

TEST(LayoutMath, PopupAreasAndBoundingBox) {
    const Rect_Twips box = Bounding_Box({Rect_Twips::Make(100, 500, 300, 200), Rect_Twips::Make(50, 900, 100, 100)});
    EXPECT_EQ((std::vector<float>{box.Top, box.Left, box.Bottom, box.Right}), (std::vector<float>{50, 500, 400, 1000}));

    const std::vector<Rect_Twips> earlier = {Rect_Twips::Make(1000, 1000, 500, 500)};
    EXPECT_TRUE(Popup_Area_Free(1500, 1000, 100, 100, earlier));   // touches the bottom edge
    EXPECT_TRUE(Popup_Area_Free(1000, 900, 100, 100, earlier));    // touches the left edge
    EXPECT_FALSE(Popup_Area_Free(1499, 1499, 100, 100, earlier));  // one twip inside the corner
}

TEST(LayoutMath, PopupOpensRightOfAnchorPastEarlierAreas) {
    const Rect_Twips anchor = Rect_Twips::Make(3000, 1000, 300, 1000);
    EXPECT_EQ(Placed(Popup_Place(1000, 2000, anchor, {}, Desk)), (std::vector<float>{2650, 2000, 1}));
    // An earlier anchor covers the right side down to 2950: the form steps down until it only touches.
    EXPECT_EQ(Placed(Popup_Place(1000, 2000, anchor, {Rect_Twips::Make(2000, 2000, 950, 3000)}, Desk)),
              (std::vector<float>{2950, 2000, 1}));
}

TEST(LayoutMath, PopupNearRightEdgeOpensBelow) {
    // Below, walked left from the centred 9900 until the form's right edge reaches the work area's.
    const Rect_Twips area = Rect_Twips::Make(0, 0, 9000, 12000);
    EXPECT_EQ(Placed(Popup_Place(2000, 3000, Rect_Twips::Make(1000, 11000, 300, 800), {}, area)),
              (std::vector<float>{1300, 9000, 1}));
}

TEST(LayoutMath, PopupWithNoRoomTakesAWorkAreaCorner) {
    const Rect_Twips area = Rect_Twips::Make(0, 300, 6000, 8000);
    // Anchor in the lower right quarter: lower left corner.
    EXPECT_EQ(Placed(Popup_Place(5000, 7000, Rect_Twips::Make(4000, 6000, 300, 300), {}, area)),
              (std::vector<float>{1000, 300, 0}));
    // Anchor in the upper left quarter: upper right corner.
    EXPECT_EQ(Placed(Popup_Place(5500, 7500, Rect_Twips::Make(500, 600, 300, 300), {}, area)),
              (std::vector<float>{0, 800, 0}));
}

TEST(LayoutMath, TabOrderByPosition) {
    EXPECT_TRUE(Tab_Order({Item(0, 0, L"Txt")}).empty());  // a lone control keeps its tab number
    // Same top (after rounding) goes left to right.
    EXPECT_EQ(Tab_Order({Item(500, 900, L"A"), Item(500, 100, L"B"), Item(500.4f, 500, L"C"), Item(100, 800, L"D")}),
              (std::vector<int>{3, 1, 2, 0}));
    EXPECT_EQ(Tab_Order({Item(200, 200, L"A"), Item(200, 200, L"B")}), (std::vector<int>{0, 1}));
}

TEST(LayoutMath, TabOrderRunsThroughControlArrayFromElementZero) {
    const std::vector<Order_Item> items = {
        Item(1000, 3000, L"Cmd", 0), Item(500, 100, L"Txt"),  Item(100, 100, L"Cmd", 2),
        Item(2000, 0, L"Cmd", 1),    Item(1500, 0, L"Other"), Item(0, 0, L"Cmd", 4),  // 3 is missing
    };
    // Elements 1, 2 follow element 0 wherever they stand; 4 is cut off by the gap and comes last.
    EXPECT_EQ(Tab_Order(items), (std::vector<int>{1, 0, 3, 2, 4, 5}));
    // One element of an array alone in the container is ordered by its position only.
    EXPECT_EQ(Tab_Order({Item(1000, 0, L"A"), Item(0, 0, L"Cmd", 3)}), (std::vector<int>{1, 0}));
}

TEST(LayoutMath, StackingOrderPutsLowestRightmostOnTop) {
    EXPECT_TRUE(Z_Order({Item(0, 0, L"Pic")}).empty());
    // B rounds to A's place, so the later collected B is brought forward before A.
    EXPECT_EQ(Z_Order({Item(100, 100, L"A"), Item(0, 0, L"D"), Item(100.3f, 99.8f, L"B"), Item(0, 500, L"C")}),
              (std::vector<int>{1, 3, 2, 0}));
}

TEST(LayoutMath, ListExtentOnlyWhenTextDoesNotFit) {
    EXPECT_EQ(List_Extent(0, 5000, 1000, 15), 0);
    EXPECT_EQ(List_Extent(3, 1000, 1375, 15), 0);   // 1000 + 120 fits exactly in 1375 - 255
    EXPECT_EQ(List_Extent(3, 1000, 1374, 15), 75);  // 1120 / 15 = 74.7
}

TEST(LayoutMath, ShrinkStopsAtFloorOrWhenWindowStopsShrinking) {
    EXPECT_FLOAT_EQ(Shrink_Next(1500), 1200);
    EXPECT_TRUE(Shrink_Continues(100.4f, 125));
    EXPECT_FALSE(Shrink_Continues(99.4f, 125));

    // A window the platform keeps at least 1800 twips wide: the loop ends once the width holds still.
    float width = 6000, previous = width;
    int steps = 0;
    do {
        previous = width;
        width = std::max(Shrink_Next(width), 1800.0f);
        ++steps;
    } while (Shrink_Continues(width, previous) && steps < 50);  // the cap only keeps a fault from hanging
    EXPECT_EQ(steps, 7);                                        // 4800, 3840, 3072, 2457.6, 1966.08, 1800, 1800
}

// Made-up desktop at 15 twips per pixel: the primary monitor, 1920 x 1080 pixels with a 40-pixel task
// bar; a 1280 x 1024 monitor left of it and 200 pixels higher; a 1920 x 1080 one above the primary.
TEST(LayoutMath, LayoutStaysOnTheMonitorOfTheWindowLeftOfOrAboveThePrimary) {
    const std::vector<Monitor_Area> desktop = {
        {Rect_Twips::Make(0, 0, 16200, 28800), Rect_Twips::Make(0, 0, 15600, 28800)},
        {Rect_Twips::Make(-3000, -19200, 15360, 19200), Rect_Twips::Make(-3000, -19200, 14760, 19200)},
        {Rect_Twips::Make(-16200, 0, 16200, 28800), Rect_Twips::Make(-16200, 0, 16200, 28800)},
    };
    EXPECT_EQ(Monitor_For(desktop, Rect_Twips::Make(1000, -15000, 4000, 6000)), 1u);
    EXPECT_EQ(Monitor_For(desktop, Rect_Twips::Make(1000, -1000, 4000, 6000)), 0u);  // mostly on the primary
    EXPECT_EQ(Monitor_For(desktop, Rect_Twips::Make(-9000, 2000, 4000, 6000)), 2u);
    EXPECT_EQ(Monitor_For(desktop, Rect_Twips::Make(0, -40000, 1000, 1000)), 1u);  // on none: the nearest

    const Rect_Twips left_work = desktop[1].Work;
    // A popup beside an anchor on the left monitor opens right of it, not in a corner; with no room
    // anywhere, the corner follows the anchor's place on its own monitor (lower right -> lower left).
    EXPECT_EQ(Placed(Popup_Place(3000, 4000, Rect_Twips::Make(-1000, -15000, 300, 2000), {}, left_work)),
              (std::vector<float>{-2350, -13000, 1}));
    EXPECT_EQ(Placed(Popup_Place(14000, 18000, Rect_Twips::Make(9000, -3000, 300, 300), {}, left_work)),
              (std::vector<float>{-2240, -19200, 0}));
    // Centred on the whole monitor when taller than its work area.
    const Position centred = Center_Position(15000, 9000, left_work, desktop[1].Screen);
    EXPECT_EQ((std::vector<float>{centred.Top, centred.Left}), (std::vector<float>{-2820, -14100}));
    // A small window on the monitor above grows in the full six steps.
    EXPECT_EQ(Grow_Step_Count(3000, 4000, desktop[2].Work), 6);
}
