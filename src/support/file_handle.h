#pragma once
// Owns a Win32 file handle; closes it once.
#include <windows.h>

#include <utility>

class File_Handle {
public:
    explicit File_Handle(HANDLE h) : h_(h) {}
    File_Handle(const File_Handle&) = delete;
    File_Handle& operator=(const File_Handle&) = delete;
    ~File_Handle() { Close(); }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    // Closing can fail (a delayed write); callers that care check the result.
    bool Close() {
        if (!Valid()) return true;
        return CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE)) != FALSE;
    }

private:
    HANDLE h_;
};
