#pragma once
// Puts a text on the clipboard as another program would, for tests and benchmarks that copy.
#include <windows.h>

#include <cstring>
#include <string>

// Tries for about a second while someone else holds the clipboard open.
inline bool Copy_Text(const std::wstring& text) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
            bool ok = false;
            if (void* p = memory ? GlobalLock(memory) : nullptr) {
                std::memcpy(p, text.c_str(), bytes);
                GlobalUnlock(memory);
                ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            }
            if (!ok && memory) GlobalFree(memory);
            CloseClipboard();
            return ok;
        }
        Sleep(10);  // another program holds it: try again shortly
    }
    return false;
}
