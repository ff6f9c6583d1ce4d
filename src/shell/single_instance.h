#pragma once
// One program per program folder: two programs in one folder would save the same history and
// fixed-string files, each from its own idea of what they hold.
#include <windows.h>

#include <string>

#include "kernel_handle.h"

class Single_Instance {
public:
    // Takes the folder's named mutex (its full path, letter case folded: one folder, one name).
    explicit Single_Instance(const std::wstring& program_folder);
    Single_Instance(const Single_Instance&) = delete;
    Single_Instance& operator=(const Single_Instance&) = delete;

    // False when a program of the same folder runs already.
    bool First() const { return first_; }
    // Brings the running program's window forward (waiting a few seconds for it while it starts).
    void Activate_Running(const wchar_t* caption) const;

private:
    Kernel_Handle mutex_;
    bool first_ = true;
    std::wstring folder_;
};

// The mutex name of a program folder: the same for every spelling of the same path.
std::wstring Instance_Mutex_Name(const std::wstring& program_folder);
