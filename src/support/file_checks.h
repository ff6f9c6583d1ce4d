#pragma once
// Whether a path names something the program may use.
#include <string>

// An existing file that is neither a folder nor hidden nor a system file.
bool Is_Plain_File(const std::wstring& path);
// An existing folder, hidden or not.
bool Is_Existing_Folder(const std::wstring& path);
// An existing folder, or a file as Is_Plain_File accepts it.
bool Is_Folder_Or_Plain_File(const std::wstring& path);
