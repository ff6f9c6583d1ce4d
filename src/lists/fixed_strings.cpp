#include "fixed_strings.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "binary_file.h"
#include "dir_search.h"
#include "memory_sort.h"
#include "message_box.h"
#include "paths.h"
#include "text.h"
#include "text_file.h"
#include "ui_text.h"

std::wstring Kotei_File_Name(int index) {
    std::wstring digits = std::to_wstring(index);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), L'0');
    return L"Kotei" + digits + L".txt";
}

std::wstring Fixed_Strings::Lst_AddItem_Kotei(int i) const {
    if (i < 0 || i > Kotei_Max || static_cast<std::size_t>(i) >= Kotei_Data.size()) return {};
    for (const std::wstring& line : Str_Split(Kotei_Data[static_cast<std::size_t>(i)], Get_CrLf()))
        if (!line.empty()) return line;
    return {};
}

void Fixed_Strings::Fit_Kept() { kept_.resize(static_cast<std::size_t>(Kotei_Max + 1)); }

bool Fixed_Strings::New() {
    if (Kotei_Max + 1 >= Kotei_Limit) return false;
    Fit_Kept();
    kept_.emplace_back();
    ++Kotei_Max;
    if (Kotei_Data.size() < static_cast<std::size_t>(Kotei_Max) + 1)
        Kotei_Data.resize(static_cast<std::size_t>(Kotei_Max) + 1);
    Kotei_Data[static_cast<std::size_t>(Kotei_Max)] = Ui_Text(Text_Id::New_Fixed_Text);
    Kotei_Index = Kotei_Max;
    return true;
}

bool Fixed_Strings::Delete() {
    if (Kotei_Max < 0 || Kotei_Index < 0 || Kotei_Index > Kotei_Max) return false;
    Fit_Kept();
    // A text that waited for a save that could not be made goes with its entry.
    if (const std::wstring& waiting = kept_[static_cast<std::size_t>(Kotei_Index)].Waiting; !waiting.empty())
        (void)Delete_If_Present(waiting);
    kept_.erase(kept_.begin() + Kotei_Index);
    Kotei_Data.erase(Kotei_Data.begin() + Kotei_Index);
    Kotei_Data.emplace_back();  // the table keeps its size
    --Kotei_Max;
    if (Kotei_Index > Kotei_Max) Kotei_Index = Kotei_Max;
    return true;
}

bool Fixed_Strings::Move(int step) {
    const int other = Kotei_Index + step;
    if (Kotei_Max < 0 || Kotei_Index < 0 || Kotei_Index > Kotei_Max || other < 0 || other > Kotei_Max) return false;
    std::swap(Kotei_Data[static_cast<std::size_t>(Kotei_Index)], Kotei_Data[static_cast<std::size_t>(other)]);
    Fit_Kept();
    std::swap(kept_[static_cast<std::size_t>(Kotei_Index)], kept_[static_cast<std::size_t>(other)]);
    Kotei_Index = other;
    return true;
}

void Fixed_Strings::Sort(int order) {
    Kotei_Index = -1;
    if (Kotei_Max < 0) return;
    Fit_Kept();
    std::vector<Kept> before = std::move(kept_);
    std::vector<std::wstring> texts(Kotei_Data.begin(), Kotei_Data.begin() + Kotei_Max + 1);
    Memory_Sort sort;
    sort.Sort_Init();
    for (int i = 0; i <= Kotei_Max; ++i) {
        sort.Sort_Record_Clear();
        sort.Sort_Key[0] = Kotei_Data[static_cast<std::size_t>(i)];
        sort.Sort_Record_Store();
    }
    if (const std::wstring problem = sort.Sort_Execute(); !problem.empty()) Show_Message(problem);
    for (int k = 0; k <= sort.Sort_Max(); ++k)
        Kotei_Data[static_cast<std::size_t>(order == 0 ? k : Kotei_Max - k)] = sort.Sort_Keys_Out(k, 0);
    sort.Sort_Erase();
    // Each text takes the file of an entry of the same text: equal texts are interchangeable.
    kept_.assign(static_cast<std::size_t>(Kotei_Max + 1), Kept());
    std::vector<char> used(before.size(), 0);
    for (int i = 0; i <= Kotei_Max; ++i)
        for (std::size_t b = 0; b < before.size(); ++b)
            if (!used[b] && texts[b] == Kotei_Data[static_cast<std::size_t>(i)]) {
                used[b] = 1;
                kept_[static_cast<std::size_t>(i)] = std::move(before[b]);
                break;
            }
}

Numbered_Files& Fixed_Strings::Store(const std::wstring& folder) {
    if (!store_ || store_->Folder() != folder) store_.emplace(folder, L"Kotei", 3, L".txt", false, Kotei_Limit - 1);
    return *store_;
}

void Fixed_Strings::Load(const std::wstring& folder) {
    Kotei_Max = -1;
    Kotei_Index = -1;
    kept_.clear();
    Moved_Aside.clear();
    pending_ = false;
    Numbered_Files& store = Store(folder);
    std::vector<std::pair<int, std::wstring>> sources;
    for (const Numbered_File& file : store.Load()) sources.emplace_back(file.Number, store.Path_Of(file.Number));
    // What a stopped save had not put in place yet comes after them: nothing is lost, and the user
    // sees it again.
    for (std::wstring& w : store.Waiting_Files()) sources.emplace_back(-1, std::move(w));
    bool in_order = true;
    for (const auto& [number, path] : sources) {
        Binary_Read read = Read_Binary(path, Max_Text_File_Bytes);
        const bool held = !read.Opened;  // held by another program for a moment: it keeps its place
        // Cut short, too large, or bytes that are no text (reading them would put "・" in their place
        // and the next save would write that): kept under another name, out of the numbers.
        if (!held && (!read.Bytes || !Is_Text_File(*read.Bytes))) {
            const std::wstring aside = store.Set_Aside(path);
            if (!aside.empty()) Moved_Aside.push_back(aside);
            in_order = false;
            continue;
        }
        std::wstring text = held ? std::wstring() : Decode_Text_File(*read.Bytes);
        std::string bytes = held ? std::string() : std::move(*read.Bytes);
        if (!held && Is_Blank_Text(text)) {
            in_order = false;
            continue;
        }
        if (Kotei_Max + 1 >= Kotei_Limit) break;
        ++Kotei_Max;
        if (Kotei_Data.size() < static_cast<std::size_t>(Kotei_Max) + 1)
            Kotei_Data.resize(static_cast<std::size_t>(Kotei_Max) + 1);
        Kotei_Data[static_cast<std::size_t>(Kotei_Max)] = text;
        if (number != Kotei_Max) in_order = false;
        kept_.push_back(number >= 0 ? Kept{number, {}, std::move(text), std::move(bytes), !held}
                                    : Kept{-1, path, std::move(text), std::move(bytes), !held});
    }
    loaded_folder_ = folder;
    // Part of it still under the names of a save that could not finish: saving this would lose that part.
    incomplete_ = store.Journal_Pending();
    if (!in_order) (void)Write(folder);
}

std::vector<std::wstring> Fixed_Strings::Write(const std::wstring& folder) {
    if (folder != loaded_folder_) return {};  // never read from there: what is there stays
    Numbered_Files& store = Store(folder);
    if (incomplete_) {
        pending_ = true;
        return {Path_Join(folder, L"~Kotei.journal")};
    }
    Fit_Kept();
    const std::size_t count = static_cast<std::size_t>(Kotei_Max + 1);
    std::vector<Numbered_Entry> entries(count);
    std::vector<char> changed(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const Kept& k = kept_[i];
        changed[i] = Kotei_Data[i] != k.Text || (k.File < 0 && k.Waiting.empty());
        entries[i].File = k.File;
        entries[i].Waiting = k.Waiting;
        entries[i].Changed = changed[i] != 0;
        // What the file must hold: checked before it is kept, written when it changed. A file read and
        // not changed keeps its bytes exactly, whatever form its text is in.
        if (changed[i])
            entries[i].Bytes = Encode_Text_File(Kotei_Data[i]);
        else if (k.Known)
            entries[i].Bytes = k.Bytes;
    }
    std::vector<std::wstring> failed;
    for (const std::wstring& name : store.Write(entries))
        if (!name.empty()) failed.push_back(Path_Join(folder, name));
    pending_ = !failed.empty();

    // Entries that nothing holds any more (a file of unknown text removed by someone else) are gone.
    std::size_t out = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (entries[i].File < 0 && entries[i].Waiting.empty() && entries[i].Bytes.empty()) continue;
        Kept k = std::move(kept_[i]);
        k.File = entries[i].File;
        k.Waiting = entries[i].Waiting;
        if (changed[i] && !entries[i].Changed) {  // its new text is on disk
            k.Text = Kotei_Data[i];
            k.Bytes = entries[i].Bytes;
            k.Known = true;
        }
        kept_[out] = std::move(k);
        if (out != i) Kotei_Data[out] = std::move(Kotei_Data[i]);
        ++out;
    }
    kept_.resize(out);
    Kotei_Max = static_cast<int>(out) - 1;
    if (Kotei_Index > Kotei_Max) Kotei_Index = Kotei_Max;
    return failed;
}
