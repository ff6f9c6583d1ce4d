#pragma once
// Asks the file system about paths off the window's thread. A path on a network share that has gone
// away can keep a question unanswered for the network's whole time-out; the window only ever waits a
// short, bounded time for an answer and carries on without one.
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class Path_Kind {
    Plain_File,            // as Is_Plain_File
    Folder_Or_Plain_File,  // as Is_Folder_Or_Plain_File
};

class Path_Probe {
public:
    using Test = std::function<bool(const std::wstring& path, Path_Kind kind)>;

    // The test runs on worker threads of the probe's own; the default one asks the file system. A
    // validation pass asks up to three times, so it keeps the window waiting under 100 ms.
    explicit Path_Probe(unsigned wait_ms = 30, Test test = {});
    Path_Probe(const Path_Probe&) = delete;
    Path_Probe& operator=(const Path_Probe&) = delete;
    // Workers still inside a slow test finish it and then end on their own.
    ~Path_Probe();

    // How many of the paths, from the first on, are of that kind (paths.size() when all are): the
    // fresh answer when it comes within the wait; else the answer that came late to an earlier
    // question about the same paths and has not been handed out yet; else nothing: not known yet,
    // which callers take as "not there". The paths are asked about in one go, on one worker.
    std::optional<std::size_t> Ask_All(const std::vector<std::wstring>& paths, Path_Kind kind);

    // Ask_All for one path: whether it is of that kind, or nothing when that is not known yet.
    std::optional<bool> Ask(const std::wstring& path, Path_Kind kind);

    // Longest time Ask waits for a fresh answer.
    void Set_Wait_Ms(unsigned wait_ms);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};
