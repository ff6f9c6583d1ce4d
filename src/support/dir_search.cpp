#include "dir_search.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string_view>
#include <utility>

#include "codepage.h"
#include "long_path.h"
#include "memory_sort.h"
#include "paths.h"

namespace {

// Owns a search handle from FindFirstFileExW; closes it once.
class Find_Handle {
public:
    explicit Find_Handle(HANDLE h) : h_(h) {}
    Find_Handle(const Find_Handle&) = delete;
    Find_Handle& operator=(const Find_Handle&) = delete;
    ~Find_Handle() {
        if (Valid()) FindClose(h_);
    }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

// A drive without a medium would otherwise make the system ask for a disk in a box of its own; its
// listing is simply empty instead. The thread's previous mode comes back afterwards.
class Quiet_Drive_Errors {
public:
    Quiet_Drive_Errors() : set_(SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old_) != FALSE) {}
    Quiet_Drive_Errors(const Quiet_Drive_Errors&) = delete;
    Quiet_Drive_Errors& operator=(const Quiet_Drive_Errors&) = delete;
    ~Quiet_Drive_Errors() {
        if (set_) SetThreadErrorMode(old_, nullptr);
    }

private:
    DWORD old_ = 0;
    bool set_;
};

// What a pattern asks of a file name beyond the system's wildcard match. That match also looks at
// short (8.3) names, so "*.txt" finds a.txt1 through A~1.TXT; the extension test drops such names.
class Name_Pattern {
public:
    explicit Name_Pattern(std::wstring_view pattern)
        : tests_extension_(pattern.starts_with(L"*.")),
          wanted_(tests_extension_ ? Upper_Case(pattern.substr(2)) : std::wstring()),
          any_extension_(!tests_extension_ || wanted_ == L"*"),
          // "*", "*.*" and "*.ext" with a plain extension select exactly what the extension test keeps
          // (with a point in the name for "*.ext"), so a listing of every entry can serve; other patterns
          // need the system's match.
          whole_listing_(
              pattern == L"*" || wanted_ == L"*" ||
              (tests_extension_ && !wanted_.empty() && wanted_.find_first_of(L"*?<>\"") == std::wstring::npos)) {}

    // The extension test for a name the system matched: the text after the last "." (the whole name
    // without one) equals the wanted extension, upper-cased.
    bool Keeps(std::wstring_view name) const {
        if (any_extension_) return true;
        const std::size_t dot = name.rfind(L'.');
        const std::wstring_view ext = dot == std::wstring_view::npos ? name : name.substr(dot + 1);
        // Upper-casing keeps the length, so texts of different lengths never compare equal.
        return ext.size() == wanted_.size() && Upper_Case(ext) == wanted_;
    }

    bool Whole_Listing() const { return whole_listing_; }

    // For a name out of a listing of every entry: the system's match and the extension test together.
    bool Matches(std::wstring_view name) const {
        return any_extension_ || (name.find(L'.') != std::wstring_view::npos && Keeps(name));
    }

private:
    bool tests_extension_;
    std::wstring wanted_;
    bool any_extension_;
    bool whole_listing_;
};

bool Is_Folder(const WIN32_FIND_DATAW& found) {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    const std::wstring_view name = found.cFileName;
    return name != L"." && name != L"..";
}

// Calls visit for every entry that matches the search path (a folder followed by a wildcard) and is
// neither hidden nor a system entry. The attributes come with each entry, so none is asked for again.
template <class Visit>
void For_Each_Entry(const std::wstring& search, Visit&& visit) {
    WIN32_FIND_DATAW found;
    const Find_Handle find(FindFirstFileExW(Extended_Length_Path(search).c_str(), FindExInfoBasic, &found,
                                            FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find.Valid()) return;
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) visit(found);
    } while (FindNextFileW(find.Get(), &found));
}

std::wstring Folder_Prefix(const std::wstring& folder) { return folder.ends_with(L'\\') ? folder : folder + L'\\'; }

std::vector<Dir_Entry> Files_Of(const std::wstring& folder, const std::wstring& pattern, const Name_Pattern& test) {
    std::vector<Dir_Entry> files;
    For_Each_Entry(Path_Join(folder, pattern), [&](const WIN32_FIND_DATAW& found) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && test.Keeps(found.cFileName))
            files.push_back({folder, found.cFileName});
    });
    return files;
}

struct Folder_Listing {
    std::vector<Dir_Entry> Folders;
    std::vector<Dir_Entry> Files;
};

// One folder's subfolders and matching files, unsorted, each in the order the system lists them.
Folder_Listing List_Folder(const std::wstring& folder, const std::wstring& pattern, const Name_Pattern& test) {
    Folder_Listing listing;
    const std::wstring prefix = Folder_Prefix(folder);
    For_Each_Entry(prefix + L'*', [&](const WIN32_FIND_DATAW& found) {
        if (Is_Folder(found))
            listing.Folders.push_back({prefix + found.cFileName, {}});
        else if (test.Whole_Listing() && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                 test.Matches(found.cFileName))
            listing.Files.push_back({folder, found.cFileName});
    });
    if (!test.Whole_Listing()) listing.Files = Files_Of(folder, pattern, test);
    return listing;
}

// Sorts through the memory sort by (key 0, upper-cased Name); Folder and Name ride along as texts.
template <class Key0>
void Sort_Entries(std::vector<Dir_Entry>& list, Key0&& key0) {
    if (list.empty()) return;
    Memory_Sort sort;
    sort.Sort_Init();
    for (Dir_Entry& e : list) {
        sort.Sort_Record_Clear();
        sort.Sort_Key[0] = key0(e);
        sort.Sort_Key[1] = Upper_Case(e.Name);
        sort.Sort_Str[0] = std::move(e.Folder);
        sort.Sort_Str[1] = std::move(e.Name);
        sort.Sort_Record_Store();
    }
    // The sort moves the records it was given, so its count check has nothing to say here.
    (void)sort.Sort_Execute();
    list.clear();
    for (std::int32_t i = 0; i <= sort.Sort_Max(); ++i) {
        const Sort_Record& r = sort.Sort_Records_Out(i);
        list.push_back({r.Str(0), r.Str(1)});
    }
    sort.Sort_Erase();
}

// Separators become the lowest character, so a\b sorts before "a b". A file's key carries a last
// separator and U+F8F3 (what byte 0xFF reads as in code page 932, above any folder name's characters),
// so a folder's files come after its subfolders.
std::wstring Tree_Key(const Dir_Entry& e) {
    std::wstring key = Upper_Case(e.Folder);
    if (!e.Name.empty()) key.append(L"\\").append(10, L'\xF8F3');
    std::replace(key.begin(), key.end(), L'\\', L'\0');
    return key;
}

}  // namespace

std::vector<Dir_Entry> Dir_Search_Files(const std::wstring& folder, const std::wstring& pattern) {
    const Quiet_Drive_Errors quiet;
    std::vector<Dir_Entry> files = Files_Of(folder, pattern, Name_Pattern(pattern));
    Dir_Search_Sort(files);
    return files;
}

std::vector<Dir_Entry> Dir_Search_Folders(const std::wstring& folder) {
    const Quiet_Drive_Errors quiet;
    const std::wstring prefix = Folder_Prefix(folder);
    std::vector<Dir_Entry> folders;
    For_Each_Entry(prefix + L'*', [&](const WIN32_FIND_DATAW& found) {
        if (Is_Folder(found)) folders.push_back({prefix + found.cFileName, {}});
    });
    Dir_Search_Sort(folders);
    return folders;
}

std::vector<Dir_Entry> Dir_Search_Tree(const std::wstring& folder, const std::wstring& pattern,
                                       const std::function<void()>& progress) {
    const Quiet_Drive_Errors quiet;
    const Name_Pattern test(pattern);
    Folder_Listing top = List_Folder(folder, pattern, test);
    if (top.Folders.empty()) {
        Dir_Search_Sort(top.Files);
        return std::move(top.Files);
    }

    // Every folder, level by level, then the files: the top folder's own, then each folder's in that
    // order. The final sort alone decides the order; entries with equal keys keep this one.
    std::vector<Dir_Entry> tree = std::move(top.Folders);
    std::vector<std::vector<Dir_Entry>> files;
    files.push_back(std::move(top.Files));
    for (std::size_t k = 0; k < tree.size(); ++k) {
        if (progress) progress();
        const std::wstring path = tree[k].Folder;  // tree grows below, which may move its entries
        Folder_Listing level = List_Folder(path, pattern, test);
        tree.insert(tree.end(), std::make_move_iterator(level.Folders.begin()),
                    std::make_move_iterator(level.Folders.end()));
        files.push_back(std::move(level.Files));
    }
    for (std::vector<Dir_Entry>& some : files)
        tree.insert(tree.end(), std::make_move_iterator(some.begin()), std::make_move_iterator(some.end()));

    Sort_Entries(tree, Tree_Key);
    return tree;
}

void Dir_Search_Sort(std::vector<Dir_Entry>& list) {
    Sort_Entries(list, [](const Dir_Entry& e) { return Upper_Case(e.Folder); });
}
