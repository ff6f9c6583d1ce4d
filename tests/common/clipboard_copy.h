#pragma once
// Puts a text, a picture or both on the clipboard as another program would, for tests and
// benchmarks that copy.
//   Copy_Text(L"a\tb\r\n");                  // as from a text editor or Excel's cells
//   Copy_Text_And_Picture(L"x", 200, 100);   // as from a drawing program: both in one copy
#include <windows.h>

#include <algorithm>
#include <cstdint>
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

// The shading of Picture_Block at (x, y), as 0x00RRGGBB.
inline DWORD Shade(int x, int y, int width, int height) {
    const DWORD red = x * 255 / width, green = y * 255 / height, blue = (x + y) % 2 ? 255 : 0;
    return red << 16 | green << 8 | blue;
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
                *pixel++ = Shade(x, y, width, height);  // blue, green, red, 0 in memory
            }
        }
    });
}

// A PNG file of width x height with Picture_Block's shading, its first column fully transparent;
// stored without compression (a zlib stream of stored blocks), as a valid PNG may be.
inline std::string Png_File(int width, int height) {
    auto be32 = [](std::string& out, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(v >> shift & 0xFF);
    };
    auto crc = [](const std::string& bytes) {
        std::uint32_t c = 0xFFFFFFFFu;
        for (unsigned char b : bytes) {
            c ^= b;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        return c ^ 0xFFFFFFFFu;
    };
    std::string png = "\x89PNG\r\n\x1a\n";
    auto chunk = [&](const char* type, const std::string& data) {
        be32(png, static_cast<std::uint32_t>(data.size()));
        const std::string typed = type + data;
        png += typed;
        be32(png, crc(typed));
    };
    std::string header;
    be32(header, static_cast<std::uint32_t>(width));
    be32(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
    chunk("IHDR", header);
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // no filter
        for (int x = 0; x < width; ++x) {
            const DWORD c = Shade(x, y, width, height);
            raw += static_cast<char>(c >> 16 & 0xFF);
            raw += static_cast<char>(c >> 8 & 0xFF);
            raw += static_cast<char>(c & 0xFF);
            raw += static_cast<char>(x == 0 ? 0 : 255);
        }
    }
    std::string z = "\x78\x01";
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        z += static_cast<char>(at + n >= raw.size() ? 1 : 0);
        z += static_cast<char>(n & 0xFF);
        z += static_cast<char>(n >> 8);
        z += static_cast<char>(~n & 0xFF);
        z += static_cast<char>(~n >> 8 & 0xFF);
        z += raw.substr(at, n);
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    be32(z, b << 16 | a);
    chunk("IDAT", z);
    chunk("IEND", "");
    return png;
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

// A picture offered only in the registered format "PNG", as some programs and Wine's X11 bridge copy.
inline bool Copy_Png(int width, int height) {
    const std::string png = clipboard_copy::Png_File(width, height);
    return clipboard_copy::Put({{RegisterClipboardFormatW(L"PNG"), clipboard_copy::Block(png.size(), [&](void* p) {
                                     std::memcpy(p, png.data(), png.size());
                                 })}});
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
