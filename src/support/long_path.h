#pragma once
// Paths longer than the system's classic limit of 260 characters. Where the long-path policy of
// Windows is off, the file functions refuse such a path unless it comes in its extended-length form
// ("\\?\C:\..." or "\\?\UNC\server\share\..."), which skips the limit and also every clean-up of the
// path: this form is made only from a path that has been cleaned up here first.
#include <string>
#include <string_view>

// Paths at least this long are handed to the file functions in the extended-length form (a folder
// may be created only while its path leaves room for a short file name: 260 - 12).
constexpr std::size_t Long_Path_From = 248;

// The path as the file functions should get it: unchanged when shorter than Long_Path_From, already
// in a device or extended form, or not a full path (no drive and no server); otherwise its
// extended-length form, with "/" read as "\", repeated separators, "." and ".." resolved as the
// system would resolve them.
//   Extended_Length_Path(L"C:\\a\\.\\b\\..\\c" + long_tail) == L"\\\\?\\C:\\a\\c" + long_tail
std::wstring Extended_Length_Path(std::wstring_view path);
