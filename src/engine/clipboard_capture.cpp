#include "clipboard_capture.h"

#include <utility>

namespace {

// A clipboard held open by another program is tried again, for about two seconds, before the copy
// is given up.
constexpr int Busy_Retry_Limit = 100;

}  // namespace

void Clipboard_Capture::Start(HWND window) {
    Stop();
    window_ = window;
    listener_ = std::make_unique<Clipboard_Listener>(window);
    last_taken_ = Clipboard_Sequence();  // what is there already was there before the run
}

void Clipboard_Capture::Stop() {
    if (window_) KillTimer(window_, Timer_Id);
    listener_.reset();
    window_ = nullptr;
    queue_.clear();
    skipped_.clear();
    picture_bytes_ = 0;
}

bool Clipboard_Capture::On_Message(UINT message, WPARAM wparam) {
    if (!listener_) return false;
    if (message == WM_CLIPBOARDUPDATE) {
        // Read now: the next copy may replace this one within a few tens of milliseconds.
        busy_retries_ = 0;
        Take_Copy();
        return true;
    }
    if (message == WM_TIMER && wparam == Timer_Id) {
        KillTimer(window_, Timer_Id);
        Take_Copy();
        return true;
    }
    return false;
}

void Clipboard_Capture::Take_Copy() {
    const unsigned long sequence = Clipboard_Sequence();
    if (sequence == last_taken_ || sequence == ignored_sequence_) return;
    Clipboard_Copy read = Clipboard_Read_Copy();
    if (read.Snapshot.Busy) {
        if (++busy_retries_ <= Busy_Retry_Limit && window_) SetTimer(window_, Timer_Id, Busy_Retry_Ms, nullptr);
        return;
    }
    last_taken_ = read.Sequence;
    // Copied while pasting was off, emptied (by the program or anyone), marked private, or no
    // standard format at all: nothing to paste.
    if (options_.Paste_On == 0 || read.Sequence == ignored_sequence_ || !read.Snapshot.Has_Content ||
        read.Snapshot.Private)
        return;
    if (!read.Snapshot.Has_Text && !read.Snapshot.Has_Picture) return;
    Captured_Copy copy;
    copy.Sequence = read.Sequence;
    if (read.Snapshot.Has_Text) copy.Text = std::move(read.Snapshot.Text);
    copy.Has_Picture = read.Snapshot.Has_Picture;
    copy.Picture = std::move(read.Picture);
    copy.Taken_At = GetTickCount64();
    // The marker belongs to the copy the program made: it is used up by that copy.
    copy.Paste_Source = std::exchange(clip_.Paste_Source, std::wstring());
    Push(std::move(copy));
}

void Clipboard_Capture::Push(Captured_Copy copy) {
    if (!queue_.empty()) {
        Captured_Copy& last = queue_.back();
        if (!last.Started && copy.Taken_At - last.Taken_At < Settle_Ms && Completes(last, copy)) {
            picture_bytes_ -= Picture_Bytes(last);
            picture_bytes_ += Picture_Bytes(copy);
            if (copy.Paste_Source.empty()) copy.Paste_Source = std::move(last.Paste_Source);
            last = std::move(copy);
            return;
        }
    }
    picture_bytes_ += Picture_Bytes(copy);
    queue_.push_back(std::move(copy));
    while (queue_.size() > 1 && (queue_.size() > Max_Copies || picture_bytes_ > Max_Picture_Bytes)) {
        picture_bytes_ -= Picture_Bytes(queue_.front());
        skipped_.push_back(std::move(queue_.front()));
        queue_.pop_front();
    }
}

void Clipboard_Capture::Pop() {
    if (queue_.empty()) return;
    picture_bytes_ -= Picture_Bytes(queue_.front());
    queue_.pop_front();
}

bool Clipboard_Capture::Completes(const Captured_Copy& earlier, const Captured_Copy& later) {
    const bool same_text = !earlier.Text || (later.Text && *later.Text == *earlier.Text);
    const bool same_picture = !earlier.Has_Picture || (earlier.Picture && later.Picture &&
                                                      earlier.Picture->Width == later.Picture->Width &&
                                                      earlier.Picture->Pixels == later.Picture->Pixels);
    return same_text && same_picture;
}

std::size_t Clipboard_Capture::Picture_Bytes(const Captured_Copy& copy) {
    return copy.Picture ? copy.Picture->Pixels.size() * sizeof(std::uint32_t) : 0;
}
