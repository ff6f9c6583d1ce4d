#pragma once
// Whether another program holds a file open.
#include <string>

// True when the existing file can be opened with every kind of sharing denied (it is closed again
// at once); false when that fails, a lock held by another program in particular. Never creates a file.
bool Check_File_Lock(const std::wstring& path);
