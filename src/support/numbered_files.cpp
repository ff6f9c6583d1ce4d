#include "numbered_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

#include "binary_file.h"
#include "codepage.h"
#include "dir_search.h"
#include "paths.h"

namespace {

constexpr std::uint64_t Max_Journal_Bytes = 1 << 20;

// One line of a journal: a file that goes to a number ('M'), or a file that goes ('D').
struct Journal_Line {
    char Kind = 'M';
    std::wstring Source;  // a name in the folder
    int Number = 0;       // the number it goes to, or the number it had
};

struct Journal {
    bool Renamed_Aside = false;  // every file is at its stage name: what is left is to put them in place
    std::vector<Journal_Line> Lines;
};

std::string Journal_Bytes(const Journal& j) {
    std::string out = j.Renamed_Aside ? "B\n" : "A\n";
    for (const Journal_Line& l : j.Lines)
        out += std::string(1, l.Kind) + "\t" + std::to_string(l.Number) + "\t" + Wide_To_Utf8(l.Source) + "\n";
    return out;
}

// Nothing when the journal is not one this program wrote (it is written whole or not at all).
std::optional<Journal> Parse_Journal(const std::string& bytes) {
    Journal j;
    std::size_t at = 0;
    bool first = true;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) return std::nullopt;
        const std::string line = bytes.substr(at, end - at);
        at = end + 1;
        if (first) {
            if (line != "A" && line != "B") return std::nullopt;
            j.Renamed_Aside = line == "B";
            first = false;
            continue;
        }
        const std::size_t t1 = line.find('\t');
        const std::size_t t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
        if (t1 != 1 || t2 == std::string::npos || (line[0] != 'M' && line[0] != 'D')) return std::nullopt;
        const std::string number = line.substr(t1 + 1, t2 - t1 - 1);
        if (number.empty() || number.size() > 6 ||
            !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        Journal_Line l{line[0], Utf8_To_Wide(line.substr(t2 + 1)), std::stoi(number)};
        if (l.Source.empty() || l.Source.find_first_of(L"\\/:") != std::wstring::npos) return std::nullopt;
        j.Lines.push_back(std::move(l));
    }
    if (first) return std::nullopt;
    return j;
}

}  // namespace

Numbered_Files::Numbered_Files(std::wstring folder, std::wstring prefix, int digits, std::wstring extension,
                               bool exact_digits, int highest)
    : folder_(std::move(folder)),
      prefix_(std::move(prefix)),
      digits_(digits),
      extension_(std::move(extension)),
      exact_digits_(exact_digits),
      highest_(highest) {}

std::wstring Numbered_Files::Name_Of(int number) const {
    std::wstring digits = std::to_wstring(number);
    if (digits.size() < static_cast<std::size_t>(digits_))
        digits.insert(0, static_cast<std::size_t>(digits_) - digits.size(), L'0');
    return prefix_ + digits + extension_;
}

std::wstring Numbered_Files::Path_Of(int number) const { return Path_Join(folder_, Name_Of(number)); }

std::wstring Numbered_Files::Current_Path(int number) const {
    const std::wstring path = Path_Of(number);
    if (!File_Exists(path) && File_Exists(Journal_Path()) && File_Exists(Stage_Path(number))) return Stage_Path(number);
    return path;
}

std::wstring Numbered_Files::Journal_Path() const { return Path_Join(folder_, L"~" + prefix_ + L".journal"); }

std::wstring Numbered_Files::Stage_Path(int number) const {
    return Path_Join(folder_, L"~" + prefix_ + std::to_wstring(number) + L".stage");
}

std::wstring Numbered_Files::Drop_Path(int number) const {
    return Path_Join(folder_, L"~" + prefix_ + std::to_wstring(number) + L".drop");
}

// Only the names the store itself writes: "Kotei7.txt", "Kotei0007.txt" or "Text30.txt" are some other
// file, which is neither read nor touched.
bool Numbered_Files::Parse(std::wstring_view name, int& number) const {
    if (name.size() < prefix_.size() + extension_.size() + static_cast<std::size_t>(digits_)) return false;
    const std::wstring_view digits = name.substr(prefix_.size(), name.size() - prefix_.size() - extension_.size());
    if (digits.size() > 9 || (exact_digits_ && digits.size() != static_cast<std::size_t>(digits_))) return false;
    int n = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') return false;
        n = n * 10 + (c - L'0');
    }
    if (n > highest_ || !Same_File_Name(name, Name_Of(n))) return false;
    number = n;
    return true;
}

std::vector<Numbered_File> Numbered_Files::List() const {
    std::vector<Numbered_File> files;
    for (const Dir_Entry& e : Dir_Search_Files(folder_, L"*" + extension_)) {
        int number = 0;
        if (Parse(e.Name, number)) files.push_back({number, e.Name});
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const Numbered_File& a, const Numbered_File& b) { return a.Number < b.Number; });
    return files;
}

bool Numbered_Files::Step() {
    if (!stopped_ && Before_Step && !Before_Step()) stopped_ = true;
    return !stopped_;
}

std::vector<Numbered_File> Numbered_Files::Load() {
    stopped_ = false;
    Remove_Write_Leftovers(folder_);
    std::vector<std::wstring> failed;
    if (File_Exists(Journal_Path())) (void)Finish_Journal(failed);
    return List();
}

void Numbered_Files::Block(const std::wstring& path, std::vector<std::wstring>& failed) {
    blocked_.push_back(path);
    failed.push_back(path.substr(path.find_last_of(L"\\/") + 1));
}

bool Numbered_Files::Journal_Pending() const { return File_Exists(Journal_Path()); }

std::vector<std::wstring> Numbered_Files::Waiting_Files() const {
    std::vector<std::wstring> paths;
    for (const Dir_Entry& e : Dir_Search_Files(folder_, L"~" + prefix_ + L"*.tmp"))
        paths.push_back(Path_Join(folder_, e.Name));
    return paths;
}

std::wstring Numbered_Files::Write_Waiting(std::string_view bytes) {
    // The time of the write and a counter: the names sort in the order the entries came. Pictures are
    // written from a thread of their own while a save may write on the window's: the counter is shared.
    static std::atomic<unsigned> counter{0};
    const auto ticks =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    wchar_t name[64];
    std::swprintf(name, 64, L"%016llX-%06u.tmp", static_cast<unsigned long long>(ticks), (++counter) % 1000000);
    const std::wstring path = Path_Join(folder_, L"~" + prefix_ + name);
    if (File_Exists(path) || !Write_Binary_File(path, bytes, false).Ok) return {};
    return path;
}

std::wstring Numbered_Files::Set_Aside(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    const std::wstring stem = dot == std::wstring::npos ? name : name.substr(0, dot);
    const std::wstring ext = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
    for (int n = 1; n < 1000; ++n) {
        const std::wstring aside =
            Path_Join(folder, stem + L"_読めないファイル" + (n > 1 ? L"(" + std::to_wstring(n) + L")" : L"") + ext);
        if (File_Exists(aside)) continue;
        return Move_File(path, aside, false) ? aside : std::wstring();
    }
    return {};
}

bool Numbered_Files::Finish_Journal(std::vector<std::wstring>& failed) {
    const auto bytes = Read_Binary_File(Journal_Path(), Max_Journal_Bytes);
    if (!bytes) {
        failed.push_back(L"~" + prefix_ + L".journal");
        return false;
    }
    auto journal = Parse_Journal(*bytes);
    if (!journal) {
        // Not one of ours: left alone, and nothing moved on its word.
        failed.push_back(L"~" + prefix_ + L".journal");
        return false;
    }
    auto aside_path = [&](const Journal_Line& l) { return l.Kind == 'M' ? Stage_Path(l.Number) : Drop_Path(l.Number); };
    if (!journal->Renamed_Aside) {
        // First every file that moves or goes to a name of its own, so that no number is taken while
        // its file is still needed.
        for (const Journal_Line& l : journal->Lines) {
            const std::wstring source = Path_Join(folder_, l.Source);
            const std::wstring aside = aside_path(l);
            if (File_Exists(aside) || !File_Exists(source)) continue;  // done already, or gone meanwhile
            if (!Step()) return false;
            if (Move_File(source, aside, false)) continue;
            failed.push_back(l.Source);
            // Held by another program: the old set comes back, and the save is made later.
            bool back_all = true;
            for (const Journal_Line& u : journal->Lines) {
                if (!File_Exists(aside_path(u))) continue;
                if (!Step()) return false;
                // A file someone else made meanwhile under one of the store's own names gives way.
                if (!Move_File(aside_path(u), Path_Join(folder_, u.Source), true)) back_all = false;
            }
            // A file that could not go back keeps the journal, so that the next start tries again.
            if (back_all && Step() && !Delete_If_Present(Journal_Path()))
                failed.push_back(L"~" + prefix_ + L".journal");
            return false;
        }
        journal->Renamed_Aside = true;
        if (!Step()) return false;
        if (!Write_Binary_File(Journal_Path(), Journal_Bytes(*journal)).Ok) {
            failed.push_back(L"~" + prefix_ + L".journal");
            return false;
        }
    }
    bool ok = true;
    for (const Journal_Line& l : journal->Lines) {
        if (l.Kind != 'M' || !File_Exists(Stage_Path(l.Number))) continue;
        if (!Step()) return false;
        if (!Move_File(Stage_Path(l.Number), Path_Of(l.Number), true)) {
            failed.push_back(Name_Of(l.Number));
            ok = false;
        }
    }
    if (!ok) return false;  // the journal stays: the next save or start completes it
    for (const Journal_Line& l : journal->Lines) {
        if (l.Kind != 'D' || !File_Exists(Drop_Path(l.Number))) continue;
        if (!Step()) return false;
        if (!Delete_If_Present(Drop_Path(l.Number))) failed.push_back(Name_Of(l.Number));
    }
    if (!Step()) return false;
    if (!Delete_If_Present(Journal_Path())) failed.push_back(L"~" + prefix_ + L".journal");
    return true;
}

std::vector<std::wstring> Numbered_Files::Write(std::vector<Numbered_Entry>& entries) {
    stopped_ = false;
    blocked_.clear();
    std::vector<std::wstring> failed;
    auto result = [&] {
        if (stopped_ && failed.empty()) failed.push_back(L"");
        return failed;
    };
    if (File_Exists(Journal_Path()) && !Finish_Journal(failed)) return result();

    std::set<int> on_disk;
    for (const Numbered_File& f : List()) on_disk.insert(f.Number);
    std::set<int> claimed;
    std::vector<std::wstring> unchecked;
    // The scratch files this save wrote, and where their entries were before: a save that cannot be
    // begun takes them back.
    struct Written {
        std::size_t Entry;
        int File;
        std::wstring Waiting;
    };
    std::vector<Written> written;
    for (Numbered_Entry& e : entries) {
        if (e.File >= 0 && !on_disk.count(e.File)) e.File = -1;  // removed behind the program's back
        if (!e.Waiting.empty() && !File_Exists(e.Waiting)) e.Waiting.clear();
        if (e.File >= 0 && (claimed.count(e.File) || e.File > highest_)) e.File = -1;
        // A file someone else replaced since it was read or written is written again from memory.
        if (e.File >= 0 && !e.Changed && !e.Bytes.empty()) {
            const Binary_Read read = Read_Binary(Path_Of(e.File), e.Bytes.size());
            if (read.Opened && read.Bytes != e.Bytes) e.Changed = true;
            // Held by someone else: it cannot be checked now, so the save is not done until it can.
            if (!read.Opened) unchecked.push_back(Name_Of(e.File));
        }
        if (e.File < 0 && e.Waiting.empty()) e.Changed = true;
        if (e.Changed && !e.Bytes.empty()) {
            if (!Step()) return result();
            std::wstring waiting = Write_Waiting(e.Bytes);
            if (waiting.empty()) {
                failed.push_back(L"~" + prefix_ + L"….tmp");
                continue;
            }
            written.push_back({static_cast<std::size_t>(&e - entries.data()), e.File, e.Waiting});
            e.File = -1;  // its old file goes when the save is made
            e.Waiting = std::move(waiting);
            e.Changed = false;
        }
        if (e.File >= 0) claimed.insert(e.File);
    }
    if (!failed.empty()) return result();

    Journal journal;
    int place = 0;
    std::set<int> kept, moving;
    for (Numbered_Entry& e : entries) {
        if (e.File < 0 && e.Waiting.empty()) continue;  // nothing holds it any more
        if (place > highest_) break;
        if (e.File == place) {
            kept.insert(place);
        } else if (e.File >= 0) {
            journal.Lines.push_back({'M', Name_Of(e.File), place});
            moving.insert(e.File);
        } else {
            journal.Lines.push_back({'M', e.Waiting.substr(e.Waiting.find_last_of(L"\\/") + 1), place});
        }
        ++place;
    }
    // The file of an entry beyond the places goes as well: a file is never replaced in place, so that
    // one that cannot be removed stops the save before it begins.
    for (int n : on_disk)
        if (!kept.count(n) && !moving.count(n)) journal.Lines.push_back({'D', Name_Of(n), n});

    if (!journal.Lines.empty()) {
        for (const Journal_Line& l : journal.Lines) {
            // A name of the change already taken (what an older program left) would be taken for done:
            // a file that was to be deleted anyway goes first; any other blocks the save, kept and named.
            const std::wstring aside = l.Kind == 'M' ? Stage_Path(l.Number) : Drop_Path(l.Number);
            if (File_Exists(aside) && (l.Kind == 'M' || !Delete_If_Present(aside))) Block(aside, failed);
            // A file the user marked read-only cannot be deleted; the save would stop half way, so it
            // is not begun. The mark is the user's: it stays.
            if (l.Kind == 'D' && Is_Read_Only(Path_Join(folder_, l.Source)))
                Block(Path_Join(folder_, l.Source), failed);
        }
        if (!failed.empty()) {
            for (const Written& w : written) {
                Numbered_Entry& e = entries[w.Entry];
                (void)Delete_If_Present(e.Waiting);
                e.File = w.File;
                e.Waiting = w.Waiting;
                e.Changed = true;
            }
            return result();
        }
        if (!Step()) return result();
        if (!Write_Binary_File(Journal_Path(), Journal_Bytes(journal)).Ok) {
            failed.push_back(L"~" + prefix_ + L".journal");
            return result();
        }
        if (!Finish_Journal(failed) && (stopped_ || !File_Exists(Journal_Path()))) return result();
    }
    // Decided: what the journal did not finish yet, the next save or start does.
    int at = 0;
    for (Numbered_Entry& e : entries) {
        if ((e.File < 0 && e.Waiting.empty()) || at > highest_) {
            e.File = -1;
            e.Waiting.clear();
            continue;
        }
        e.File = at++;
        e.Waiting.clear();
        e.Changed = false;
    }
    failed.insert(failed.end(), unchecked.begin(), unchecked.end());
    return result();
}

void Remove_Write_Leftovers(const std::wstring& folder) {
    for (const Dir_Entry& e : Dir_Search_Files(folder, L"cd~*.tmp")) (void)Delete_If_Present(Path_Join(folder, e.Name));
}

std::vector<std::pair<int, std::wstring>> Numbered_Files::Load_Newest_First() {
    const std::vector<Numbered_File> files = Load();
    std::vector<std::wstring> waiting = Waiting_Files();
    std::vector<std::pair<int, std::wstring>> sources;
    for (auto w = waiting.rbegin(); w != waiting.rend(); ++w) sources.emplace_back(-1, std::move(*w));
    for (const Numbered_File& f : files) sources.emplace_back(f.Number, Path_Of(f.Number));
    return sources;
}
