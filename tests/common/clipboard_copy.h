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

// A copier that makes each copy only once the one before it has been read, as fast as that allows:
// it offers its text by delayed rendering, so that the reader's request for the text is the sign that
// the copy was read. What it checks holds on any machine, however loaded: no copy is overwritten
// before any reader could take it. The thread that copies must not be the reader's.
class Read_Waiting_Copier {
public:
    Read_Waiting_Copier() {
        static const bool registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ReadWaitingCopier";
            return RegisterClassW(&wc) != 0;
        }();
        if (registered)
            window_ = CreateWindowExW(0, L"ReadWaitingCopier", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), this);
    }
    Read_Waiting_Copier(const Read_Waiting_Copier&) = delete;
    Read_Waiting_Copier& operator=(const Read_Waiting_Copier&) = delete;
    ~Read_Waiting_Copier() {
        // Its last copy stays readable after it is gone.
        if (window_ && GetClipboardOwner() == window_ && OpenClipboard(window_)) {
            if (!rendered_) Render();
            CloseClipboard();
        }
        if (window_) DestroyWindow(window_);
    }

    // Offers the text, then waits (window messages running) until a reader asked for it. False when
    // nobody read it within the time.
    bool Copy(const std::wstring& text, DWORD timeout_ms = 15000) {
        if (!window_) return false;
        text_ = text;
        rendered_ = false;
        bool offered = false;
        for (int attempt = 0; attempt < 500 && !offered; ++attempt) {
            if (!OpenClipboard(window_)) {
                Sleep(1);
                continue;
            }
            offered = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, nullptr) == nullptr;
            CloseClipboard();
        }
        if (!offered) return false;
        for (const ULONGLONG deadline = GetTickCount64() + timeout_ms; !rendered_ && GetTickCount64() < deadline;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
        return rendered_;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
        auto* self = reinterpret_cast<Read_Waiting_Copier*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_RENDERFORMAT && wparam == CF_UNICODETEXT) {
            self->Render();
            return 0;
        }
        if (self && message == WM_RENDERALLFORMATS) {
            if (OpenClipboard(window)) {
                if (GetClipboardOwner() == window) self->Render();
                CloseClipboard();
            }
            return 0;
        }
        return DefWindowProcW(window, message, wparam, lparam);
    }
    void Render() {
        if (HGLOBAL block = clipboard_copy::Text_Block(text_); block && !SetClipboardData(CF_UNICODETEXT, block))
            GlobalFree(block);
        rendered_ = true;
    }

    HWND window_ = nullptr;
    std::wstring text_;
    bool rendered_ = false;
};
