#pragma once
// Folder listings for the rest of the program: the files of one folder that match a pattern, the
// subfolders of a folder, and every folder and file of a whole tree. Hidden and system entries are
// never listed. Results come back sorted; there is no limit on their number.
//
//   for (const Dir_Entry& e : Dir_Search_Files(Path_RirekiText, L"*.txt")) Read(Path_Join(e.Folder, e.Name));
#include <functional>
#include <string>
#include <vector>

// A file: Folder as the caller gave it and the file's Name. A folder: its full path in Folder, Name empty.
struct Dir_Entry {
    std::wstring Folder;
    std::wstring Name;
};

// Ordinary files of the folder that match the pattern, by upper-cased name. A pattern "*.ext" also
// checks the extension itself ("*.txt" keeps a.txt and B.TXT but not a.txt1); "*.*" keeps every file.
std::vector<Dir_Entry> Dir_Search_Files(const std::wstring& folder, const std::wstring& pattern);

// Subfolders of the folder (Folder = folder + "\" + name), by upper-cased path.
std::vector<Dir_Entry> Dir_Search_Folders(const std::wstring& folder);

// Every folder of the tree below the folder and every matching file in the folder and below it.
// Sorted by folder path (separators lowest, a folder's subfolders before its own files), files by
// upper-cased name.
// Lets no window message run; progress, when given, is called before each folder below the top one
// is listed, so that a caller with a window can keep it answering through a large tree.
std::vector<Dir_Entry> Dir_Search_Tree(const std::wstring& folder, const std::wstring& pattern,
                                       const std::function<void()>& progress = {});

// Ascending by upper-cased Folder, then upper-cased Name.
void Dir_Search_Sort(std::vector<Dir_Entry>& list);
