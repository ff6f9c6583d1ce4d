#pragma once
// Path helpers: splitting a path into drive, folders, name and extension; proper case; joining.
#include <string>
#include <string_view>
#include <vector>

struct Path_Parts {
    std::wstring Drive;   // "C:" when the folder part's second character is ":", else empty
    std::wstring Folder;  // folder part without trailing backslashes
    std::wstring Name;    // last component when it contains a "."; else empty
    std::wstring Ext;     // characters after the path's last ".", without the point
    // Cumulative folder paths, one per level, without trailing backslash:
    // C:\Data\Sub -> {"C:", "C:\Data", "C:\Data\Sub"}. Path_Split_Max is Parts.size() - 1.
    std::vector<std::wstring> Parts;
};
Path_Parts Path_Split(std::wstring_view path);

// First character of every backslash-separated component upper-cased, the rest lower-cased:
// c:\DATA\book1.XLSX -> C:\Data\Book1.xlsx
std::wstring Path_Proper_Case(std::wstring_view path);

// Whether two file names name the same file: compared as the file system does, ignoring case.
bool Same_File_Name(std::wstring_view a, std::wstring_view b);

// Folder and name with exactly one backslash between them; an empty folder gives "\" + name.
std::wstring Path_Join(std::wstring_view folder, std::wstring_view name);
