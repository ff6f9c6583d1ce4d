#include "clipboard_text.h"

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

}  // namespace

std::optional<std::wstring> Read_Clipboard_Text(HWND owner) {
    Clipboard_Open clipboard(owner);
    if (!clipboard.Is_Open()) return std::nullopt;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return std::nullopt;
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    if (!text) return std::nullopt;
    // The data may lack its terminating zero: never read past the block.
    const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < capacity && text[length] != L'\0') ++length;
    std::wstring result(text, length);
    GlobalUnlock(data);
    return result;
}
