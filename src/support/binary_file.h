#pragma once
// Whole files as bytes: read at once, written atomically (a temporary file in the same folder, then
// a replace), so a failed write leaves the old file as it was.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The file's bytes; nothing when it cannot be opened or read, or is larger than max_bytes.
std::optional<std::string> Read_Binary_File(std::wstring_view path, std::uint64_t max_bytes);

// The same, telling a file that could not be opened (missing, or held by another program) from one
// that opened but could not be read whole.
struct Binary_Read {
    bool Opened = false;
    std::optional<std::string> Bytes;
};
Binary_Read Read_Binary(std::wstring_view path, std::uint64_t max_bytes);

struct [[nodiscard]] Binary_Write_Result {
    bool Ok = false;
    std::uint32_t Error_Code = 0;  // the Win32 error of the step that failed
};

// Writes the bytes as the whole file. A folder that is missing is made again (its parent must exist).
// flush: the data reaches the disk before the replace (for files
// that must survive a power cut; a scratch file need not wait for it).
Binary_Write_Result Write_Binary_File(std::wstring_view path, std::string_view bytes, bool flush = true);

// Deletes the file; true when it is gone afterwards (it may not have existed).
bool Delete_If_Present(const std::wstring& path);

// Renames a file within its volume; replace: a file of the new name is replaced. False when it failed.
bool Move_File(const std::wstring& from, const std::wstring& to, bool replace);

// The file carries the read-only mark: it can be read and renamed, but not deleted or replaced.
bool Is_Read_Only(const std::wstring& path);

// A file (not a folder) of that path exists.
bool File_Exists(const std::wstring& path);
