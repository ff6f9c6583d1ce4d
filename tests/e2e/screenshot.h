#pragma once
// A window as it shows on the screen: its pixels, or a 24-bit Windows bitmap file of them. The window
// is redrawn first and read from the screen, so whatever covers it is in the picture too.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Screen_Picture {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Pixels;  // 0x00RRGGBB, rows from the top

    std::uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

[[nodiscard]] std::optional<Screen_Picture> Picture_On_Screen(HWND window);
[[nodiscard]] bool Save_Window_Picture(HWND window, const std::wstring& bmp_path);
