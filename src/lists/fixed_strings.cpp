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

// "Kotei" in any letter case: file names ignore case, so kotei001.txt is the file that Kotei001.txt
// would be written to.
bool Is_Kotei_Name(const std::wstring& name) {
    return name.size() >= 5 && Same_File_Name(name.substr(0, 5), L"Kotei");
}

// The number in a Kotei file's name; names beyond the range count as beyond every entry.
long long Number_Of(const std::wstring& name) {
    const double n = Number_In_Text(name).To_Double();
    return n > 1e9 ? 1'000'000'000 : n < -1e9 ? -1'000'000'000 : static_cast<long long>(std::floor(n));
}

// The name an entry's own file has: "Kotei.txt" or "Kotei-1.txt" is a Kotei file, but no entry's.
bool Is_Own_Name(const std::wstring& name) {
    const long long number = Number_Of(name);
    return number >= 0 && number < 1'000'000'000 && Same_File_Name(name, Kotei_File_Name(static_cast<int>(number)));
}

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

bool Fixed_Strings::New() {
    if (Kotei_Max + 1 >= Kotei_Limit) return false;
    ++Kotei_Max;
    if (Kotei_Data.size() < static_cast<std::size_t>(Kotei_Max) + 1) Kotei_Data.resize(static_cast<std::size_t>(Kotei_Max) + 1);
    Kotei_Data[static_cast<std::size_t>(Kotei_Max)] = New_Entry_Text;
    Kotei_Index = Kotei_Max;
    return true;
}

bool Fixed_Strings::Delete() {
    if (Kotei_Max < 0 || Kotei_Index < 0 || Kotei_Index > Kotei_Max) return false;
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
    Kotei_Index = other;
    return true;
}

void Fixed_Strings::Sort(int order) {
    Kotei_Index = -1;
    if (Kotei_Max < 0) return;
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
}

void Fixed_Strings::Load(const std::wstring& folder) {
    Kotei_Max = -1;
    Kotei_Index = -1;
    taken_foreign_.clear();
    // Only the program's own files: another text file in the folder is not a fixed string.
    std::vector<Dir_Entry> files = Dir_Search_Files(folder, L"*.txt");
    std::erase_if(files, [](const Dir_Entry& f) { return !Is_Kotei_Name(f.Name); });
    // By number, so that Kotei1000.txt follows Kotei999.txt (by name it would come after Kotei100.txt).
    std::stable_sort(files.begin(), files.end(),
                     [](const Dir_Entry& a, const Dir_Entry& b) { return Number_Of(a.Name) < Number_Of(b.Name); });
    bool in_order = true;
    for (const Dir_Entry& file : files) {
        std::wstring text = Get_File_To_Buffer1(Path_Join(folder, file.Name), false).Text;
        Do_Events_Sometimes();
        if (Is_Blank_Text(text)) continue;
        ++Kotei_Max;
        if (Kotei_Data.size() < static_cast<std::size_t>(Kotei_Max) + 1) Kotei_Data.resize(static_cast<std::size_t>(Kotei_Max) + 1);
        Kotei_Data[static_cast<std::size_t>(Kotei_Max)] = std::move(text);
        if (Number_Of(file.Name) != Kotei_Max) in_order = false;
        if (!Is_Own_Name(file.Name)) taken_foreign_.push_back(file.Name);
    }
    if (!files.empty() && !in_order) (void)Write(folder);
}

std::vector<std::wstring> Fixed_Strings::Write(const std::wstring& folder) {
    std::vector<std::wstring> failed;
    for (int i = 0; i <= Kotei_Max; ++i) {
        const std::wstring path = Path_Join(folder, Kotei_File_Name(i));
        if (!Write_Text_File(path, Kotei_Data[static_cast<std::size_t>(i)]).Ok) failed.push_back(path);
        Do_Events_Sometimes();
    }
    auto remove = [&](const std::wstring& name) {
        const std::wstring path = Path_Join(folder, name);
        if (!Delete_If_Present(path)) failed.push_back(path);
    };
    const bool all_written = failed.empty();
    for (const Dir_Entry& file : Dir_Search_Files(folder, L"*.txt"))
        if (Is_Kotei_Name(file.Name) && Number_Of(file.Name) > Kotei_Max) remove(file.Name);
    // Their texts live in the entries' own files only when every one of those was written.
    if (all_written) {
        for (const std::wstring& name : taken_foreign_) remove(name);
        taken_foreign_.clear();
    }
    return failed;
}
