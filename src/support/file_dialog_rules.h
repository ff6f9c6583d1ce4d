#pragma once
// The rules of the two file choosers that need no window: which folder they open on, which names a
// ";"-separated pattern list lets through, how the system's filter text is laid out, and how the
// entries of the native drive and folder lists read.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "paths.h"

using Folder_Test = std::function<bool(const std::wstring& path)>;

// The patterns of a list such as "*.xls;*.xlsx;*.xlsm", blanks around each removed, empty ones left out.
std::vector<std::wstring> Pattern_List(std::wstring_view patterns);

// Whether one of the patterns matches the whole (long) name, letter case ignored: "*" any run of
// characters, "?" one character. "*.*" takes every name, a pattern ending in "." ("*.") a name without
// a point, as on the command line. Book1.XLSX matches "*.xlsx" but not "*.xls".
bool Name_Matches_Patterns(std::wstring_view name, const std::vector<std::wstring>& patterns);

// A folder level of a split path as a folder to open: a bare drive "C:" means its root "C:\".
std::wstring Folder_Of_Part(const std::wstring& part);

// The folder the program's own file dialog opens on for the text of the box that asked for it: the
// deepest existing folder of the path on its drive; the current directory when the path names no
// drive, its drive does not exist, or none of its folders does. C:\Data\Old\Book1.xlsx with Old gone
// opens C:\Data.
std::wstring File_Dialog_Start_Folder(const Path_Parts& path, const std::wstring& current_directory,
                                      const Folder_Test& is_folder);

// The folder the system's open dialog starts in: the deepest existing folder of the path, else "C:\".
std::wstring Open_Dialog_Start_Folder(std::wstring_view path, const Folder_Test& is_folder);

// The system dialog's filter from "description|patterns|description|patterns": every bar becomes a
// NUL, and the text ends with the extra NUL that closes the list.
std::wstring Open_Dialog_Filter(std::wstring_view filter);

// The folder named by an entry of a native folder list ("[name]" -> name, "[..]" -> ".."); nothing
// for any other text.
std::optional<std::wstring> Folder_List_Entry(std::wstring_view entry);
// The drive named by an entry of a native drive list ("[-c-]" -> "C:"); nothing for any other text.
std::optional<std::wstring> Drive_List_Entry(std::wstring_view entry);

// The folder above: C:\Data\Old -> C:\Data, C:\Data -> C:\, and a drive root stays where it is.
std::wstring Parent_Folder(const std::wstring& folder);
