#pragma once
// The screen-wide mouse pointer: the hourglass while the program works, else the default.

enum class Mouse_Pointer { Default, Hourglass };

void Set_Screen_Mouse_Pointer(Mouse_Pointer pointer);
Mouse_Pointer Screen_Mouse_Pointer();
