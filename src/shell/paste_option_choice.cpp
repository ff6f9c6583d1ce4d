#include "paste_option_choice.h"

#include <array>
#include <cstddef>

namespace {

template <class Choice, std::size_t N>
std::optional<Choice> At(const std::array<Choice, N>& group, int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= N) return std::nullopt;
    return group[static_cast<std::size_t>(position)];
}

}  // namespace

std::optional<Move_Mode> Move_Mode_At(int position) {
    return At(std::array{Move_Mode::Right, Move_Mode::Down}, position);
}

std::optional<Text_Mode> Text_Mode_At(int position) {
    return At(std::array{Text_Mode::Breaks_Removed, Text_Mode::Breaks_In_Cell, Text_Mode::Row_Per_Line}, position);
}

std::optional<Picture_Format> Picture_Format_At(int position) {
    using F = Picture_Format;
    return At(
        std::array{F::Excel_Paste, F::Png, F::Jpeg, F::Gif, F::Metafile, F::Bitmap, F::Office_Drawing, F::Svg, F::Html},
        position);
}

std::optional<Picture_Size> Picture_Size_At(int position) {
    using S = Picture_Size;
    return At(std::array{S::As_Pasted, S::Fit_Inside, S::Cell_Width, S::Cell_Height}, position);
}
