#pragma once
// Every copy taken when it happens: during a paste run the window listens to the clipboard, and each
// change is read at once into a first-in, first-out queue that the paste loop works through. A
// program that writes the clipboard in several steps gives several changes within a few
// milliseconds: a change that only completes the copy before it (the same text, the same picture,
// more formats) within the settling time replaces that copy instead of adding one. A copy made while a
// message box is open, while Excel is busy or while a paste runs is kept, and a copy starts its
// paste at once instead of waiting for the next tick.
#include <windows.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bitmap_image.h"
#include "clipboard.h"
#include "paste_state.h"

struct Captured_Copy {
    unsigned long Sequence = 0;        // the clipboard's sequence number when it was read
    std::optional<std::wstring> Text;  // offered text (format 1)
    bool Has_Picture = false;          // offered a picture (format 2, 3 or 8)
    std::optional<Bitmap_Image> Picture;
    std::wstring Paste_Source;  // "", "履歴" or "固定": the program put it there itself
    unsigned long long Taken_At = 0;  // GetTickCount64 when it was read
    bool Started = false;       // the loop is pasting it: it is not replaced any more
    bool Text_Done = false;     // the text was taken; the picture, if any, is the next pass's
};

class Clipboard_Capture {
public:
    // At most this many copies wait; beyond it the oldest are not pasted (they stay in the history).
    static constexpr std::size_t Max_Copies = 100;
    static constexpr std::size_t Max_Picture_Bytes = 256u << 20;
    static constexpr UINT Settle_Ms = 30;
    // Retries a read while another program holds the clipboard open.
    static constexpr UINT_PTR Timer_Id = 0xCA97;
    static constexpr UINT Busy_Retry_Ms = 20;

    // Copies are taken while the options say "する"; a taken copy takes the clipboard marker with it.
    Clipboard_Capture(const Paste_Options& options, Clip_State& clip) : options_(options), clip_(clip) {}

    // Listening from Start to Stop (the paste run); the queue starts empty.
    void Start(HWND window);
    void Stop();
    bool Running() const { return listener_ != nullptr; }

    // The window's messages: WM_CLIPBOARDUPDATE and the retry timer. True when handled.
    bool On_Message(UINT message, WPARAM wparam);

    // What is on the clipboard now is not a copy to paste: the program wrote it itself, or it was
    // copied while pasting was off.
    void Ignore_Current() { ignored_sequence_ = Clipboard_Sequence(); }

    bool Empty() const { return queue_.empty(); }
    Captured_Copy& Oldest() { return queue_.front(); }
    void Pop();
    // The copies that fell out of a full queue since the last call, oldest first.
    std::vector<Captured_Copy> Take_Skipped() { return std::exchange(skipped_, {}); }

    // Reads the clipboard now and queues what is new.
    void Take_Copy();

private:
    void Push(Captured_Copy copy);
    static std::size_t Picture_Bytes(const Captured_Copy& copy);
    // The later copy only completes the earlier one (a program writing its copy in several steps).
    static bool Completes(const Captured_Copy& earlier, const Captured_Copy& later);

    const Paste_Options& options_;
    Clip_State& clip_;
    HWND window_ = nullptr;
    std::unique_ptr<Clipboard_Listener> listener_;
    std::deque<Captured_Copy> queue_;
    std::vector<Captured_Copy> skipped_;
    std::size_t picture_bytes_ = 0;
    unsigned long ignored_sequence_ = 0;
    unsigned long last_taken_ = 0;
    int busy_retries_ = 0;
};
