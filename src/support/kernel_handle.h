#pragma once
// Owns a kernel object handle that is nullptr when missing (a process, a thread, a mutex, an event);
// file handles, which are INVALID_HANDLE_VALUE when missing, have File_Handle.
#include <windows.h>

#include "owned_handle.h"

struct Close_Kernel_Handle {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using Kernel_Handle = Owned_Handle<HANDLE, Close_Kernel_Handle>;
