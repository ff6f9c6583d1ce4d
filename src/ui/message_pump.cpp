#include "message_pump.h"

#include <windows.h>

namespace {

// The pump belongs to the one UI thread, so these are thread-local rather than shared.
thread_local bool g_quit_seen = false;
thread_local ULONGLONG g_last_pump = 0;

}  // namespace

void Dispatch_Message(MSG& msg) {
    if (HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr) {
        if (IsDialogMessageW(root, &msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

bool Do_Events() {
    g_last_pump = GetTickCount64();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            g_quit_seen = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        Dispatch_Message(msg);
    }
    return !g_quit_seen;
}

bool Do_Events_Sometimes() {
    if (GetTickCount64() - g_last_pump < 15) return !g_quit_seen;
    return Do_Events();
}

bool Quit_Requested() { return g_quit_seen; }
