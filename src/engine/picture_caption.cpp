#include "picture_caption.h"

#include <algorithm>
#include <cstdio>

std::wstring Picture_Caption(const SYSTEMTIME& t, const std::wstring& front_window) {
    wchar_t stamp[32];
    std::swprintf(stamp, std::size(stamp), L"%04u/%02u/%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    std::wstring caption = stamp;
    if (!front_window.empty()) caption += L" " + front_window;
    return caption;
}

std::wstring Front_Window_Title() {
    HWND front = GetForegroundWindow();
    if (!front) return {};
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    if (process == GetCurrentProcessId()) return {};
    // Asked without waiting on a window that does not answer (GetWindowText would send it a message).
    wchar_t title[512] = {};
    const int length = InternalGetWindowText(front, title, static_cast<int>(std::size(title)));
    return std::wstring(title, static_cast<std::size_t>(std::max(length, 0)));
}
