#include "numbered_files.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <utility>

#include "binary_file.h"
#include "dir_search.h"
#include "message_pump.h"
#include "paths.h"

Numbered_Files::Numbered_Files(std::wstring folder, std::wstring prefix, int digits, std::wstring extension,
                               bool exact_digits)
    : folder_(std::move(folder)), prefix_(std::move(prefix)), digits_(digits), extension_(std::move(extension)),
      exact_digits_(exact_digits) {}

std::wstring Numbered_Files::Name_Of(int number) const {
    std::wstring digits = std::to_wstring(number);
    if (digits.size() < static_cast<std::size_t>(digits_)) digits.insert(0, static_cast<std::size_t>(digits_) - digits.size(), L'0');
    return prefix_ + digits + extension_;
}

// Only the names the store itself writes: "Kotei7.txt" or "Kotei0007.txt" are some other file, which
// is neither read nor deleted (it would give a second file of the same number).
bool Numbered_Files::Parse(std::wstring_view name, int& number) const {
    if (name.size() < prefix_.size() + extension_.size() + static_cast<std::size_t>(digits_)) return false;
    const std::wstring_view digits = name.substr(prefix_.size(), name.size() - prefix_.size() - extension_.size());
    if (digits.size() > 9 || (exact_digits_ && digits.size() != static_cast<std::size_t>(digits_))) return false;
    int n = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') return false;
        n = n * 10 + (c - L'0');
    }
    if (!Same_File_Name(name, Name_Of(n))) return false;
    number = n;
    return true;
}

std::vector<Numbered_File> Numbered_Files::Load() {
    pinned_.clear();
    Remove_Write_Leftovers(folder_);
    std::vector<Numbered_File> files;
    for (const Dir_Entry& e : Dir_Search_Files(folder_, L"*" + extension_)) {
        int number = 0;
        if (Parse(e.Name, number)) files.push_back({number, e.Name});
    }
    std::stable_sort(files.begin(), files.end(), [](const Numbered_File& a, const Numbered_File& b) { return a.Number < b.Number; });
    return files;
}

int Numbered_Files::Slot(int index) const {
    int number = index;
    for (int p : pinned_)
        if (p <= number) ++number;
    return number;
}

std::vector<std::wstring> Numbered_Files::Write(std::vector<Numbered_Entry>& entries) {
    std::vector<std::wstring> failed;
    bool stopped = false;
    auto step = [&] {
        if (!stopped && Before_Step && !Before_Step()) stopped = true;
        if (!stopped) Do_Events_Sometimes();
        return !stopped;
    };

    std::set<int> on_disk;
    for (const Dir_Entry& e : Dir_Search_Files(folder_, L"*" + extension_)) {
        int number = 0;
        if (Parse(e.Name, number)) on_disk.insert(number);
    }
    const int n = static_cast<int>(entries.size());
    std::vector<char> done(static_cast<std::size_t>(n), 0);
    // Which entry still needs the file of a number: its content, or its old text until the new one is in place.
    std::map<int, int> holder;
    for (int i = 0; i < n; ++i) {
        Numbered_Entry& e = entries[static_cast<std::size_t>(i)];
        if (e.File >= 0 && !on_disk.count(e.File)) {
            // Removed behind the program's back: what is still in memory is written again, else the entry is gone.
            e.File = -1;
            if (e.Waiting.empty()) {
                if (e.Bytes.empty()) done[static_cast<std::size_t>(i)] = 1;
                e.Changed = true;
            }
        }
        if (e.File >= 0 && !holder.count(e.File)) holder[e.File] = i;
    }

    // Files no entry needs any more go first: nothing depends on them.
    for (int f : std::set<int>(on_disk)) {
        if (Pinned(f) || holder.count(f)) continue;
        if (!step()) break;
        if (Delete_If_Present(Path_Of(f)))
            on_disk.erase(f);
        else
            failed.push_back(Name_Of(f));
    }

    auto free_for = [&](int i, int target) {
        if (!on_disk.count(target)) return true;
        const auto h = holder.find(target);
        return h == holder.end() || h->second == i;
    };
    auto place = [&](int i) {
        Numbered_Entry& e = entries[static_cast<std::size_t>(i)];
        const int target = Slot(i);
        done[static_cast<std::size_t>(i)] = 1;
        if (!e.Changed && e.Waiting.empty() && e.File == target) return;
        if (!step()) return;
        const std::wstring to = Path_Of(target);
        const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
        const bool renamed_file = !e.Changed && e.Waiting.empty();
        bool ok = false;
        if (!e.Waiting.empty())
            ok = MoveFileExW(e.Waiting.c_str(), to.c_str(), flags);
        else if (e.Changed)
            ok = Write_Binary_File(to, e.Bytes).Ok;
        else
            ok = MoveFileExW(Path_Of(e.File).c_str(), to.c_str(), flags);
        if (!ok) {
            failed.push_back(Name_Of(target));
            return;
        }
        const int old = e.File;
        if (old >= 0) {
            holder.erase(old);
            if (renamed_file) on_disk.erase(old);
        }
        holder[target] = i;
        on_disk.insert(target);
        e.File = target;
        e.Changed = false;
        e.Waiting.clear();
        std::string().swap(e.Bytes);
        // The old text of a changed entry, now that the new one is in its place.
        if (old >= 0 && old != target && on_disk.count(old) && !holder.count(old) && !Pinned(old) && step()) {
            if (Delete_If_Present(Path_Of(old)))
                on_disk.erase(old);
            else
                failed.push_back(Name_Of(old));
        }
    };

    bool progress = true;
    while (progress && !stopped) {
        progress = false;
        // From the end: a history that grows at the front moves its files up one by one, each onto the
        // number its neighbour has just left.
        for (int i = n - 1; i >= 0 && !stopped; --i) {
            if (done[static_cast<std::size_t>(i)] || !free_for(i, Slot(i))) continue;
            place(i);
            progress = true;
        }
        if (progress || stopped) continue;
        // What is left waits on an entry whose step failed, or forms cycles (a sort, a swap). One file of
        // a cycle is parked beyond every number in use, so that it is read last, not lost, if the save
        // stops here; a chain that ends at a failed entry stays as it is.
        for (int i = 0; i < n && !progress; ++i) {
            if (done[static_cast<std::size_t>(i)]) continue;
            int cur = i;
            bool cycle = false;
            for (int hops = 0; hops <= n; ++hops) {
                const auto h = holder.find(Slot(cur));
                if (h == holder.end() || done[static_cast<std::size_t>(h->second)]) break;
                if (h->second == i) {
                    cycle = true;
                    break;
                }
                cur = h->second;
            }
            if (!cycle) continue;
            const int target = Slot(i);
            const int j = holder[target];
            int park = std::max(on_disk.empty() ? 0 : *on_disk.rbegin(), Slot(n - 1)) + 1;
            while (Pinned(park)) ++park;
            if (!step()) break;
            if (MoveFileExW(Path_Of(target).c_str(), Path_Of(park).c_str(), MOVEFILE_WRITE_THROUGH)) {
                on_disk.erase(target);
                on_disk.insert(park);
                holder.erase(target);
                holder[park] = j;
                entries[static_cast<std::size_t>(j)].File = park;
            } else {
                failed.push_back(Name_Of(target));
                done[static_cast<std::size_t>(j)] = 1;  // stays where it is; the rest of its cycle is blocked
            }
            progress = true;
        }
    }
    for (int i = 0; i < n; ++i)
        if (!done[static_cast<std::size_t>(i)]) failed.push_back(Name_Of(Slot(i)));
    if (stopped && failed.empty()) failed.push_back(L"");
    return failed;
}

void Remove_Write_Leftovers(const std::wstring& folder) {
    for (const Dir_Entry& e : Dir_Search_Files(folder, L"cd~*.tmp")) DeleteFileW(Path_Join(folder, e.Name).c_str());
}
