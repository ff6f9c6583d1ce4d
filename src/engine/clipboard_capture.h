#pragma once
// Every copy taken when it happens: during a paste run a thread of its own listens to the clipboard
// through a message-only window and reads each change at once, whatever the window's thread is doing
// (a paste, a busy Excel, a message box). That thread only opens the clipboard, copies out what is
// offered and closes it, never waiting for a lock the window's thread holds: on a busy machine every
// step more is a chance for the next copy to replace this one unread. A sorting thread of its own
// then tells a copy that only completes the one before it, and puts the copy into a first-in,
// first-out queue that the paste loop empties. A picture stays in the bytes it was copied in until it
// has landed: the history decodes it after. A copy can be taken the moment it is read. A
// program that writes the clipboard in several steps gives several changes within a few milliseconds: a change that
// only completes the copy before it (the same text, the same picture, more formats) within the settling time replaces
// that copy while it waits, and once the loop has taken it only what the change adds (a picture to a text, a text to a
// picture) is queued, never the copy again.
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "clipboard.h"
#include "paste_options.h"

struct Captured_Copy {
    unsigned long Sequence = 0;        // the clipboard's sequence number when it was read
    std::optional<std::wstring> Text;  // offered text (format 1)
    bool Has_Picture = false;          // offered a picture (format 2, 3 or 8, or "PNG") not pasted yet
    bool Png_Only = false;             // only as "PNG": put back as a bitmap for its paste
    // As copied (a picture only as "PNG" as the bitmap it is put back as); nothing when it could not be
    // read. Shared: the capture keeps the copy handed out to know its picture again.
    std::shared_ptr<const Clipboard_Picture_Bytes> Picture;
    Copy_Source Paste_Source = Copy_Source::User;  // the program put it there itself, or the user
    unsigned long long Taken_At = 0;               // GetTickCount64 when it was read
    SYSTEMTIME Copied_At{};                        // the local time when it was read
    std::wstring Front_Window;                     // the title of the window in front then (not this program's)
    std::wstring Front_Program;                    // that window's program file ("chrome.exe")
    bool Text_Done = false;                        // the text was taken; the picture, if any, is the next pass's
};

// Where one copy's time went on the capture thread: from the change's notice being sent to its
// handling, the read (open to close), and what followed before the thread listened again. Kept for the
// benchmark, which shows what a busy machine does to each copy.
struct Capture_Timing {
    double Waited_Ms = 0;
    double Read_Ms = 0;
    double After_Ms = 0;
};

class Clipboard_Capture {
public:
    // At most this many copies, and pictures of this many bytes, wait; beyond either the oldest
    // waiting ones are not pasted (and counted). Texts are small: the count is no memory bound.
    static constexpr std::size_t Max_Copies = 10000;
    static constexpr std::size_t Max_Picture_Bytes = std::size_t{512} << 20;
    // A change this soon after a copy that it only completes is part of that copy.
    static constexpr unsigned Settle_Ms = 30;
    // Retries a read while another program holds the clipboard open.
    static constexpr UINT_PTR Timer_Id = 0xCA97;
    static constexpr UINT Busy_Retry_Ms = 20;
    // A change whose notification never came (seen under Wine, about once in a thousand copies) is
    // still taken: the sequence number is compared this often.
    static constexpr UINT_PTR Check_Timer_Id = 0xCA98;
    static constexpr UINT Check_Ms = 250;
    // Posted to the window given to Start after each queued copy, so that its wait ends at once.
    static constexpr UINT Wake_Message = WM_APP + 0x316;
    // Ms_Until_Ready when nothing waits.
    static constexpr unsigned Nothing_Waits = 0xFFFFFFFFu;

    // Smaller bounds and a longer settling time serve tests.
    explicit Clipboard_Capture(std::size_t max_copies = Max_Copies, std::size_t max_picture_bytes = Max_Picture_Bytes,
                               unsigned settle_ms = Settle_Ms)
        : max_copies_(max_copies), max_picture_bytes_(max_picture_bytes), settle_ms_(settle_ms) {}
    Clipboard_Capture(const Clipboard_Capture&) = delete;
    Clipboard_Capture& operator=(const Clipboard_Capture&) = delete;
    ~Clipboard_Capture() { Stop(); }

    // Listening from Start to Stop (the paste run), on a thread of its own; the queue starts empty and
    // what is on the clipboard already is no copy. False when the clipboard cannot be listened to.
    [[nodiscard]] bool Start(HWND notify);
    void Stop();
    bool Running() const { return thread_.joinable(); }

    // Copies are taken only while pasting is on ("する").
    void Set_Taking(bool on);
    // The next copy is the program's own (from its history or fixed texts): it goes with that copy.
    // Copy_Source::User forgets it.
    void Mark_Next(Copy_Source source);
    // What is on the clipboard now is not a copy to paste: the program wrote it itself, or it was
    // copied while pasting was off.
    void Ignore_Current();
    // The program emptied the clipboard while it still held the copy the loop took: no later change
    // completes that copy, and the same picture copied again at once is a new copy.
    void Forget_Handed_Out();

    // Texts the program hands to the loop itself (history entries pasted in order), queued behind the
    // copies waiting, in order, each a copy of its own from that source. They were never on the
    // clipboard: a paste that reads it puts them there.
    void Queue_Texts(const std::vector<std::wstring>& texts, Copy_Source source);

    // The program writes the clipboard itself (a copy put back for its paste): the change it makes is
    // no copy. The capture thread may hear of it before the write returns, so it waits for the end.
    class Own_Write {
    public:
        explicit Own_Write(Clipboard_Capture& capture);
        Own_Write(const Own_Write&) = delete;
        Own_Write& operator=(const Own_Write&) = delete;
        ~Own_Write();
        // The write happened: the change it made is the program's. A write that did not happen (the
        // clipboard held a copy not read yet) leaves whatever came meanwhile to be read as a copy.
        void Written() { written_ = true; }

    private:
        Clipboard_Capture& capture_;
        unsigned long before_;
        bool written_ = false;
    };

    // The copy on the clipboard now has been read (or given up, or is the program's own): writing
    // over it loses nothing.
    bool Has_Read_Current() const;

    std::size_t Size() const;
    // The oldest waiting copy, taken out of the queue (nothing may evict it then).
    std::optional<Captured_Copy> Take_Oldest();
    // The oldest waiting copy when it offers a text and no picture, taken out of the queue as
    // Take_Oldest does; nothing otherwise (a picture waits for Take_Oldest).
    std::optional<Captured_Copy> Take_Oldest_Text();
    // 0 when a copy can be taken now, or Nothing_Waits.
    unsigned Ms_Until_Ready() const;
    // The copies that fell out of a full queue, or that Excel did not make in time (nothing of them
    // was read), since the last call, oldest first.
    std::vector<Captured_Copy> Take_Skipped();
    // Every waiting copy, oldest first; the queue is empty after.
    std::vector<Captured_Copy> Take_Waiting();
    // A pasted copy's picture still to enter the history: that work waits until no copy does, so that
    // the next copy is pasted at once. Older than every copy still waiting or let go.
    void Hold_Landed(std::shared_ptr<const Clipboard_Picture_Bytes> picture);
    // The held pictures, oldest first; none are held after.
    std::vector<std::shared_ptr<const Clipboard_Picture_Bytes>> Take_Landed();
    // Held pictures are due when no copy waits or is being read, or at once when many or large ones are
    // held.
    bool Landed_Due() const;
    // The timings of the copies read since the last call (at most the newest Max_Timings).
    std::vector<Capture_Timing> Take_Timings();
    static constexpr std::size_t Max_Timings = 100000;

private:
    // A read handed from the capture thread to the sorting thread.
    struct Read_Copy {
        Clipboard_Copy Read;
        unsigned long long Taken_At = 0;
        SYSTEMTIME Copied_At{};
        bool Given_Up = false;  // Excel did not make it in time: counted with the copies not pasted
    };

    static LRESULT CALLBACK Window_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void Listen(HANDLE ready);
    void Hand_To_Sorter(Read_Copy read, const Capture_Timing& timing);
    // The sorting thread: each read in turn, until Stop.
    void Sort();
    void Sort_One(Read_Copy read);
    // Until what the capture thread read has been sorted into the queue (for a few seconds at most).
    void Wait_Sorted();
    // On the capture thread: reads the clipboard now and queues what is new.
    // noticed_at: GetTickCount when the change's notice was sent, 0 when the read is a retry.
    void Take_Copy(DWORD noticed_at = 0);
    // With the lock held. same_picture: the picture of the copy before that this one's was found to be.
    void Push(Captured_Copy copy, const Clipboard_Picture_Bytes* same_picture);
    // With the lock held: the copy a change may only complete (the newest waiting, else the one handed out).
    const Captured_Copy* Last_Copy() const;
    static std::size_t Picture_Bytes(const Captured_Copy& copy);
    // The later copy may only complete the earlier one (a program writing its copy in several steps):
    // it came within the settling time and has the earlier one's text, and a picture if that had one.
    bool May_Complete(const Captured_Copy& earlier, const Captured_Copy& later) const;
    // It does complete it: its picture, if the earlier one had one, is the same (same_picture).
    bool Completes(const Captured_Copy& earlier, const Captured_Copy& later,
                   const Clipboard_Picture_Bytes* same_picture) const;
    // With the lock held: the copy handed to the loop, remembered for changes that only complete it.
    std::optional<Captured_Copy> Hand_Out();

    const std::size_t max_copies_;
    const std::size_t max_picture_bytes_;
    const unsigned settle_ms_;
    mutable std::mutex mutex_;
    std::thread thread_;
    HWND window_ = nullptr;  // the capture thread's own; set before Start returns
    HWND notify_ = nullptr;
    bool listening_ = false;
    std::deque<Captured_Copy> queue_;
    std::optional<Captured_Copy> handed_out_;  // the last copy taken by the loop
    std::vector<Captured_Copy> skipped_;
    std::vector<std::shared_ptr<const Clipboard_Picture_Bytes>> landed_;
    std::size_t landed_bytes_ = 0;
    std::size_t picture_bytes_ = 0;
    Copy_Source marker_ = Copy_Source::User;
    unsigned long marker_after_ = 0;  // the marker goes with a copy newer than this sequence number
    // Read by the capture thread without a lock.
    std::atomic<unsigned long> ignored_sequence_ = 0;
    std::atomic<unsigned long> last_taken_ = 0;
    std::atomic<bool> taking_ = true;
    std::atomic<bool> own_write_ = false;
    int busy_retries_ = 0;  // capture thread only
    std::atomic<bool> stopping_ = false;
    // Between the capture thread and the sorting thread only.
    std::thread sorter_;
    mutable std::mutex inbox_mutex_;
    std::condition_variable inbox_changed_;
    std::deque<Read_Copy> inbox_;
    bool sorting_ = false;
    bool sorter_stop_ = false;
    std::vector<Capture_Timing> timings_;
};
