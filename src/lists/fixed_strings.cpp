#include "fixed_strings.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "binary_file.h"
#include "dir_search.h"
#include "memory_sort.h"
#include "message_pump.h"
#include "paths.h"
#include "text.h"
#include "text_file.h"

namespace {

constexpr wchar_t New_Entry_Text[] = L"新規文字列";

}  // namespace

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

void Fixed_Strings::Fit_Origins() { origin_.resize(static_cast<std::size_t>(Kotei_Max + 1), -1); }

bool Fixed_Strings::New() {
    if (Kotei_Max + 1 >= Kotei_Limit) return false;
    Fit_Origins();
    origin_.push_back(-1);
    ++Kotei_Max;
    if (Kotei_Data.size() < static_cast<std::size_t>(Kotei_Max) + 1) Kotei_Data.resize(static_cast<std::size_t>(Kotei_Max) + 1);
    Kotei_Data[static_cast<std::size_t>(Kotei_Max)] = New_Entry_Text;
    Kotei_Index = Kotei_Max;
    return true;
}

bool Fixed_Strings::Delete() {
    if (Kotei_Max < 0 || Kotei_Index < 0 || Kotei_Index > Kotei_Max) return false;
    Fit_Origins();
    origin_.erase(origin_.begin() + Kotei_Index);
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
    Fit_Origins();
    std::swap(origin_[static_cast<std::size_t>(Kotei_Index)], origin_[static_cast<std::size_t>(other)]);
    Kotei_Index = other;
    return true;
}

void Fixed_Strings::Sort(int order) {
    Kotei_Index = -1;
    if (Kotei_Max < 0) return;
    Fit_Origins();
    std::vector<std::pair<std::wstring, int>> before;
    for (int i = 0; i <= Kotei_Max; ++i) before.emplace_back(Kotei_Data[static_cast<std::size_t>(i)], origin_[static_cast<std::size_t>(i)]);
    Memory_Sort sort;
    sort.Sort_Init();
    for (int i = 0; i <= Kotei_Max; ++i) {
        sort.Sort_Record_Clear();
        sort.Sort_Key[0] = Kotei_Data[static_cast<std::size_t>(i)];
        sort.Sort_Record_Store();
    }
    sort.Sort_Execute();
    for (int k = 0; k <= sort.Sort_Max(); ++k)
        Kotei_Data[static_cast<std::size_t>(order == 0 ? k : Kotei_Max - k)] = sort.Sort_Keys_Out(k, 0);
    sort.Sort_Erase();
    // Each text takes the origin of an entry of the same text: equal texts are interchangeable.
    std::vector<char> used(before.size(), 0);
    for (int i = 0; i <= Kotei_Max; ++i) {
        int& origin = origin_[static_cast<std::size_t>(i)];
        origin = -1;
        for (std::size_t b = 0; b < before.size() && origin < 0; ++b)
            if (!used[b] && before[b].first == Kotei_Data[static_cast<std::size_t>(i)]) used[b] = 1, origin = before[b].second;
    }
}

Numbered_Files& Fixed_Strings::Store(const std::wstring& folder) {
    if (!store_ || store_->Folder() != folder) store_.emplace(folder, L"Kotei", 3, L".txt", false);
    return *store_;
}

void Fixed_Strings::Load(const std::wstring& folder) {
    Kotei_Max = -1;
    Kotei_Index = -1;
    on_disk_.clear();
    origin_.clear();
    Numbered_Files& store = Store(folder);
    bool in_order = true;
    for (const Numbered_File& file : store.Load()) {
        File_Text read = Get_File_To_Buffer1(store.Path_Of(file.Number), false);
        Do_Events_Sometimes();
        if (!read.Complete) {
            store.Pin(file.Number);  // locked or too large: never taken for blank
            continue;
        }
        if (Is_Blank_Text(read.Text)) {
            in_order = false;
            continue;
        }
        ++Kotei_Max;
        if (Kotei_Data.size() < static_cast<std::size_t>(Kotei_Max) + 1) Kotei_Data.resize(static_cast<std::size_t>(Kotei_Max) + 1);
        Kotei_Data[static_cast<std::size_t>(Kotei_Max)] = read.Text;
        if (file.Number != store.Slot(Kotei_Max)) in_order = false;
        origin_.push_back(static_cast<int>(on_disk_.size()));
        on_disk_.push_back({file.Number, std::move(read.Text)});
    }
    if (!in_order) (void)Write(folder);
}

std::vector<std::wstring> Fixed_Strings::Write(const std::wstring& folder) {
    Numbered_Files& store = Store(folder);
    const std::size_t count = static_cast<std::size_t>(Kotei_Max + 1);
    std::vector<Numbered_Entry> entries(count);
    std::vector<int> source(count, -1);  // the on_disk_ record an entry's file comes from
    std::vector<char> claimed(on_disk_.size(), 0);
    auto claim = [&](std::size_t i, std::size_t k) {
        claimed[k] = 1;
        source[i] = static_cast<int>(k);
        entries[i].File = on_disk_[k].File;
    };
    Fit_Origins();
    // An entry keeps the file it came from: moved when unchanged, else written anew while the file of
    // its old text stays until then. Entries set up without a load take a file of the same text.
    for (std::size_t i = 0; i < count; ++i)
        if (origin_[i] >= 0 && static_cast<std::size_t>(origin_[i]) < on_disk_.size() && !claimed[static_cast<std::size_t>(origin_[i])])
            claim(i, static_cast<std::size_t>(origin_[i]));
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t k = 0; k < on_disk_.size() && source[i] < 0 && origin_[i] < 0; ++k)
            if (!claimed[k] && on_disk_[k].Text == Kotei_Data[i]) claim(i, k);
    for (std::size_t i = 0; i < count; ++i) {
        entries[i].Bytes = Encode_Text_File(Kotei_Data[i]);
        entries[i].Changed = source[i] < 0 || on_disk_[static_cast<std::size_t>(source[i])].Text != Kotei_Data[i];
    }
    std::vector<std::wstring> failed;
    for (const std::wstring& name : store.Write(entries))
        if (!name.empty()) failed.push_back(Path_Join(folder, name));

    std::vector<On_Disk> now;
    for (std::size_t i = 0; i < count; ++i) {
        origin_[i] = -1;
        if (entries[i].File < 0) continue;
        // A step that failed leaves the entry's old text in its old file.
        origin_[i] = static_cast<int>(now.size());
        now.push_back({entries[i].File, entries[i].Changed ? on_disk_[static_cast<std::size_t>(source[i])].Text : Kotei_Data[i]});
    }
    on_disk_ = std::move(now);
    return failed;
}
