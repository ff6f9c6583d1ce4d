#include "picture_recorder.h"

#include <windows.h>

#include <optional>
#include <utility>

Picture_Recorder::Picture_Recorder() : thread_([this] { Work(); }) {}

Picture_Recorder::~Picture_Recorder() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void Picture_Recorder::Submit(Bitmap_Image picture, int thumbnail_side, std::wstring folder) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({std::move(picture), nullptr, thumbnail_side, std::move(folder)});
    }
    wake_.notify_one();
}

void Picture_Recorder::Submit(std::shared_ptr<const Clipboard_Picture_Bytes> copied, int thumbnail_side,
                              std::wstring folder) {
    if (!copied) return;
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({{}, std::move(copied), thumbnail_side, std::move(folder)});
    }
    wake_.notify_one();
}

std::vector<Picture_Entry> Picture_Recorder::Take_Finished() {
    std::lock_guard lock(mutex_);
    return std::exchange(finished_, {});
}

std::vector<Picture_Entry> Picture_Recorder::Finish_All() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return jobs_.empty() && !busy_; });
    return std::exchange(finished_, {});
}

bool Picture_Recorder::Pending() const {
    std::lock_guard lock(mutex_);
    return !jobs_.empty() || busy_ || !finished_.empty();
}

void Picture_Recorder::Work() {
    // The history can wait: a copy being read or pasted meanwhile gets the processor first.
    (void)SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    std::unique_lock lock(mutex_);
    while (true) {
        // The queue is made to its end before the thread ends: nothing submitted is lost.
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        // Bytes that hold no picture leave it empty, and its entry empty: the history does not take it.
        if (job.Copied)
            if (std::optional<Bitmap_Image> picture = Decode_Picture_Bytes(*job.Copied))
                job.Picture = std::move(*picture);
        Picture_Entry entry = Make_Picture_Entry(job.Picture, job.Thumbnail_Side, job.Folder);
        job = Job();  // the full picture goes before the lock is taken again
        lock.lock();
        finished_.push_back(std::move(entry));
        busy_ = false;
        done_.notify_all();
    }
}
