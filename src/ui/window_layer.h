#pragma once
// Keeping a window in front of all others (Excel included) and letting it go again.
#include <windows.h>

// Puts the window in the topmost layer without moving or resizing it.
void Window_Topmost_On(HWND hwnd);
// Returns the window to the normal layer and shows it, without moving or resizing it.
void Window_Topmost_Off(HWND hwnd);
