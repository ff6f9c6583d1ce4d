#include "clipboard_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// Another process (the program under test putting text there) may hold the clipboard for a moment.
constexpr ULONGLONG Open_Timeout_Ms = 1000;

class Clipboard_Open {
public:
    explicit Clipboard_Open(HWND owner) {
        const ULONGLONG deadline = GetTickCount64() + Open_Timeout_Ms;
        while (!(open_ = OpenClipboard(owner) != FALSE) && GetTickCount64() < deadline) Sleep(5);
    }
    Clipboard_Open(const Clipboard_Open&) = delete;
    Clipboard_Open& operator=(const Clipboard_Open&) = delete;
    ~Clipboard_Open() {
        if (open_) CloseClipboard();
    }
    bool Is_Open() const { return open_; }

private:
    bool open_ = false;
};

// Holds a GlobalLock for as long as it lives; nullptr when the block is smaller than wanted.
class Global_Lock {
public:
    Global_Lock(HANDLE memory, std::size_t at_least)
        : memory_(memory), data_(memory && GlobalSize(memory) >= at_least ? GlobalLock(memory) : nullptr) {}
    Global_Lock(const Global_Lock&) = delete;
    Global_Lock& operator=(const Global_Lock&) = delete;
    ~Global_Lock() {
        if (data_) GlobalUnlock(memory_);
    }
    const void* Data() const { return data_; }
    std::size_t Size() const { return GlobalSize(memory_); }

private:
    HANDLE memory_;
    void* data_;
};

std::optional<std::wstring> Read_Text() {
    const Global_Lock lock(GetClipboardData(CF_UNICODETEXT), sizeof(wchar_t));
    const auto* text = static_cast<const wchar_t*>(lock.Data());
    if (!text) return std::nullopt;
    // The data may lack its terminating zero: never read past the block.
    const std::size_t capacity = lock.Size() / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < capacity && text[length] != L'\0') ++length;
    return std::wstring(text, length);
}

// CF_TEXT in the ANSI code page. Windows makes it from the Unicode text when a program put only that;
// where the clipboard does not offer it, the same conversion is made here.
std::optional<std::wstring> Read_Ansi_Text(const std::optional<std::wstring>& unicode) {
    std::string bytes;
    const Global_Lock lock(GetClipboardData(CF_TEXT), 1);
    if (const auto* text = static_cast<const char*>(lock.Data())) {
        std::size_t length = 0;
        while (length < lock.Size() && text[length] != '\0') ++length;
        bytes.assign(text, length);
    } else if (unicode) {
        const int size = WideCharToMultiByte(CP_ACP, 0, unicode->data(), static_cast<int>(unicode->size()), nullptr, 0,
                                             nullptr, nullptr);
        bytes.resize(static_cast<std::size_t>(std::max(size, 0)));
        if (size > 0)
            WideCharToMultiByte(CP_ACP, 0, unicode->data(), static_cast<int>(unicode->size()), bytes.data(), size,
                                nullptr, nullptr);
    } else {
        return std::nullopt;
    }
    std::wstring wide(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(std::max(length, 0)));
    return wide;
}

// A bitmap's size from its header (a top-down bitmap has a negative height); a metafile's from its
// frame, kept in hundredths of a millimetre, at 96 pixels per inch.
std::optional<Picture_Size> Read_Picture_Size() {
    const Global_Lock dib(GetClipboardData(CF_DIB), sizeof(BITMAPINFOHEADER));
    if (const auto* header = static_cast<const BITMAPINFOHEADER*>(dib.Data()))
        return Picture_Size{header->biWidth, std::abs(header->biHeight)};
    ENHMETAHEADER metafile{};
    const auto emf = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    if (!emf || !GetEnhMetaFileHeader(emf, sizeof metafile, &metafile)) return std::nullopt;
    const auto pixels = [](LONG hundredths_mm) { return static_cast<int>(std::lround(hundredths_mm * 96.0 / 2540)); };
    return Picture_Size{pixels(metafile.rclFrame.right - metafile.rclFrame.left),
                        pixels(metafile.rclFrame.bottom - metafile.rclFrame.top)};
}

bool Offers(const wchar_t* registered_format) {
    const UINT format = RegisterClipboardFormatW(registered_format);
    return format && IsClipboardFormatAvailable(format);
}

}  // namespace

Clipboard_Offer Read_Clipboard(HWND owner) {
    Clipboard_Open clipboard(owner);
    if (!clipboard.Is_Open()) return {};
    std::optional<std::wstring> text = Read_Text();
    std::optional<std::wstring> ansi = Read_Ansi_Text(text);
    return {std::move(text), std::move(ansi), Read_Picture_Size(), Offers(L"image/svg+xml"), Offers(L"HTML Format")};
}
