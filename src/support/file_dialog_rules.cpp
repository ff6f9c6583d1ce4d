#include "file_dialog_rules.h"

#include "codepage.h"
#include "text.h"

namespace {

std::wstring_view Trim_Blanks(std::wstring_view s) {
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.remove_suffix(1);
    return s;
}

// Wildcard match of the whole name; both are upper-cased already. Backtracks only to the last "*",
// which is enough for "*" matching any run.
bool Wildcard_Match(std::wstring_view name, std::wstring_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t star = std::wstring_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = n;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool Pattern_Matches(const std::wstring& upper_name, const std::wstring& pattern) {
    const std::wstring upper = Upper_Case(pattern);
    if (upper == L"*.*") return true;
    if (upper.size() > 1 && upper.ends_with(L'.'))
        return upper_name.find(L'.') == std::wstring::npos &&
               Wildcard_Match(upper_name, std::wstring_view(upper).substr(0, upper.size() - 1));
    return Wildcard_Match(upper_name, upper);
}

bool Is_Bare_Drive(const std::wstring& part) { return part.size() == 2 && part[1] == L':'; }

}  // namespace

std::vector<std::wstring> Pattern_List(std::wstring_view patterns) {
    std::vector<std::wstring> list;
    for (const std::wstring& part : Str_Split(patterns, L";"))
        if (const std::wstring_view p = Trim_Blanks(part); !p.empty()) list.emplace_back(p);
    return list;
}

bool Name_Matches_Patterns(std::wstring_view name, const std::vector<std::wstring>& patterns) {
    const std::wstring upper_name = Upper_Case(name);
    for (const std::wstring& pattern : patterns)
        if (Pattern_Matches(upper_name, pattern)) return true;
    return false;
}

std::wstring Folder_Of_Part(const std::wstring& part) { return Is_Bare_Drive(part) ? part + L'\\' : part; }

namespace {

constexpr std::size_t Max_Name_Length = 255;

// The deepest level of the path that is a folder. A level with a name longer than any file system
// allows (255 characters) cannot be there, nor can any below it: they are not asked about.
std::optional<std::wstring> Deepest_Folder(const Path_Parts& path, const Folder_Test& is_folder) {
    std::size_t possible = 0;
    for (std::size_t start = 0; possible < path.Part_Count(); ++possible) {
        const std::size_t end = path.Part_Lengths[possible];
        if (end > start && end - start > Max_Name_Length + 1) break;
        start = end;
    }
    for (std::size_t level = possible; level-- > 0;)
        if (const std::wstring folder = Folder_Of_Part(path.Part(level)); is_folder(folder)) return folder;
    return std::nullopt;
}

}  // namespace

std::wstring File_Dialog_Start_Folder(const Path_Parts& path, const std::wstring& current_directory,
                                      const Folder_Test& is_folder) {
    if (path.Drive.empty() || !is_folder(path.Drive + L'\\')) return current_directory;
    const std::optional<std::wstring> found = Deepest_Folder(path, is_folder);
    return found ? *found : current_directory;
}

std::wstring Open_Dialog_Start_Folder(std::wstring_view path, const Folder_Test& is_folder) {
    // Only a folder will do: a file of the same name as a folder level would leave the dialog nowhere.
    const std::optional<std::wstring> found = Deepest_Folder(Path_Split(path), is_folder);
    return found ? *found : L"C:\\";
}

std::wstring Open_Dialog_Filter(std::wstring_view filter) {
    std::wstring out(filter);
    for (wchar_t& c : out)
        if (c == L'|') c = L'\0';
    // Two NULs end the list: this one and the one every std::wstring keeps after its text.
    out += L'\0';
    return out;
}

std::optional<std::wstring> Folder_List_Entry(std::wstring_view entry) {
    if (entry.size() < 3 || entry.front() != L'[' || entry.back() != L']') return std::nullopt;
    return std::wstring(entry.substr(1, entry.size() - 2));
}

std::optional<std::wstring> Drive_List_Entry(std::wstring_view entry) {
    if (entry.size() != 5 || !entry.starts_with(L"[-") || !entry.ends_with(L"-]")) return std::nullopt;
    return Upper_Case(entry.substr(2, 1)) + L':';
}

std::wstring Parent_Folder(const std::wstring& folder) {
    std::wstring f = folder;
    while (f.size() > 3 && f.ends_with(L'\\')) f.pop_back();
    const std::size_t slash = f.find_last_of(L'\\');
    if (slash == std::wstring::npos) return f;
    // C:\Data -> C:\ keeps the root's separator; \\server\share\x -> \\server\share.
    if (slash == 2 && f[1] == L':') return f.substr(0, 3);
    if (slash + 1 == f.size()) return f;
    return f.substr(0, slash);
}
