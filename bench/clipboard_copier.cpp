// A program that copies texts on a fixed schedule, as a script or a tool that copies in a loop does:
// for each copy it opens the clipboard for no window, empties it, sets the Unicode text and closes it,
// then waits for the next slot of the schedule and nothing else (no reader is waited for).
//   clipboard_copier.exe PREFIX COUNT GAP_MS     copies "PREFIX0" .. "PREFIX<COUNT-1>"
// It prints how many opens found the clipboard held by another program (each tried again at once).
#include <windows.h>
// After windows.h, whose types it uses.
#include <timeapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

bool Copy_Once(const std::wstring& text, long& refused) {
    while (!OpenClipboard(nullptr)) {
        ++refused;
        Sleep(0);
    }
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* p = memory ? GlobalLock(memory) : nullptr;
    bool ok = false;
    if (p) {
        std::memcpy(p, text.c_str(), bytes);
        GlobalUnlock(memory);
        ok = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory);
        if (!ok) GlobalFree(memory);
    }
    CloseClipboard();
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: clipboard_copier PREFIX COUNT GAP_MS\n");
        return 2;
    }
    const std::wstring prefix = argv[1];
    const int count = _wtoi(argv[2]);
    const int gap_ms = _wtoi(argv[3]);
    timeBeginPeriod(1);
    LARGE_INTEGER frequency{}, start{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    long refused = 0;
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        // Slot i begins i * gap after the start, whatever the copies before it cost.
        const long long slot = start.QuadPart + frequency.QuadPart * gap_ms * i / 1000;
        for (QueryPerformanceCounter(&now); now.QuadPart < slot; QueryPerformanceCounter(&now)) {
            const long long left_ms = (slot - now.QuadPart) * 1000 / frequency.QuadPart;
            Sleep(left_ms > 1 ? static_cast<DWORD>(left_ms - 1) : 0);
        }
        if (!Copy_Once(prefix + std::to_wstring(i), refused)) ++failed;
    }
    timeEndPeriod(1);
    std::printf("%d copies, %d failed, %ld opens refused\n", count, failed, refused);
    return failed == 0 ? 0 : 1;
}
