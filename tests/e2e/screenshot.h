#pragma once
// A window as it shows on the screen, saved as a 24-bit Windows bitmap file. The window is redrawn
// first and read from the screen, so whatever covers it is in the picture too.
#include <windows.h>

#include <string>

[[nodiscard]] bool Save_Window_Picture(HWND window, const std::wstring& bmp_path);
