// The numbered-file store over a simulated folder. The input is a list of steps: entries added,
// removed, moved and edited in memory; files held, emptied, removed or added by someone else; saves,
// some stopped at a step as if the program were ended there, with files held or added between its
// steps. Properties: a save that says it is done leaves exactly the entries in memory, in their order;
// after a stopped save the next start has every entry that was in memory; names the store does not
// number are never changed.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "check.h"
#include "folder_standins.h"
#include "numbered_files.h"

namespace {

constexpr int Highest = 9;
const std::wstring Folder = L"F";

struct Input {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t At = 0;
    bool Empty() const { return At >= Size; }
    int Next() { return At < Size ? Data[At++] : 0; }
};

std::vector<std::wstring> Numbered_Paths(Numbered_Files& store) {
    std::vector<std::wstring> paths;
    for (int n = 0; n <= Highest; ++n) paths.push_back(store.Path_Of(n));
    return paths;
}

// Someone else at work in the folder: holds, releases, adds files. Nothing it does loses an entry.
// Between saves (not in the middle of one) the user may mark a history file read-only.
void Meddle(Input& in, Numbered_Files& store, std::map<std::wstring, std::string>& foreign, bool between_saves) {
    const std::vector<std::wstring> paths = Sim_Paths();
    switch (in.Next() % 7) {
        case 0:
            if (!paths.empty()) Sim_Hold(paths[static_cast<std::size_t>(in.Next()) % paths.size()], true);
            break;
        case 1:
            Sim_Release_All();
            break;
        case 5: {  // the user marks a history file read-only, or lifts the mark
            const std::wstring path = store.Path_Of(in.Next() % (Highest + 1));
            if (between_saves && !store.Journal_Pending()) Sim_Read_Only(path, in.Next() % 4 != 0);
            break;
        }
        case 6:
            for (const std::wstring& path : paths) Sim_Read_Only(path, false);
            break;
        case 2: {
            static const wchar_t* names[] = {L"F\\memo.txt",    L"F\\Text10.txt",    L"F\\Text7.txt",
                                             L"F\\Text005.txt", L"F\\~Text.tmp.bak", L"F\\Text05_読めないファイル.txt"};
            const std::wstring name = names[static_cast<std::size_t>(in.Next()) % std::size(names)];
            if (!Sim_Get(name)) {
                Sim_Put(name, "foreign");
                foreign[name] = "foreign";
            }
            break;
        }
        case 3: {
            const std::wstring path = store.Path_Of(in.Next() % (Highest + 1));
            if (!Sim_Get(path)) Sim_Put(path, "added");
            break;
        }
        default:
            Sim_Disk_Full(in.Next() % 2 == 0);
            break;
    }
}

void Check_Foreign(const std::map<std::wstring, std::string>& foreign) {
    for (const auto& [path, bytes] : foreign) FUZZ_CHECK(Sim_Get(path) == bytes);
}

// The numbered files and the scratch files entries wait in, with their bytes.
std::map<std::wstring, std::string> Stored(Numbered_Files& store) {
    std::map<std::wstring, std::string> files;
    for (const std::wstring& path : Numbered_Paths(store))
        if (auto bytes = Sim_Get(path)) files[path] = *bytes;
    for (const std::wstring& path : store.Waiting_Files())
        if (auto bytes = Sim_Get(path)) files[path] = *bytes;
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Sim_Reset();
    Input in{data, size};
    Numbered_Files store(Folder, L"Text", 2, L".txt", true, Highest);
    std::vector<Numbered_Entry> entries;
    std::map<std::wstring, std::string> foreign;
    bool damaged = false;  // someone else emptied or removed a file since the last save that was made
    int counter = 0;
    (void)store.Load();
    while (!in.Empty()) {
        const int op = in.Next() % 10;
        const std::size_t pick = entries.empty() ? 0 : static_cast<std::size_t>(in.Next()) % entries.size();
        switch (op) {
            case 0: {  // a new entry first, waiting in a scratch file (or only in memory)
                Numbered_Entry e;
                e.Bytes = "e" + std::to_string(++counter);
                e.Waiting = store.Write_Waiting(e.Bytes);
                entries.insert(entries.begin(), std::move(e));
                if (entries.size() > Highest + 1) {
                    if (!entries.back().Waiting.empty()) (void)Sim_Remove(entries.back().Waiting);
                    entries.pop_back();
                }
                break;
            }
            case 1:
                if (!entries.empty()) entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(pick));
                break;
            case 2:
                if (!entries.empty())
                    std::swap(entries[pick], entries[static_cast<std::size_t>(in.Next()) % entries.size()]);
                break;
            case 3:
                if (!entries.empty()) {
                    entries[pick].Bytes = "e" + std::to_string(++counter);
                    entries[pick].Changed = true;
                }
                break;
            case 4:
            case 5:
            case 6:
                Meddle(in, store, foreign, true);
                break;
            case 7: {  // emptied or removed by someone else, or the whole folder removed
                const std::wstring path = store.Path_Of(in.Next() % (Highest + 1));
                if (in.Next() % 8 == 0) {
                    Sim_Remove_Folder(Folder);
                    foreign.clear();
                    damaged = true;
                } else if (Sim_Get(path)) {
                    if (in.Next() % 2)
                        Sim_Put(path, "");
                    else
                        Sim_Remove(path);
                    damaged = true;
                }
                break;
            }
            default: {  // a save, stopped at a step or not, someone else at work between its steps
                int steps = in.Next();
                const bool may_stop = steps < 200;
                bool meddled = false, stopped = false;
                store.Before_Step = [&] {
                    if (in.Next() < 24) {
                        Meddle(in, store, foreign, false);
                        meddled = true;
                    }
                    if (may_stop && steps-- <= 0) stopped = true;
                    return !stopped;
                };
                // What is on disk already: saved, or waiting in its scratch file.
                std::vector<std::string> kept;
                for (const Numbered_Entry& e : entries)
                    if (!e.Changed && (e.File >= 0 || !e.Waiting.empty())) kept.push_back(e.Bytes);
                const std::map<std::wstring, std::string> before = Stored(store);
                const bool journal_before = store.Journal_Pending();
                const std::vector<std::wstring> failed = store.Write(entries);
                store.Before_Step = nullptr;
                Check_Foreign(foreign);
                // A save a read-only file keeps from being begun changes nothing and leaves no scratch file.
                if (!stopped && !meddled && !journal_before && !store.Blocked().empty())
                    FUZZ_CHECK(Stored(store) == before);
                if (!store.Blocked().empty()) FUZZ_CHECK(!failed.empty());
                if (stopped) {
                    // The program ends here; the next start reads what is there.
                    Sim_Release_All();
                    Sim_Disk_Full(false);
                    Numbered_Files next(Folder, L"Text", 2, L".txt", true, Highest);
                    std::vector<Numbered_Entry> loaded;
                    for (const Numbered_File& f : next.Load()) {
                        const auto bytes = Sim_Get(next.Path_Of(f.Number));
                        if (bytes && !bytes->empty()) loaded.push_back(Numbered_Entry{f.Number, {}, *bytes, false});
                    }
                    for (const std::wstring& w : next.Waiting_Files()) {
                        const auto bytes = Sim_Get(w);
                        if (bytes && !bytes->empty()) loaded.push_back(Numbered_Entry{-1, w, *bytes, false});
                    }
                    if (!damaged)
                        for (const std::string& bytes : kept)
                            FUZZ_CHECK(std::any_of(loaded.begin(), loaded.end(),
                                                   [&](const Numbered_Entry& l) { return l.Bytes == bytes; }));
                    Check_Foreign(foreign);
                    if (loaded.size() > Highest + 1) loaded.resize(Highest + 1);
                    entries = std::move(loaded);
                    damaged = false;
                } else if (failed.empty()) {
                    // Acknowledged: the folder holds the entries in memory, in order, and nothing else.
                    damaged = false;
                    if (!meddled) {
                        FUZZ_CHECK(entries.size() <= Highest + 1);
                        const std::vector<std::wstring> numbered = Numbered_Paths(store);
                        for (std::size_t i = 0; i < numbered.size(); ++i) {
                            const auto bytes = Sim_Get(numbered[i]);
                            if (i < entries.size()) {
                                FUZZ_CHECK(bytes == entries[i].Bytes);
                                FUZZ_CHECK(entries[i].File == static_cast<int>(i) && entries[i].Waiting.empty());
                            } else {
                                FUZZ_CHECK(!bytes);
                            }
                        }
                        FUZZ_CHECK(!Sim_Get(L"F\\~Text.journal"));
                    }
                }
                break;
            }
        }
        Check_Foreign(foreign);
    }
    return 0;
}
