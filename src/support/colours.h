#pragma once
// Colours by their Japanese names, as the screens and settings name them.
#include <cstdint>
#include <string_view>

// A colour value is red + 256 × green + 65,536 × blue (the layout of a Win32 COLORREF).
using Colour = std::uint32_t;

// The colour of a name from the fixed table ("濃紺", "灰色", "赤", …); any other text gives black (0).
// Names compare exactly: "赤 " with a trailing blank is not "赤".
Colour Colour_By_Name(std::wstring_view name);
