#pragma once
// The history's work for pasted pictures (decoding a copy's bytes, thumbnail, bitmap file, scratch
// file), done on a thread of its own so that the window's thread is free for the next copy at once. Pictures are made
// in the order they came; the window's thread takes the finished entries and puts them into its Picture_History.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bitmap_image.h"
#include "clipboard.h"
#include "copy_history.h"

class Picture_Recorder {
public:
    Picture_Recorder();
    // Makes what is still queued (its scratch files are the history's next start), then ends the thread.
    ~Picture_Recorder();
    Picture_Recorder(const Picture_Recorder&) = delete;
    Picture_Recorder& operator=(const Picture_Recorder&) = delete;

    // Queues the picture to be made into an entry with this thumbnail side and scratch-file folder.
    void Submit(Bitmap_Image picture, int thumbnail_side, std::wstring folder);
    // The same for a picture as it was copied, decoded first; bytes that hold no picture make no entry.
    void Submit(std::shared_ptr<const Clipboard_Picture_Bytes> copied, int thumbnail_side, std::wstring folder);
    // The entries finished so far, oldest first; they are the caller's after.
    std::vector<Picture_Entry> Take_Finished();
    // Waits until every queued picture is made, and takes them all, oldest first.
    std::vector<Picture_Entry> Finish_All();
    // Something submitted has not been taken yet.
    bool Pending() const;

private:
    struct Job {
        Bitmap_Image Picture;
        std::shared_ptr<const Clipboard_Picture_Bytes> Copied;  // decoded into Picture by the thread
        int Thumbnail_Side = 0;
        std::wstring Folder;
    };
    void Work();

    mutable std::mutex mutex_;
    std::condition_variable wake_;  // a job came, or the end
    std::condition_variable done_;  // a job was finished
    std::deque<Job> jobs_;
    bool busy_ = false;  // the thread makes the oldest job's entry
    std::vector<Picture_Entry> finished_;
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once the rest is in place
};
