#include "picture_caption.h"

#include <algorithm>
#include <cstdio>

#include "process_image.h"

std::wstring Picture_Caption(const SYSTEMTIME& t, const std::wstring& front_window) {
    wchar_t stamp[32];
    std::swprintf(stamp, std::size(stamp), L"%04u/%02u/%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    std::wstring caption = stamp;
    if (!front_window.empty()) caption += L" " + front_window;
    return caption;
}

std::wstring Picture_Caption(std::optional<int> number, bool with_time, const SYSTEMTIME& copied_at,
                             const std::wstring& front_window) {
    if (!number) return Picture_Caption(copied_at, front_window);
    std::wstring caption = L"No." + std::to_wstring(*number);
    if (with_time) caption += L" " + Picture_Caption(copied_at, front_window);
    return caption;
}

std::wstring Picture_Alternative_Text(std::optional<int> number, const SYSTEMTIME& copied_at,
                                      const std::wstring& front_window, const std::wstring& program) {
    std::wstring text = Picture_Caption(number, true, copied_at, front_window);
    if (!program.empty()) text += L" (" + program + L")";
    return text;
}

namespace {

// The window in front and its process, unless it is one of this program's own.
HWND Front_Window(DWORD& process) {
    HWND front = GetForegroundWindow();
    process = 0;
    if (front) GetWindowThreadProcessId(front, &process);
    return front && process != GetCurrentProcessId() ? front : nullptr;
}

}  // namespace

std::wstring Front_Window_Title() {
    DWORD process = 0;
    HWND front = Front_Window(process);
    if (!front) return {};
    // Asked without waiting on a window that does not answer (GetWindowText would send it a message).
    wchar_t title[512] = {};
    const int length = InternalGetWindowText(front, title, static_cast<int>(std::size(title)));
    return std::wstring(title, static_cast<std::size_t>(std::max(length, 0)));
}

std::wstring Front_Window_Program() {
    DWORD process = 0;
    if (!Front_Window(process)) return {};
    const std::wstring path = Process_Image_Path(process);
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
