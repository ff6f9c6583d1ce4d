// A simulated folder for the numbered-file store: the binary-file and directory-search modules over
// files in memory, where a test can hold a file (as another program holding it open does: it cannot
// be read, replaced, renamed or deleted) and make writes fail (a full disk).
#include "folder_standins.h"

#include <algorithm>
#include <map>

#include "binary_file.h"
#include "codepage.h"
#include "dir_search.h"

namespace {

struct Sim_File {
    std::string Bytes;
    bool Held = false;
    bool Read_Only = false;  // can be read and renamed, never deleted or replaced
};

struct Sim_State {
    std::map<std::wstring, Sim_File> Files;      // by full path, in upper case
    std::map<std::wstring, std::wstring> Names;  // upper-case path to the path as written
    bool Disk_Full = false;
};

Sim_State& State() {
    static Sim_State state;
    return state;
}

std::wstring Key(std::wstring_view path) { return Upper_Case(path); }

Sim_File* Find(std::wstring_view path) {
    const auto f = State().Files.find(Key(path));
    return f == State().Files.end() ? nullptr : &f->second;
}

bool Matches(std::wstring_view pattern, std::wstring_view name) {
    if (pattern.empty()) return name.empty();
    if (pattern[0] == L'*') {
        for (std::size_t i = 0; i <= name.size(); ++i)
            if (Matches(pattern.substr(1), name.substr(i))) return true;
        return false;
    }
    return !name.empty() && Upper_Case(pattern.substr(0, 1)) == Upper_Case(name.substr(0, 1)) &&
           Matches(pattern.substr(1), name.substr(1));
}

}  // namespace

void Sim_Reset() { State() = Sim_State(); }

void Sim_Put(const std::wstring& path, std::string bytes) {
    State().Files[Key(path)] = Sim_File{std::move(bytes), false};
    State().Names[Key(path)] = path;
}

bool Sim_Remove(const std::wstring& path) {
    State().Names.erase(Key(path));
    return State().Files.erase(Key(path)) != 0;
}

void Sim_Hold(const std::wstring& path, bool held) {
    if (Sim_File* f = Find(path)) f->Held = held;
}

void Sim_Read_Only(const std::wstring& path, bool read_only) {
    if (Sim_File* f = Find(path)) f->Read_Only = read_only;
}

void Sim_Remove_Folder(const std::wstring& folder) {
    const std::wstring prefix = Key(folder + L"\\");
    for (auto f = State().Files.begin(); f != State().Files.end();) {
        if (f->first.rfind(prefix, 0) == 0) {
            State().Names.erase(f->first);
            f = State().Files.erase(f);
        } else {
            ++f;
        }
    }
}

void Sim_Release_All() {
    for (auto& [key, file] : State().Files) file.Held = false;
}

void Sim_Disk_Full(bool full) { State().Disk_Full = full; }

std::optional<std::string> Sim_Get(const std::wstring& path) {
    const Sim_File* f = Find(path);
    return f ? std::optional<std::string>(f->Bytes) : std::nullopt;
}

std::vector<std::wstring> Sim_Paths() {
    std::vector<std::wstring> paths;
    for (const auto& [key, name] : State().Names) paths.push_back(name);
    return paths;
}

Binary_Read Read_Binary(std::wstring_view path, std::uint64_t max_bytes) {
    const Sim_File* f = Find(path);
    if (!f || f->Held) return {};
    if (f->Bytes.size() > max_bytes) return {true, std::nullopt};
    return {true, f->Bytes};
}

std::optional<std::string> Read_Binary_File(std::wstring_view path, std::uint64_t max_bytes) {
    return Read_Binary(path, max_bytes).Bytes;
}

Binary_Write_Result Write_Binary_File(std::wstring_view path, std::string_view bytes, bool) {
    const Sim_File* f = Find(path);
    if (State().Disk_Full || (f && (f->Held || f->Read_Only))) return {false, 5};
    Sim_Put(std::wstring(path), std::string(bytes));
    return {true, 0};
}

bool Delete_If_Present(const std::wstring& path) {
    const Sim_File* f = Find(path);
    if (f && (f->Held || f->Read_Only)) return false;
    Sim_Remove(path);
    return true;
}

bool Move_File(const std::wstring& from, const std::wstring& to, bool replace) {
    const Sim_File* source = Find(from);
    const Sim_File* target = Find(to);
    if (!source || source->Held || (target && (!replace || target->Held || target->Read_Only))) return false;
    if (Key(from) == Key(to)) return true;
    Sim_File moved = *source;
    Sim_Remove(from);
    Sim_Put(to, std::move(moved.Bytes));
    Sim_Read_Only(to, moved.Read_Only);
    return true;
}

bool Is_Read_Only(const std::wstring& path) {
    const Sim_File* f = Find(path);
    return f && f->Read_Only;
}

bool File_Exists(const std::wstring& path) { return Find(path) != nullptr; }

std::vector<Dir_Entry> Dir_Search_Files(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<Dir_Entry> out;
    const std::wstring prefix = Key(folder + L"\\");
    for (const auto& [key, name] : State().Names) {
        if (key.rfind(prefix, 0) != 0 || key.find(L'\\', prefix.size()) != std::wstring::npos) continue;
        const std::wstring file = name.substr(prefix.size());
        if (Matches(pattern, file)) out.push_back({folder, file});
    }
    std::sort(out.begin(), out.end(),
              [](const Dir_Entry& a, const Dir_Entry& b) { return Upper_Case(a.Name) < Upper_Case(b.Name); });
    return out;
}
