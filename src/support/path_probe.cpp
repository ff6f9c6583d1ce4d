#include "path_probe.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "file_checks.h"

namespace {

// A few workers, so that one question stuck on a dead share does not hold up the questions about
// local paths behind it.
constexpr int Max_Workers = 4;
// Questions remembered; beyond this the settled ones are forgotten (a path typed letter by letter asks
// once per letter, and only the newest questions still matter).
constexpr std::size_t Max_Entries = 64;

bool File_System_Test(const std::wstring& path, Path_Kind kind) {
    return kind == Path_Kind::Plain_File ? Is_Plain_File(path) : Is_Folder_Or_Plain_File(path);
}

using Key = std::pair<std::vector<std::wstring>, Path_Kind>;

struct Entry {
    bool In_Flight = false;
    std::uint64_t Asked = 0;     // number of the last question put to a worker
    std::uint64_t Answered = 0;  // number of the question the answer belongs to
    std::size_t Answer = 0;      // paths of the kind, from the first on
    bool Unread = false;         // an answer has come that no Ask has handed out yet
};

}  // namespace

struct Path_Probe::Shared {
    std::mutex Lock;
    std::condition_variable Work;  // a question is queued, or the probe is going away
    std::condition_variable Done;  // an answer has come
    std::deque<std::pair<Key, std::uint64_t>> Queue;
    std::map<Key, Entry> Entries;
    int Workers = 0, Idle = 0;
    bool Stopping = false;
    std::chrono::milliseconds Wait{30};
    Test Test_Fn;

    // Runs on each worker thread; the shared state lives as long as any worker does.
    static void Work_Loop(std::shared_ptr<Shared> self) {
        std::unique_lock<std::mutex> lock(self->Lock);
        for (;;) {
            ++self->Idle;
            self->Work.wait(lock, [&] { return self->Stopping || !self->Queue.empty(); });
            --self->Idle;
            if (self->Stopping) break;
            auto [key, number] = std::move(self->Queue.front());
            self->Queue.pop_front();
            lock.unlock();
            std::size_t answer = 0;
            while (answer < key.first.size() && self->Test_Fn(key.first[answer], key.second)) ++answer;
            lock.lock();
            Entry& e = self->Entries[key];
            e.In_Flight = false;
            e.Answered = number;
            e.Answer = answer;
            e.Unread = true;
            self->Done.notify_all();
        }
        --self->Workers;
    }
};

Path_Probe::Path_Probe(unsigned wait_ms, Test test) : shared_(std::make_shared<Shared>()) {
    shared_->Wait = std::chrono::milliseconds(wait_ms);
    shared_->Test_Fn = test ? std::move(test) : Test(File_System_Test);
}

Path_Probe::~Path_Probe() {
    const std::lock_guard<std::mutex> lock(shared_->Lock);
    shared_->Stopping = true;
    shared_->Work.notify_all();
}

void Path_Probe::Set_Wait_Ms(unsigned wait_ms) {
    const std::lock_guard<std::mutex> lock(shared_->Lock);
    shared_->Wait = std::chrono::milliseconds(wait_ms);
}

std::optional<std::size_t> Path_Probe::Ask_All(const std::vector<std::wstring>& paths, Path_Kind kind) {
    Shared& s = *shared_;
    std::unique_lock<std::mutex> lock(s.Lock);
    if (s.Entries.size() >= Max_Entries) {
        std::erase_if(s.Entries, [](const auto& item) { return !item.second.In_Flight; });
    }
    const Key key{paths, kind};
    Entry& e = s.Entries[key];
    // A question still out is not asked twice: its answer is the fresh one.
    if (!e.In_Flight) {
        e.In_Flight = true;
        s.Queue.emplace_back(key, ++e.Asked);
        if (s.Idle == 0 && s.Workers < Max_Workers) {
            ++s.Workers;
            std::thread(Shared::Work_Loop, shared_).detach();
        }
        s.Work.notify_one();
    }
    const std::uint64_t wanted = e.Asked;
    // std::map keeps its elements in place, so e stays valid while the lock is let go.
    if (s.Done.wait_for(lock, s.Wait, [&] { return e.Answered >= wanted; }) || e.Unread) {
        e.Unread = false;
        return e.Answer;
    }
    return std::nullopt;
}

std::optional<bool> Path_Probe::Ask(const std::wstring& path, Path_Kind kind) {
    const std::optional<std::size_t> passed = Ask_All({path}, kind);
    if (!passed) return std::nullopt;
    return *passed == 1;
}
