#pragma once
// Asks the file system about paths off the window's thread. A path on a network share that has gone
// away can keep a question unanswered for the network's whole time-out; the window only ever waits a
// short, bounded time for an answer and carries on without one.
#include <functional>
#include <memory>
#include <optional>
#include <string>

enum class Path_Kind {
    Plain_File,            // as Is_Plain_File
    Folder_Or_Plain_File,  // as Is_Folder_Or_Plain_File
};

class Path_Probe {
public:
    using Test = std::function<bool(const std::wstring& path, Path_Kind kind)>;

    // The test runs on worker threads of the probe's own; the default one asks the file system.
    explicit Path_Probe(unsigned wait_ms = 40, Test test = {});
    Path_Probe(const Path_Probe&) = delete;
    Path_Probe& operator=(const Path_Probe&) = delete;
    // Workers still inside a slow test finish it and then end on their own.
    ~Path_Probe();

    // Whether the path is of that kind: the fresh answer when it comes within the wait; else the
    // answer that came late to an earlier question about the path and has not been handed out yet;
    // else nothing: not known yet, which callers take as "not there".
    std::optional<bool> Ask(const std::wstring& path, Path_Kind kind);

    // Longest time Ask waits for a fresh answer.
    void Set_Wait_Ms(unsigned wait_ms);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};
