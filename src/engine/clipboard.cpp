#include "clipboard.h"

#include <windows.h>

namespace {

// Owns an open clipboard; another program may hold it for a moment, so opening is retried.
class Clipboard_Open {
public:
    Clipboard_Open() {
        for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
            open_ = OpenClipboard(nullptr) != FALSE;
            if (!open_) Sleep(10);
        }
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

bool Clipboard_Clear() {
    Clipboard_Open clipboard;
    return clipboard.Is_Open() && EmptyClipboard() != FALSE;
}
