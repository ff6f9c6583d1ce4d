#pragma once
// The program file a process runs, by process ID.
#include <windows.h>

#include <string>

// The full path of the process's program file; empty when the process cannot be asked (gone, or
// not open to this user even for the limited query right).
std::wstring Process_Image_Path(DWORD process_id);
