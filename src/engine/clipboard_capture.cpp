#include "clipboard_capture.h"

#include "picture_caption.h"

#include <utility>

#include "clipboard_origin.h"

namespace {

// FNV-1a over the picture's size and pixels: two pictures with the same hash are taken as the same.
std::uint64_t Picture_Hash(const Bitmap_Image& picture) {
    std::uint64_t hash = 14695981039346656037ull;
    const auto mix = [&](std::uint64_t value) { hash = (hash ^ value) * 1099511628211ull; };
    mix(static_cast<std::uint64_t>(picture.Width));
    mix(static_cast<std::uint64_t>(picture.Height));
    for (std::size_t i = 0; i + 1 < picture.Pixels.size(); i += 2)
        mix(picture.Pixels[i] | static_cast<std::uint64_t>(picture.Pixels[i + 1]) << 32);
    if (picture.Pixels.size() % 2) mix(picture.Pixels.back());
    return hash == 0 ? 1 : hash;
}

// A clipboard held open by another program is tried again, for about ten seconds, before the copy
// is given up.
constexpr int Busy_Retry_Limit = 500;
constexpr UINT Stop_Message = WM_APP + 1;
constexpr wchar_t Window_Class[] = L"CellDropCapture";

class Event_Handle {
public:
    Event_Handle() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    Event_Handle(const Event_Handle&) = delete;
    Event_Handle& operator=(const Event_Handle&) = delete;
    ~Event_Handle() {
        if (handle_) CloseHandle(handle_);
    }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

bool Clipboard_Capture::Start(HWND notify) {
    Stop();
    stopping_ = false;
    Event_Handle ready;
    if (!ready.Get()) return false;
    {
        std::lock_guard lock(mutex_);
        notify_ = notify;
        // What is there already was there before the run.
        last_taken_ = Clipboard_Sequence();
        marker_.clear();
        busy_retries_ = 0;
    }
    thread_ = std::thread([this, event = ready.Get()] { Listen(event); });
    // The thread signals once its window listens (or could not); Stop joins it either way.
    if (WaitForSingleObject(ready.Get(), 10000) != WAIT_OBJECT_0) return false;
    std::lock_guard lock(mutex_);
    return listening_;
}

void Clipboard_Capture::Stop() {
    if (thread_.joinable()) {
        HWND window = nullptr;
        {
            std::lock_guard lock(mutex_);
            window = window_;
        }
        stopping_ = true;  // a read waiting for Excel ends at once
        // A window that could not be made leaves the thread ending by itself.
        if (window) PostMessageW(window, Stop_Message, 0, 0);
        thread_.join();
    }
    std::lock_guard lock(mutex_);
    window_ = nullptr;
    listening_ = false;
    queue_.clear();
    skipped_.clear();
    handed_out_.reset();
    picture_bytes_ = 0;
}

void Clipboard_Capture::Listen(HANDLE ready) {
    // A program copying every few milliseconds replaces its copy as soon as this thread is late: it
    // goes before the program's other work, which it keeps waiting only for a read.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Window_Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = Window_Class;
        return RegisterClassW(&wc) != 0;
    }();
    HWND window = registered ? CreateWindowExW(0, Window_Class, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                               GetModuleHandleW(nullptr), this)
                             : nullptr;
    if (!window) {
        SetEvent(ready);
        return;
    }
    {
        Clipboard_Listener listener(window);
        {
            std::lock_guard lock(mutex_);
            window_ = window;
            listening_ = listener.Listening();
        }
        SetEvent(ready);
        SetTimer(window, Check_Timer_Id, Check_Ms, nullptr);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    }
    DestroyWindow(window);
}

LRESULT CALLBACK Clipboard_Capture::Window_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Clipboard_Capture*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_CLIPBOARDUPDATE) {
        // Read now: the next copy may replace this one within a few milliseconds.
        self->busy_retries_ = 0;
        self->Take_Copy();
        return 0;
    }
    if (self && message == WM_TIMER && wparam == Check_Timer_Id) {
        self->Take_Copy();  // returns at once while the sequence number is the one last taken
        return 0;
    }
    if (self && message == WM_TIMER && wparam == Timer_Id) {
        KillTimer(window, Timer_Id);
        self->Take_Copy();
        return 0;
    }
    if (message == Stop_Message) {
        KillTimer(window, Timer_Id);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void Clipboard_Capture::Set_Taking(bool on) {
    std::lock_guard lock(mutex_);
    taking_ = on;
}

void Clipboard_Capture::Mark_Next(std::wstring source) {
    std::lock_guard lock(mutex_);
    marker_ = std::move(source);
}

void Clipboard_Capture::Ignore_Current() {
    const unsigned long sequence = Clipboard_Sequence();
    std::lock_guard lock(mutex_);
    ignored_sequence_ = sequence;
}

Clipboard_Capture::Own_Write::Own_Write(Clipboard_Capture& capture)
    : capture_(capture), before_(Clipboard_Sequence()) {
    std::lock_guard lock(capture_.mutex_);
    capture_.own_write_ = true;
}

Clipboard_Capture::Own_Write::~Own_Write() {
    const unsigned long sequence = Clipboard_Sequence();
    std::lock_guard lock(capture_.mutex_);
    if (sequence != before_) capture_.ignored_sequence_ = sequence;
    capture_.own_write_ = false;
}

void Clipboard_Capture::Take_Copy() {
    const unsigned long sequence = Clipboard_Sequence();
    HWND window = nullptr;
    bool taking_before_read = false;
    {
        std::lock_guard lock(mutex_);
        window = window_;
        taking_before_read = taking_;
        if (own_write_) {
            // Looked at again once the program's write is over and known.
            if (window) SetTimer(window, Timer_Id, Busy_Retry_Ms / 4, nullptr);
            return;
        }
        if (sequence == last_taken_ || sequence == ignored_sequence_) return;
    }
    Clipboard_Copy read = Clipboard_Read_Any_Copy(stopping_);
    if (read.Not_Rendered) {
        // Excel did not make its copy in time: counted with the copies not pasted.
        std::lock_guard lock(mutex_);
        last_taken_ = read.Sequence;
        if (taking_ && read.Sequence != ignored_sequence_) skipped_.emplace_back().Sequence = read.Sequence;
        return;
    }
    if (read.Snapshot.Busy) {
        if (++busy_retries_ <= Busy_Retry_Limit && window) {
            SetTimer(window, Timer_Id, Busy_Retry_Ms, nullptr);
        } else {
            std::lock_guard lock(mutex_);
            last_taken_ = sequence;  // given up: the program may write over it
        }
        return;
    }
    HWND notify = nullptr;
    {
        std::lock_guard lock(mutex_);
        last_taken_ = read.Sequence;
        // Copied while pasting was off, emptied (by the program or anyone), marked private, or no
        // standard format at all: nothing to paste.
        // Taking must hold from before the read: a copy made while pasting was off and read as it was
        // switched on is still not pasted.
        if (!taking_ || !taking_before_read || read.Sequence == ignored_sequence_ || !read.Snapshot.Has_Content ||
            read.Snapshot.Private)
            return;
        if (!read.Snapshot.Has_Text && !read.Snapshot.Has_Picture) return;
        Captured_Copy copy;
        copy.Sequence = read.Sequence;
        if (read.Snapshot.Has_Text) copy.Text = std::move(read.Snapshot.Text);
        copy.Has_Picture = read.Snapshot.Has_Picture;
        copy.Png_Only = read.Snapshot.Png_Only;
        copy.Picture = std::move(read.Picture);
        if (copy.Picture) copy.Picture_Hash = Picture_Hash(*copy.Picture);
        copy.Taken_At = GetTickCount64();
        GetLocalTime(&copy.Copied_At);
        copy.Front_Window = Front_Window_Title();
        // The marker belongs to the copy the program made: it is used up by that copy.
        copy.Paste_Source = std::exchange(marker_, std::wstring());
        Push(std::move(copy));
        notify = notify_;
    }
    if (notify) PostMessageW(notify, Wake_Message, 0, 0);
}

void Clipboard_Capture::Push(Captured_Copy copy) {
    if (!queue_.empty()) {
        Captured_Copy& last = queue_.back();
        if (copy.Taken_At - last.Taken_At < settle_ms_ && Completes(last, copy)) {
            picture_bytes_ -= Picture_Bytes(last);
            picture_bytes_ += Picture_Bytes(copy);
            if (copy.Paste_Source.empty()) copy.Paste_Source = std::move(last.Paste_Source);
            last = std::move(copy);
            return;
        }
    } else if (handed_out_ && copy.Taken_At - handed_out_->Taken_At < settle_ms_ && Completes(*handed_out_, copy)) {
        // The loop has the copy already: only what this change adds is new.
        const bool adds_text = copy.Text && !handed_out_->Text;
        const bool adds_picture = copy.Has_Picture && !handed_out_->Has_Picture;
        if (!adds_text && !adds_picture) return;
        if (!adds_text) copy.Text_Done = true;
        if (!adds_picture) {
            copy.Has_Picture = false;
            copy.Picture.reset();
        }
        if (copy.Paste_Source.empty()) copy.Paste_Source = handed_out_->Paste_Source;
    }
    picture_bytes_ += Picture_Bytes(copy);
    queue_.push_back(std::move(copy));
    // Only waiting copies are here: the one being pasted was taken out before its paste began.
    while (queue_.size() > 1 && (queue_.size() > max_copies_ || picture_bytes_ > max_picture_bytes_)) {
        picture_bytes_ -= Picture_Bytes(queue_.front());
        skipped_.push_back(std::move(queue_.front()));
        queue_.pop_front();
    }
}

bool Clipboard_Capture::Has_Read_Current() const {
    const unsigned long sequence = Clipboard_Sequence();
    std::lock_guard lock(mutex_);
    return sequence == last_taken_ || sequence == ignored_sequence_;
}

std::size_t Clipboard_Capture::Size() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

std::optional<Captured_Copy> Clipboard_Capture::Hand_Out() {
    if (queue_.empty()) return std::nullopt;
    Captured_Copy copy = std::move(queue_.front());
    queue_.pop_front();
    picture_bytes_ -= Picture_Bytes(copy);
    // Kept without its picture, which goes to the loop.
    std::optional<Bitmap_Image> picture = std::move(copy.Picture);
    copy.Picture.reset();
    handed_out_ = copy;
    copy.Picture = std::move(picture);
    return copy;
}

std::optional<Captured_Copy> Clipboard_Capture::Take_Oldest() {
    std::lock_guard lock(mutex_);
    return Hand_Out();
}

std::optional<Captured_Copy> Clipboard_Capture::Take_Oldest_Text() {
    std::lock_guard lock(mutex_);
    if (queue_.empty() || !queue_.front().Text || queue_.front().Text_Done || queue_.front().Has_Picture)
        return std::nullopt;
    return Hand_Out();
}

unsigned Clipboard_Capture::Ms_Until_Ready() const {
    std::lock_guard lock(mutex_);
    return queue_.empty() ? Nothing_Waits : 0;
}

std::vector<Captured_Copy> Clipboard_Capture::Take_Skipped() {
    std::lock_guard lock(mutex_);
    return std::exchange(skipped_, {});
}

std::vector<Captured_Copy> Clipboard_Capture::Take_Waiting() {
    std::lock_guard lock(mutex_);
    std::vector<Captured_Copy> waiting(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.end()));
    queue_.clear();
    handed_out_.reset();
    picture_bytes_ = 0;
    return waiting;
}

bool Clipboard_Capture::Completes(const Captured_Copy& earlier, const Captured_Copy& later) {
    const bool same_text = !earlier.Text || (later.Text && *later.Text == *earlier.Text);
    const bool same_picture = !earlier.Has_Picture || (later.Has_Picture && earlier.Picture_Hash != 0 &&
                                                      later.Picture_Hash == earlier.Picture_Hash);
    return same_text && same_picture;
}

std::size_t Clipboard_Capture::Picture_Bytes(const Captured_Copy& copy) {
    return copy.Picture ? copy.Picture->Pixels.size() * sizeof(std::uint32_t) : 0;
}
