#pragma once
// The arithmetic of the window layout helpers, free of any window: sizing a form to its controls,
// the grow / slide / pull-back animations, centring, popup placement beside an anchor, tab and
// stacking order by screen position, list scroll extents and the closing shrink. The window layer
// reads the geometry off the real windows, calls these and applies the results, so the rules can be
// tested without a display. All geometry is in twips (1,440 to the inch) as single precision.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct Rect_Twips {
    float Top = 0, Left = 0, Bottom = 0, Right = 0, Height = 0, Width = 0;
    // Bottom and Right follow from the other four.
    static Rect_Twips Make(float top, float left, float height, float width);
};

// The desktop work area from its pixel rectangle (left, top, right, bottom), converted with the
// horizontal twips per pixel for x and widths and the vertical one for y and heights.
Rect_Twips Work_Area_From_Pixels(int left, int top, int right, int bottom, float tpp_x, float tpp_y);

// One step of an animation: the window's outer rectangle once the step is applied, and whether the
// window then pauses 20 ms and lets pending messages run before the next step.
struct Layout_Step {
    Rect_Twips Rect;
    bool Pause;
};

// Steps per dimension for a grow or slide towards a target of this size: 6, or 4 when the target is
// taller than half the work area or wider than half of it, 2 when both, so the animation of a big
// window stays short.
int Grow_Step_Count(float target_height, float target_width, const Rect_Twips& work_area);

// Height and width from current towards target (Top and Left stay). The dimension with the larger
// step goes first; each takes n - 1 paused steps, then an unpaused exact assignment of the target
// value so rounding in the steps never leaves the window off by a twip. Empty when both already match.
std::vector<Layout_Step> Grow_Steps(const Rect_Twips& current, const Rect_Twips& target, const Rect_Twips& work_area);

// Top and Left from current towards target, in the same way as Grow_Steps (Height and Width stay);
// the step count still depends on the target's Height and Width.
std::vector<Layout_Step> Slide_Steps(const Rect_Twips& current, const Rect_Twips& target, const Rect_Twips& work_area);

// Moves a window that sticks out of the work area back in: bottom edge, then top, then right, then
// left, each in five equal unpaused steps. Empty when the window is inside.
std::vector<Layout_Step> Pull_Into_Work_Area_Steps(const Rect_Twips& current, const Rect_Twips& work_area);

struct Position {
    float Top, Left;
};

// Top-left that centres a form of this size on the work area, or on the whole monitor (screen) when
// the form is taller or wider than the work area.
Position Center_Position(float height, float width, const Rect_Twips& work_area, const Rect_Twips& screen);

// One monitor of the desktop: its whole area and its work area (without the task bar), in twips.
// Monitors left of or above the primary one have negative coordinates.
struct Monitor_Area {
    Rect_Twips Screen, Work;
};

// The monitor that holds the rectangle (Top, Left, Height, Width used), as Windows picks one: the
// one it overlaps most; when it overlaps none, the nearest one; the first one on a tie. 0 when the
// list is empty.
std::size_t Monitor_For(const std::vector<Monitor_Area>& monitors, const Rect_Twips& r);

// Popup placement. Rectangles here use Top, Left, Height and Width only (Bottom and Right are
// derived from them), because the registered anchor areas carry only those four.

// The smallest rectangle holding all the given ones; all zero when none is given.
Rect_Twips Bounding_Box(const std::vector<Rect_Twips>& rects);

// True when a form of size fh x fw placed at (top, left) stays inside the work area.
bool Popup_Fits_Screen(float top, float left, float fh, float fw, const Rect_Twips& work_area);

// True when a form of size fh x fw placed at (top, left) overlaps none of the earlier anchor areas.
// Rectangles that only touch at an edge do not overlap.
bool Popup_Area_Free(float top, float left, float fh, float fw, const std::vector<Rect_Twips>& earlier);

struct Popup_Choice {
    float Top, Left;
    bool From_Candidates;  // false: nothing beside the anchor was free, a work-area corner was taken
};

// Place for a popup of size fh x fw beside the anchor: right of it, below, left, above, each walked
// in 60-twip steps from the position centred on the anchor; the first one that fits the work area
// and covers no earlier anchor wins. Failing that, a work-area corner: at the anchor's half of the
// work area (upper or lower), on the other side from it (left or right).
Popup_Choice Popup_Place(float fh, float fw, const Rect_Twips& anchor, const std::vector<Rect_Twips>& earlier,
                         const Rect_Twips& work_area);

// A control to order: its screen position (rounded to whole twips here), its name and its index
// when it belongs to a control array.
struct Order_Item {
    float Top, Left;
    std::wstring Name;
    std::optional<int> Index;
};

// Tab order of the focusable controls of a container, given in the form's control order: top to
// bottom, then left to right. A control array is entered at its element 0 (or whichever member
// comes up first) and then runs through its elements 1, 2, 3, ... in index order. Returns the item
// positions in tab order (tab number = position in the result); empty when fewer than two items,
// which leaves the existing tab order alone.
std::vector<int> Tab_Order(const std::vector<Order_Item>& items);

// Stacking order of a container's children, as collected (a child may appear more than once).
// Returns the entry positions in the order they are brought to the front, so the lowest and
// furthest right child ends on top; empty when fewer than two entries.
std::vector<int> Z_Order(const std::vector<Order_Item>& entries);

// Horizontal scroll extent in pixels for a list box whose widest item is text_width twips wide:
// 0 (no scroll bar) when the list is empty or the text fits beside the vertical scroll bar.
int List_Extent(int item_count, float text_width, float list_width, float tpp_y);

// One object in the chain from a control up to its form (the form itself not included), converted
// to twips: its Top (or Left) and Height (or Width), and for a picture box its inner height (width).
struct Chain_Link {
    float Offset;
    float Size;
    std::optional<float> Inner_Size;
};

// Outer form height / width that shows the lower / right edge of the chain's first control with a
// 60-twip margin. The window layer answers for a form itself (its own current size).
float Form_Need_Height(const std::vector<Chain_Link>& chain, float caption_height, float border_width);
float Form_Need_Width(const std::vector<Chain_Link>& chain, float border_width);

// The closing shrink: the next value of a shrinking dimension (4/5 of it), and whether the shrink
// goes on with the value read back from the window. It stops below 100 twips, or as soon as the
// platform refuses to make the window smaller (a minimum window size).
float Shrink_Next(float value);
bool Shrink_Continues(float value, float previous);
