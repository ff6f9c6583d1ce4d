#include "clipboard_capture.h"

#include "picture_caption.h"

#include <chrono>
#include <utility>

#include "clipboard_origin.h"
#include "gdi_handles.h"
#include "kernel_handle.h"

namespace {

// Two pictures in different bytes (another header, another depth) may still be the same picture: it
// is told by their pixels, as the history would keep them. Only a change that may merely complete a copy
// is asked this, so the decoding happens only then.
bool Same_Pixels(const Clipboard_Picture_Bytes& a, const Clipboard_Picture_Bytes& b) {
    const std::optional<Bitmap_Image> first = Decode_Picture_Bytes(a);
    if (!first) return false;
    const std::optional<Bitmap_Image> second = Decode_Picture_Bytes(b);
    return second && first->Width == second->Width && first->Height == second->Height &&
           first->Pixels == second->Pixels;
}

// A clipboard held open by another program is tried again, for about ten seconds, before the copy
// is given up.
constexpr int Busy_Retry_Limit = 500;
constexpr UINT Stop_Message = WM_APP + 1;

double Now_Ms() {
    static const double per_ms = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / per_ms;
}
constexpr wchar_t Window_Class[] = L"CellDropCapture";

// A manual-reset event, not yet set.
Kernel_Handle New_Event() { return Kernel_Handle(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }

}  // namespace

bool Clipboard_Capture::Start(HWND notify) {
    Stop();
    stopping_ = false;
    const Kernel_Handle ready = New_Event();
    if (!ready.Get()) return false;
    {
        std::lock_guard lock(mutex_);
        notify_ = notify;
        // What is there already was there before the run.
        last_taken_ = Clipboard_Sequence();
        marker_ = Copy_Source::User;
        busy_retries_ = 0;
    }
    {
        std::lock_guard lock(inbox_mutex_);
        sorter_stop_ = false;
    }
    sorter_ = std::thread([this] { Sort(); });
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
    if (sorter_.joinable()) {
        {
            std::lock_guard lock(inbox_mutex_);
            sorter_stop_ = true;
        }
        inbox_changed_.notify_all();
        sorter_.join();
    }
    {
        std::lock_guard lock(inbox_mutex_);
        inbox_.clear();
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
    // Destroyed after the listener below is removed from it.
    const Window_Handle owned(registered ? CreateWindowExW(0, Window_Class, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                                           GetModuleHandleW(nullptr), this)
                                         : nullptr);
    const HWND window = owned.Get();
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
        self->Take_Copy(static_cast<DWORD>(GetMessageTime()));
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

void Clipboard_Capture::Set_Taking(bool on) { taking_ = on; }

void Clipboard_Capture::Mark_Next(Copy_Source source) {
    const unsigned long sequence = Clipboard_Sequence();
    std::lock_guard lock(mutex_);
    marker_ = source;
    // A copy read before the program's write but not sorted yet is not the program's.
    marker_after_ = sequence;
}

void Clipboard_Capture::Ignore_Current() { ignored_sequence_ = Clipboard_Sequence(); }

void Clipboard_Capture::Forget_Handed_Out() {
    std::lock_guard lock(mutex_);
    handed_out_.reset();
}

Clipboard_Capture::Own_Write::Own_Write(Clipboard_Capture& capture) : capture_(capture), before_(Clipboard_Sequence()) {
    capture_.own_write_ = true;
}

Clipboard_Capture::Own_Write::~Own_Write() {
    const unsigned long sequence = Clipboard_Sequence();
    if (written_ && sequence != before_) capture_.ignored_sequence_ = sequence;
    capture_.own_write_ = false;
}

void Clipboard_Capture::Take_Copy(DWORD noticed_at) {
    const double started = Now_Ms();
    Capture_Timing timing;
    if (noticed_at != 0) timing.Waited_Ms = static_cast<double>(static_cast<LONG>(GetTickCount() - noticed_at));
    const unsigned long sequence = Clipboard_Sequence();
    if (own_write_) {
        // Looked at again once the program's write is over and known.
        SetTimer(window_, Timer_Id, Busy_Retry_Ms / 4, nullptr);
        return;
    }
    if (sequence == last_taken_ || sequence == ignored_sequence_) return;
    // Taking must hold from before the read: a copy made while pasting was off and read as it was
    // switched on is still not pasted.
    const bool taking_before_read = taking_;
    const double read_from = Now_Ms();
    Clipboard_Copy read = Clipboard_Read_Any_Copy(stopping_);
    const double read_to = Now_Ms();
    timing.Read_Ms = read_to - read_from;
    const auto finish = [&](Read_Copy* handed) {
        timing.After_Ms = Now_Ms() - read_to + (read_from - started);
        if (handed) {
            Hand_To_Sorter(std::move(*handed), timing);
        } else {
            std::lock_guard lock(inbox_mutex_);
            if (timings_.size() < Max_Timings) timings_.push_back(timing);
        }
    };
    if (read.Not_Rendered) {
        last_taken_ = read.Sequence;
        Read_Copy given_up;
        given_up.Read.Sequence = read.Sequence;
        given_up.Given_Up = true;
        finish(taking_ && read.Sequence != ignored_sequence_ ? &given_up : nullptr);
        return;
    }
    if (read.Snapshot.Busy) {
        if (++busy_retries_ <= Busy_Retry_Limit)
            SetTimer(window_, Timer_Id, Busy_Retry_Ms, nullptr);
        else
            last_taken_ = sequence;  // given up: the program may write over it
        return;
    }
    if (own_write_) {
        // The program began a write meanwhile: what was read is known for what it is once it ends.
        SetTimer(window_, Timer_Id, Busy_Retry_Ms / 4, nullptr);
        return;
    }
    last_taken_ = read.Sequence;
    // Copied while pasting was off, emptied (by the program or anyone), marked private, or no
    // standard format at all: nothing to paste.
    if (!taking_ || !taking_before_read || read.Sequence == ignored_sequence_ || !read.Snapshot.Has_Content ||
        read.Snapshot.Private || (!read.Snapshot.Has_Text && !read.Snapshot.Has_Picture)) {
        finish(nullptr);
        return;
    }
    Read_Copy handed;
    handed.Read = std::move(read);
    handed.Taken_At = GetTickCount64();
    GetLocalTime(&handed.Copied_At);
    finish(&handed);
}

std::vector<Capture_Timing> Clipboard_Capture::Take_Timings() {
    std::lock_guard lock(inbox_mutex_);
    return std::exchange(timings_, {});
}

void Clipboard_Capture::Hand_To_Sorter(Read_Copy read, const Capture_Timing& timing) {
    {
        std::lock_guard lock(inbox_mutex_);
        inbox_.push_back(std::move(read));
        if (timings_.size() < Max_Timings) timings_.push_back(timing);
    }
    inbox_changed_.notify_all();
}

void Clipboard_Capture::Sort() {
    std::unique_lock lock(inbox_mutex_);
    while (true) {
        inbox_changed_.wait(lock, [&] { return sorter_stop_ || !inbox_.empty(); });
        if (inbox_.empty()) return;
        Read_Copy next = std::move(inbox_.front());
        inbox_.pop_front();
        sorting_ = true;
        lock.unlock();
        Sort_One(std::move(next));
        lock.lock();
        sorting_ = false;
        inbox_changed_.notify_all();
    }
}

void Clipboard_Capture::Wait_Sorted() {
    std::unique_lock lock(inbox_mutex_);
    (void)inbox_changed_.wait_for(lock, std::chrono::seconds(5), [&] { return inbox_.empty() && !sorting_; });
}

void Clipboard_Capture::Sort_One(Read_Copy read) {
    if (read.Given_Up) {
        std::lock_guard lock(mutex_);
        skipped_.emplace_back().Sequence = read.Read.Sequence;
        return;
    }
    Ready_Copy_Picture(read.Read);
    const Clipboard_Snapshot& snapshot = read.Read.Snapshot;
    if (!snapshot.Has_Text && !snapshot.Has_Picture) return;
    Captured_Copy copy;
    copy.Sequence = read.Read.Sequence;
    if (snapshot.Has_Text) copy.Text = std::move(read.Read.Snapshot.Text);
    copy.Has_Picture = snapshot.Has_Picture;
    copy.Png_Only = snapshot.Png_Only;
    if (read.Read.Picture_Bytes)
        copy.Picture = std::make_shared<const Clipboard_Picture_Bytes>(std::move(*read.Read.Picture_Bytes));
    copy.Taken_At = read.Taken_At;
    copy.Copied_At = read.Copied_At;
    copy.Front_Window = Front_Window_Title();
    // Only a picture carries its program (in its alternative text): a text is not kept waiting for it.
    if (copy.Has_Picture) copy.Front_Program = Front_Window_Program();
    // Whether the picture is the one of the copy this change may complete is found out before the lock
    // is taken: comparing large pictures takes milliseconds, which the paste loop must not wait for.
    std::shared_ptr<const Clipboard_Picture_Bytes> earlier;
    {
        std::lock_guard lock(mutex_);
        const Captured_Copy* last = Last_Copy();
        if (last && copy.Picture && May_Complete(*last, copy)) earlier = last->Picture;
    }
    const Clipboard_Picture_Bytes* same_picture = nullptr;
    if (earlier && ((earlier->Format == copy.Picture->Format && earlier->Bytes == copy.Picture->Bytes) ||
                    Same_Pixels(*earlier, *copy.Picture)))
        same_picture = earlier.get();
    HWND notify = nullptr;
    {
        std::lock_guard lock(mutex_);
        // The marker belongs to the copy the program made: it is used up by that copy.
        if (marker_ != Copy_Source::User && static_cast<long>(copy.Sequence - marker_after_) > 0)
            copy.Paste_Source = std::exchange(marker_, Copy_Source::User);
        Push(std::move(copy), same_picture);
        notify = notify_;
    }
    if (notify) PostMessageW(notify, Wake_Message, 0, 0);
}

const Captured_Copy* Clipboard_Capture::Last_Copy() const {
    if (!queue_.empty()) return &queue_.back();
    return handed_out_ ? &*handed_out_ : nullptr;
}

void Clipboard_Capture::Push(Captured_Copy copy, const Clipboard_Picture_Bytes* same_picture) {
    if (!queue_.empty()) {
        Captured_Copy& last = queue_.back();
        if (Completes(last, copy, same_picture)) {
            picture_bytes_ -= Picture_Bytes(last);
            picture_bytes_ += Picture_Bytes(copy);
            if (copy.Paste_Source == Copy_Source::User) copy.Paste_Source = last.Paste_Source;
            last = std::move(copy);
            return;
        }
    } else if (handed_out_ && Completes(*handed_out_, copy, same_picture)) {
        // The loop has the copy already: only what this change adds is new.
        const bool adds_text = copy.Text && !handed_out_->Text;
        const bool adds_picture = copy.Has_Picture && !handed_out_->Has_Picture;
        if (!adds_text && !adds_picture) return;
        if (!adds_text) copy.Text_Done = true;
        if (!adds_picture) {
            copy.Has_Picture = false;
            copy.Picture.reset();
        }
        if (copy.Paste_Source == Copy_Source::User) copy.Paste_Source = handed_out_->Paste_Source;
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

void Clipboard_Capture::Queue_Texts(const std::vector<std::wstring>& texts, Copy_Source source) {
    HWND notify = nullptr;
    {
        std::lock_guard lock(mutex_);
        for (const std::wstring& text : texts) {
            Captured_Copy copy;
            copy.Text = text;
            copy.Paste_Source = source;
            copy.Taken_At = GetTickCount64();
            GetLocalTime(&copy.Copied_At);
            // Pushed as they are: entries of the history are no parts of one another's copy.
            queue_.push_back(std::move(copy));
        }
        notify = notify_;
    }
    if (notify) PostMessageW(notify, Wake_Message, 0, 0);
}

bool Clipboard_Capture::Has_Read_Current() const {
    const unsigned long sequence = Clipboard_Sequence();
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
    handed_out_ = copy;  // its picture is shared, not copied
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
    Wait_Sorted();
    std::lock_guard lock(mutex_);
    std::vector<Captured_Copy> waiting(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.end()));
    queue_.clear();
    handed_out_.reset();
    picture_bytes_ = 0;
    return waiting;
}

void Clipboard_Capture::Hold_Landed(std::shared_ptr<const Clipboard_Picture_Bytes> picture) {
    if (!picture) return;
    std::lock_guard lock(mutex_);
    landed_bytes_ += picture->Bytes.size();
    landed_.push_back(std::move(picture));
}

std::vector<std::shared_ptr<const Clipboard_Picture_Bytes>> Clipboard_Capture::Take_Landed() {
    std::lock_guard lock(mutex_);
    landed_bytes_ = 0;
    return std::exchange(landed_, {});
}

bool Clipboard_Capture::Landed_Due() const {
    // A burst of large pictures must not hold them all in memory until it ends.
    constexpr std::size_t Max_Landed_Bytes = std::size_t{256} << 20;
    bool reading = false;
    {
        // A copy being sorted is about to wait: the pause has not come yet.
        std::lock_guard lock(inbox_mutex_);
        reading = sorting_ || !inbox_.empty();
    }
    std::lock_guard lock(mutex_);
    if (landed_.empty()) return false;
    return (queue_.empty() && !reading) || landed_bytes_ > Max_Landed_Bytes || landed_.size() >= 30;
}

bool Clipboard_Capture::May_Complete(const Captured_Copy& earlier, const Captured_Copy& later) const {
    return later.Taken_At - earlier.Taken_At < settle_ms_ &&
           (!earlier.Text || (later.Text && *later.Text == *earlier.Text)) &&
           (!earlier.Has_Picture || later.Has_Picture);
}

bool Clipboard_Capture::Completes(const Captured_Copy& earlier, const Captured_Copy& later,
                                  const Clipboard_Picture_Bytes* same_picture) const {
    return May_Complete(earlier, later) &&
           (!earlier.Has_Picture || (earlier.Picture && earlier.Picture.get() == same_picture));
}

std::size_t Clipboard_Capture::Picture_Bytes(const Captured_Copy& copy) {
    return copy.Picture ? copy.Picture->Bytes.size() : 0;
}
