#pragma once
// The lines of the file list: the files of a folder, or of its whole tree, as the quick list
// "ファイルを開く" offers them. Window-free.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dir_search.h"

// This folder only: the name of every ordinary file. With sub_folders: every file of the tree whose
// name has a point, the files of subfolders as "\sub\name" first, then the folder's own as "name".
// Within each group the lines are in code-unit order (upper case before lower case). A folder that
// does not exist, cannot be read or is not given at all gives no lines.
// progress is called through a tree search (see Dir_Search_Tree).
std::vector<std::wstring> File_List_Lines(const std::wstring& folder, bool sub_folders,
                                          const std::function<void()>& progress = {});

// One entry of a tree search under base as a list line, with its sort group: "1" and "\sub\name"
// for a file in a subfolder, "2" and "name" for a file of base itself. Nothing for folder entries and
// names without a point. base may end with separators (C:\ or C:\Data\): the lines are the same as
// without them.
struct File_List_Line {
    std::wstring Group;
    std::wstring Line;
};
std::optional<File_List_Line> File_List_Tree_Line(const std::wstring& base, const Dir_Entry& entry);
