#include "mouse_pointer.h"

#include <windows.h>

namespace {
Mouse_Pointer g_pointer = Mouse_Pointer::Default;
}

void Set_Screen_Mouse_Pointer(Mouse_Pointer pointer) {
    // The paste loop sets the default pointer on every pass: only a change reaches the system.
    if (pointer == g_pointer) return;
    g_pointer = pointer;
    // Applied at once; the program's windows keep it on WM_SETCURSOR until it is set back.
    SetCursor(LoadCursorW(nullptr, pointer == Mouse_Pointer::Hourglass ? IDC_WAIT : IDC_ARROW));
}

Mouse_Pointer Screen_Mouse_Pointer() { return g_pointer; }

Hourglass::Hourglass() : before_(g_pointer) { Set_Screen_Mouse_Pointer(Mouse_Pointer::Hourglass); }

Hourglass::~Hourglass() { Set_Screen_Mouse_Pointer(before_); }
