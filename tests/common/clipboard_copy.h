#pragma once
// Puts a text, a picture or both on the clipboard as another program would, for tests and
// benchmarks that copy.
//   Copy_Text(L"a\tb\r\n");                  // as from a text editor or Excel's cells
//   Copy_Text_And_Picture(L"x", 200, 100);   // as from a drawing program: both in one copy
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace clipboard_copy {

// A movable memory block of that size, filled by fill(void*); nullptr when it cannot be had.
template <class Fill>
HGLOBAL Block(std::size_t bytes, Fill fill) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* p = memory ? GlobalLock(memory) : nullptr;
    if (!p) {
        if (memory) GlobalFree(memory);
        return nullptr;
    }
    fill(p);
    GlobalUnlock(memory);
    return memory;
}

inline HGLOBAL Text_Block(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    return Block(bytes, [&](void* p) { std::memcpy(p, text.c_str(), bytes); });
}

// A CF_DIB of 32-bit BI_RGB pixels, bottom-up, shaded from corner to corner so that a scaled or
// cropped copy differs from the original.
inline HGLOBAL Picture_Block(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    return Block(sizeof(BITMAPINFOHEADER) + pixels * 4, [&](void* p) {
        auto* header = static_cast<BITMAPINFOHEADER*>(p);
        *header = BITMAPINFOHEADER{};
        header->biSize = sizeof(BITMAPINFOHEADER);
        header->biWidth = width;
        header->biHeight = height;
        header->biPlanes = 1;
        header->biBitCount = 32;
        header->biCompression = BI_RGB;
        auto* pixel = reinterpret_cast<DWORD*>(header + 1);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const DWORD red = x * 255 / width, green = y * 255 / height, blue = (x + y) % 2 ? 255 : 0;
                *pixel++ = red << 16 | green << 8 | blue;  // blue, green, red, 0 in memory
            }
        }
    });
}

// Empties the clipboard and hands it the blocks (format, memory) in one ownership, so that a reader
// sees all of them or none. Tries for about a second while someone else holds the clipboard open.
// The blocks it could not hand over are freed; false unless every block was taken. With no blocks
// it only empties the clipboard.
inline bool Put(std::vector<std::pair<UINT, HGLOBAL>> blocks) {
    bool ok = false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (OpenClipboard(nullptr)) {
            ok = EmptyClipboard() != FALSE;
            for (auto& [format, memory] : blocks) {
                if (ok && memory && SetClipboardData(format, memory))
                    memory = nullptr;  // the clipboard owns it now
                else
                    ok = false;
            }
            CloseClipboard();
            break;
        }
        Sleep(10);  // another program holds it: try again shortly
    }
    for (const auto& block : blocks)
        if (block.second) GlobalFree(block.second);
    return ok;
}

}  // namespace clipboard_copy

inline bool Copy_Text(const std::wstring& text) {
    return clipboard_copy::Put({{CF_UNICODETEXT, clipboard_copy::Text_Block(text)}});
}

// A picture of width × height pixels as CF_DIB, the way screenshot tools copy.
inline bool Copy_Picture(int width, int height) {
    return clipboard_copy::Put({{CF_DIB, clipboard_copy::Picture_Block(width, height)}});
}

inline bool Copy_Text_And_Picture(const std::wstring& text, int width, int height) {
    return clipboard_copy::Put(
        {{CF_UNICODETEXT, clipboard_copy::Text_Block(text)}, {CF_DIB, clipboard_copy::Picture_Block(width, height)}});
}
