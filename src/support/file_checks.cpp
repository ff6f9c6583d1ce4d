#include "file_checks.h"

#include <windows.h>

#include "long_path.h"

namespace {

constexpr DWORD kUnusable = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

}  // namespace

bool Is_Plain_File(const std::wstring& path) {
    // Wildcards would make this a search; a path with them names no file.
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return false;
    const DWORD a = GetFileAttributesW(Extended_Length_Path(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY) && !(a & kUnusable);
}

bool Is_Existing_Folder(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(Extended_Length_Path(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Is_Folder_Or_Plain_File(const std::wstring& path) {
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return false;
    const DWORD a = GetFileAttributesW(Extended_Length_Path(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return false;
    // A folder the user names is accepted even when hidden or a system folder (a drive root is both).
    return (a & FILE_ATTRIBUTE_DIRECTORY) || !(a & kUnusable);
}
