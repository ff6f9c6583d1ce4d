#include "layout_math.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr float Popup_Step = 60;     // twips between two popup candidates
constexpr float Form_Margin = 60;    // twips left below / right of the control a form is fitted to
constexpr float List_Margin = 120;   // twips of padding added to the widest list item
constexpr float List_Scroll = 255;   // twips taken by a list box's vertical scroll bar and border
constexpr float Shrink_Floor = 100;  // twips under which the closing shrink stops
constexpr int Pull_Steps = 5;

// Screen positions and text widths are compared in whole twips, so sub-twip noise from the pixel
// conversions does not decide an order. Ties round to even, as the platform's own conversions do.
float Whole(float v) { return std::nearbyint(v); }

Rect_Twips Rederived(const Rect_Twips& r) { return Rect_Twips::Make(r.Top, r.Left, r.Height, r.Width); }

// Moves one field of the rectangle to its target: n - 1 paused steps of d, then the exact value.
void Step_Field(std::vector<Layout_Step>& steps, Rect_Twips& r, float Rect_Twips::*field, float target, float d,
                int n) {
    for (int i = 1; i < n; ++i) {
        r.*field += d;
        r = Rederived(r);
        steps.push_back({r, true});
    }
    r.*field = target;
    r = Rederived(r);
    steps.push_back({r, false});
}

// Grow and slide are one animation over two fields: a (Height or Top) and b (Width or Left).
std::vector<Layout_Step> Two_Field_Steps(const Rect_Twips& current, const Rect_Twips& target,
                                         const Rect_Twips& work_area, float Rect_Twips::*a, float Rect_Twips::*b) {
    std::vector<Layout_Step> steps;
    if (target.*a == current.*a && target.*b == current.*b) return steps;
    const int n = Grow_Step_Count(target.Height, target.Width, work_area);
    const float da = (target.*a - current.*a) / static_cast<float>(n);
    const float db = (target.*b - current.*b) / static_cast<float>(n);
    Rect_Twips r = Rederived(current);
    if (std::fabs(db) >= std::fabs(da)) {
        Step_Field(steps, r, b, target.*b, db, n);
        Step_Field(steps, r, a, target.*a, da, n);
    } else {
        Step_Field(steps, r, a, target.*a, da, n);
        Step_Field(steps, r, b, target.*b, db, n);
    }
    return steps;
}

// Five equal unpaused moves of one field by `by` in total.
void Pull_Field(std::vector<Layout_Step>& steps, Rect_Twips& r, float Rect_Twips::*field, float by) {
    const float d = by / Pull_Steps;
    for (int i = 0; i < Pull_Steps; ++i) {
        r.*field += d;
        r = Rederived(r);
        steps.push_back({r, false});
    }
}

bool Popup_Accepted(float top, float left, float fh, float fw, const std::vector<Rect_Twips>& earlier,
                    const Rect_Twips& work_area) {
    return Popup_Fits_Screen(top, left, fh, fw, work_area) && Popup_Area_Free(top, left, fh, fw, earlier);
}

// Walks one coordinate from its centred value forward in 60-twip steps while it is at most `last`,
// then from the centred value backward while it is at least `first`; returns the first accepted value.
template <class Accept>
std::optional<float> Walk(float centred, float first, float last, Accept accept) {
    for (float v = centred; v <= last; v += Popup_Step) {
        if (accept(v)) return v;
    }
    for (float v = centred; v >= first; v -= Popup_Step) {
        if (accept(v)) return v;
    }
    return std::nullopt;
}

// Same-named items are array members and keep their index; a control alone under its name (even if
// it is one element of an array) is ordered by position only.
std::vector<std::optional<int>> Array_Indexes(const std::vector<Order_Item>& items) {
    std::vector<std::optional<int>> indexes(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (std::size_t j = i + 1; j < items.size(); ++j) {
            if (items[i].Name == items[j].Name) {
                indexes[i] = items[i].Index;
                indexes[j] = items[j].Index;
            }
        }
    }
    return indexes;
}

float Need(const std::vector<Chain_Link>& chain) {
    if (chain.empty()) return 0;
    float need = chain.front().Size;
    for (const Chain_Link& link : chain) {
        need += link.Offset;
        // A picture box's own border sits between its outer edge and the content.
        if (link.Inner_Size) need += (link.Size - *link.Inner_Size) / 2;
    }
    return need;
}

}  // namespace

Rect_Twips Rect_Twips::Make(float top, float left, float height, float width) {
    return {top, left, top + height, left + width, height, width};
}

Rect_Twips Work_Area_From_Pixels(int left, int top, int right, int bottom, float tpp_x, float tpp_y) {
    return Rect_Twips::Make(static_cast<float>(top) * tpp_y, static_cast<float>(left) * tpp_x,
                            static_cast<float>(bottom - top) * tpp_y, static_cast<float>(right - left) * tpp_x);
}

int Grow_Step_Count(float target_height, float target_width, const Rect_Twips& work_area) {
    // Against the work area's own size: a monitor beside or above the primary one has its edges far
    // from (or before) the desktop's origin.
    const bool tall = 2 * target_height > work_area.Height;
    const bool wide = 2 * target_width > work_area.Width;
    if (tall && wide) return 2;
    if (tall || wide) return 4;
    return 6;
}

std::vector<Layout_Step> Grow_Steps(const Rect_Twips& current, const Rect_Twips& target, const Rect_Twips& work_area) {
    return Two_Field_Steps(current, target, work_area, &Rect_Twips::Height, &Rect_Twips::Width);
}

std::vector<Layout_Step> Slide_Steps(const Rect_Twips& current, const Rect_Twips& target, const Rect_Twips& work_area) {
    return Two_Field_Steps(current, target, work_area, &Rect_Twips::Top, &Rect_Twips::Left);
}

std::vector<Layout_Step> Pull_Into_Work_Area_Steps(const Rect_Twips& current, const Rect_Twips& work_area) {
    std::vector<Layout_Step> steps;
    Rect_Twips r = Rederived(current);
    if (r.Top + r.Height > work_area.Bottom) Pull_Field(steps, r, &Rect_Twips::Top, work_area.Bottom - r.Bottom);
    if (work_area.Top > r.Top) Pull_Field(steps, r, &Rect_Twips::Top, work_area.Top - r.Top);
    if (r.Left + r.Width > work_area.Right) Pull_Field(steps, r, &Rect_Twips::Left, work_area.Right - r.Right);
    if (work_area.Left > r.Left) Pull_Field(steps, r, &Rect_Twips::Left, work_area.Left - r.Left);
    return steps;
}

Position Center_Position(float height, float width, const Rect_Twips& work_area, const Rect_Twips& screen) {
    if (height > work_area.Height || width > work_area.Width) {
        return {(screen.Height - height) / 2 + screen.Top, (screen.Width - width) / 2 + screen.Left};
    }
    return {(work_area.Height - height) / 2 + work_area.Top, (work_area.Width - width) / 2 + work_area.Left};
}

Rect_Twips Bounding_Box(const std::vector<Rect_Twips>& rects) {
    if (rects.empty()) return {};
    float top = rects.front().Top, left = rects.front().Left;
    float bottom = top + rects.front().Height, right = left + rects.front().Width;
    for (const Rect_Twips& r : rects) {
        top = std::min(top, r.Top);
        left = std::min(left, r.Left);
        bottom = std::max(bottom, r.Top + r.Height);
        right = std::max(right, r.Left + r.Width);
    }
    return Rect_Twips::Make(top, left, bottom - top, right - left);
}

bool Popup_Fits_Screen(float top, float left, float fh, float fw, const Rect_Twips& work_area) {
    return top >= work_area.Top && left >= work_area.Left && top + fh <= work_area.Bottom &&
           left + fw <= work_area.Right;
}

bool Popup_Area_Free(float top, float left, float fh, float fw, const std::vector<Rect_Twips>& earlier) {
    const float bottom = top + fh, right = left + fw;
    for (const Rect_Twips& a : earlier) {
        if (top < a.Top + a.Height && a.Top < bottom && left < a.Left + a.Width && a.Left < right) return false;
    }
    return true;
}

std::size_t Monitor_For(const std::vector<Monitor_Area>& monitors, const Rect_Twips& r) {
    std::size_t best = 0;
    float best_overlap = 0, best_distance = 0;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const Rect_Twips& m = monitors[i].Screen;
        const float overlap_x = std::min(r.Left + r.Width, m.Right) - std::max(r.Left, m.Left);
        const float overlap_y = std::min(r.Top + r.Height, m.Bottom) - std::max(r.Top, m.Top);
        const float overlap = overlap_x > 0 && overlap_y > 0 ? overlap_x * overlap_y : 0;
        // Off every monitor: how far the rectangle is from this one (0 along an axis it spans).
        const float dx = std::max({0.0f, m.Left - (r.Left + r.Width), r.Left - m.Right});
        const float dy = std::max({0.0f, m.Top - (r.Top + r.Height), r.Top - m.Bottom});
        const float distance = dx * dx + dy * dy;
        if (i == 0 || overlap > best_overlap || (best_overlap == 0 && overlap == 0 && distance < best_distance)) {
            best = i;
            best_overlap = overlap;
            best_distance = distance;
        }
    }
    return best;
}

Popup_Choice Popup_Place(float fh, float fw, const Rect_Twips& anchor, const std::vector<Rect_Twips>& earlier,
                         const Rect_Twips& work_area) {
    const float t = anchor.Top, l = anchor.Left, h = anchor.Height, w = anchor.Width;
    const float b = t + h, r = l + w;
    const float centred_top = t + (h - fh) / 2;
    const float centred_left = l + (w - fw) / 2;
    const auto at_left = [&](float left) {
        return [&, left](float top) { return Popup_Accepted(top, left, fh, fw, earlier, work_area); };
    };
    const auto at_top = [&](float top) {
        return [&, top](float left) { return Popup_Accepted(top, left, fh, fw, earlier, work_area); };
    };
    if (auto top = Walk(centred_top, t - fh, b, at_left(r))) return {*top, r, true};
    if (auto left = Walk(centred_left, l - fw, r, at_top(b))) return {b, *left, true};
    if (auto top = Walk(centred_top, t - fh, b, at_left(l - fw))) return {*top, l - fw, true};
    if (auto left = Walk(centred_left, l - fw, r, at_top(t - fh))) return {t - fh, *left, true};

    // No room beside the anchor: a corner at the anchor's height (upper or lower half) on the other
    // side of the screen from it.
    const bool upper = t + h / 2 < work_area.Top + work_area.Height / 2;
    const bool leftish = l + w / 2 < work_area.Left + work_area.Width / 2;
    const float top = upper ? work_area.Top : work_area.Bottom - fh;
    const float left = leftish ? work_area.Right - fw : work_area.Left;
    return {top, left, false};
}

std::vector<int> Tab_Order(const std::vector<Order_Item>& items) {
    const int count = static_cast<int>(items.size());
    std::vector<int> order;
    if (count < 2) return order;
    const std::vector<std::optional<int>> index = Array_Indexes(items);
    std::vector<bool> done(items.size(), false);
    const auto at = [](int i) { return static_cast<std::size_t>(i); };
    const auto top = [&](int i) { return Whole(items[at(i)].Top); };
    const auto left = [&](int i) { return Whole(items[at(i)].Left); };
    const auto take = [&](int i) {
        order.push_back(i);
        done[at(i)] = true;
    };
    while (static_cast<int>(order.size()) < count) {
        int chosen = 0;
        while (done[at(chosen)]) ++chosen;
        for (int j = chosen + 1; j < count; ++j) {
            // Elements 1, 2, ... of an array are reached through the array, never on their own.
            if (done[at(j)] || (index[at(j)] && *index[at(j)] >= 1)) continue;
            if (top(j) < top(chosen) || (top(j) == top(chosen) && left(j) < left(chosen))) chosen = j;
        }
        take(chosen);
        if (!index[at(chosen)]) continue;
        for (int next = 1;; ++next) {
            int found = -1;
            for (int j = 0; j < count && found < 0; ++j) {
                if (!done[at(j)] && index[at(j)] == next && items[at(j)].Name == items[at(chosen)].Name) found = j;
            }
            if (found < 0) break;
            take(found);
        }
    }
    return order;
}

std::vector<int> Z_Order(const std::vector<Order_Item>& entries) {
    const int count = static_cast<int>(entries.size());
    std::vector<int> order;
    if (count < 2) return order;
    std::vector<bool> done(entries.size(), false);
    for (int round = 0; round < count; ++round) {
        int best = -1;
        for (int i = 0; i < count; ++i) {
            if (done[static_cast<std::size_t>(i)]) continue;
            if (best < 0) {
                best = i;
                continue;
            }
            const Order_Item& e = entries[static_cast<std::size_t>(i)];
            const Order_Item& b = entries[static_cast<std::size_t>(best)];
            // <= on the left: of two entries at the same place the later one collected goes first.
            if (Whole(e.Top) < Whole(b.Top) || (Whole(e.Top) == Whole(b.Top) && Whole(e.Left) <= Whole(b.Left))) {
                best = i;
            }
        }
        done[static_cast<std::size_t>(best)] = true;
        order.push_back(best);
    }
    return order;
}

int List_Extent(int item_count, float text_width, float list_width, float tpp_y) {
    if (item_count <= 0) return 0;
    const float needed = Whole(text_width) + List_Margin;
    if (needed <= list_width - List_Scroll) return 0;
    return static_cast<int>(std::lrint(needed / tpp_y));
}

float Form_Need_Height(const std::vector<Chain_Link>& chain, float caption_height, float border_width) {
    return caption_height + Need(chain) + 2 * border_width + Form_Margin;
}

float Form_Need_Width(const std::vector<Chain_Link>& chain, float border_width) {
    return Need(chain) + 2 * border_width + Form_Margin;
}

float Shrink_Next(float value) { return value * 4 / 5; }

bool Shrink_Continues(float value, float previous) {
    return Whole(value) >= Shrink_Floor && Whole(value) != Whole(previous);
}
