#include "copy_history.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "binary_file.h"
#include "dir_search.h"
#include "message_pump.h"
#include "paths.h"
#include "text.h"
#include "text_file.h"

namespace {

// A bitmap file beyond the largest picture taken in is not read at all.
constexpr std::uint64_t Max_Bitmap_File_Bytes = static_cast<std::uint64_t>(Max_Picture_Pixels) * 4 + 4096;

// The number of a history file: prefix, two digits, extension ("Text07.txt" is 7). Other files in
// the folder are not the history's: they are never taken in, so never renumbered or deleted.
std::optional<int> Rireki_File_Number(std::wstring_view name, std::wstring_view prefix, std::wstring_view extension) {
    if (name.size() != prefix.size() + 2 + extension.size()) return std::nullopt;
    if (!Same_File_Name(name.substr(0, prefix.size()), prefix) ||
        !Same_File_Name(name.substr(prefix.size() + 2), extension))
        return std::nullopt;
    const wchar_t tens = name[prefix.size()], ones = name[prefix.size() + 1];
    if (tens < L'0' || tens > L'9' || ones < L'0' || ones > L'9') return std::nullopt;
    return (tens - L'0') * 10 + (ones - L'0');
}

}  // namespace

std::wstring Rireki_File_Name(const wchar_t* prefix, int index, const wchar_t* extension) {
    wchar_t digits[3] = {static_cast<wchar_t>(L'0' + index / 10 % 10), static_cast<wchar_t>(L'0' + index % 10), 0};
    return std::wstring(prefix) + digits + extension;
}

// --- Texts ---

bool Text_History::Add(const std::wstring& text) {
    if (Is_Blank_Text(text)) return false;
    Rireki_Text_Dirty = true;
    if (Rireki_Text_Count < Rireki_Size - 1) ++Rireki_Text_Count;
    if (Rireki_Text_Count > 0) std::move_backward(Rireki_Text.begin(), Rireki_Text.end() - 1, Rireki_Text.end());
    Rireki_Text[0] = text;
    return true;
}

std::wstring Text_History::Lst_AddItem_RirekiText(int index) const {
    if (index < 0 || index >= Rireki_Size) return {};
    for (const std::wstring& line : Str_Split(Rireki_Text[static_cast<std::size_t>(index)], Get_CrLf()))
        if (!line.empty()) return line;
    return {};
}

void Text_History::Load() {
    Rireki_Text.fill(std::wstring());
    Rireki_Text_Count = -1;
    surplus_taken_.clear();
    bool in_order = true;
    for (const Dir_Entry& file : Dir_Search_Files(Folder, L"*.txt")) {
        const auto number = Rireki_File_Number(file.Name, L"Text", L".txt");
        if (!number) continue;
        if (Rireki_Text_Count >= Rireki_Size - 1) break;
        // A file that cannot be read counts as blank.
        std::wstring text = Get_File_To_Buffer1(Path_Join(Folder, file.Name), false).Text;
        if (Is_Blank_Text(text)) continue;
        Rireki_Text[static_cast<std::size_t>(++Rireki_Text_Count)] = std::move(text);
        if (*number != Rireki_Text_Count) in_order = false;
        if (*number >= Rireki_Size) surplus_taken_.push_back(*number);
    }
    if (!in_order) (void)Write();
}

bool Text_History::Write() {
    bool ok = true;
    for (int i = 0; i < Rireki_Size; ++i) {
        const std::wstring path = Path_Join(Folder, Rireki_File_Name(L"Text", i, L".txt"));
        if (i <= Rireki_Text_Count)
            ok = Write_Text_File(path, Rireki_Text[static_cast<std::size_t>(i)]).Ok && ok;
        else
            ok = Delete_If_Present(path) && ok;
        Do_Events();
    }
    // Their texts have places of their own now.
    if (ok) {
        for (int number : surplus_taken_) (void)Delete_If_Present(Path_Join(Folder, Rireki_File_Name(L"Text", number, L".txt")));
        surplus_taken_.clear();
    }
    return ok;
}

// --- Pictures ---

std::wstring Picture_History::Path_Of(int index) const { return Path_Join(Folder, Rireki_File_Name(L"Pic", index, L".bmp")); }

void Picture_History::Add(const Bitmap_Image& picture) {
    Rireki_Pic_Dirty = true;
    // The oldest of a full history falls out; a scratch file of its own goes with it.
    Picture_Entry& last = Rireki_Pic[Rireki_Size - 1];
    if (Rireki_Pic_Count == Rireki_Size - 1 && !last.Spill.empty()) DeleteFileW(last.Spill.c_str());
    if (Rireki_Pic_Count < Rireki_Size - 1) ++Rireki_Pic_Count;
    if (Rireki_Pic_Count > 0) std::move_backward(Rireki_Pic.begin(), Rireki_Pic.end() - 1, Rireki_Pic.end());

    Picture_Entry entry;
    entry.Empty = false;
    entry.Width = picture.Width;
    entry.Height = picture.Height;
    entry.Thumbnail = Thumbnail_Of(picture, Thumbnail_Side);
    // The full picture waits on disk, not in memory, until the save renames it into place.
    std::string bytes = Encode_Bmp_File(picture);
    static unsigned spill_number = 0;
    const std::wstring spill = Path_Join(Folder, L"~Pic" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                                     std::to_wstring(++spill_number) + L".tmp");
    if (Write_Binary_File(spill, bytes, false).Ok)
        entry.Spill = spill;
    else
        entry.Bytes = std::move(bytes);
    Rireki_Pic[0] = std::move(entry);
}

void Picture_History::Load() {
    for (Picture_Entry& e : Rireki_Pic) e = Picture_Entry();
    Rireki_Pic_Count = -1;
    // Scratch files of a run that ended before its save.
    for (const Dir_Entry& file : Dir_Search_Files(Folder, L"~Pic*.tmp")) DeleteFileW(Path_Join(Folder, file.Name).c_str());

    bool in_order = true;
    for (const Dir_Entry& file : Dir_Search_Files(Folder, L"*.bmp")) {
        const auto number = Rireki_File_Number(file.Name, L"Pic", L".bmp");
        if (!number) continue;
        if (Rireki_Pic_Count >= Rireki_Size - 1) break;
        Picture_Entry& entry = Rireki_Pic[static_cast<std::size_t>(++Rireki_Pic_Count)];
        entry.File = *number;
        const auto bytes = Read_Binary_File(Path_Of(*number), Max_Bitmap_File_Bytes);
        if (const auto image = bytes ? Decode_Bmp_File(*bytes) : std::nullopt) {
            entry.Empty = false;
            entry.Width = image->Width;
            entry.Height = image->Height;
            entry.Thumbnail = Thumbnail_Of(*image, Thumbnail_Side);
        }
        if (*number != Rireki_Pic_Count) in_order = false;
        Do_Events();
    }
    if (!in_order) (void)Write();
}

bool Picture_History::Move_Into_Place(int index, int& failures) {
    Picture_Entry& entry = Rireki_Pic[static_cast<std::size_t>(index)];
    // The file in that place may still hold another entry's picture (a rename that failed earlier).
    for (int k = 0; k <= Rireki_Pic_Count; ++k) {
        if (k != index && Rireki_Pic[static_cast<std::size_t>(k)].File == index) {
            ++failures;
            return false;
        }
    }
    const std::wstring target = Path_Of(index);
    bool placed = false;
    if (entry.File >= 0) {
        placed = MoveFileExW(Path_Of(entry.File).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    } else if (!entry.Spill.empty()) {
        placed = MoveFileExW(entry.Spill.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (placed) entry.Spill.clear();
    } else if (!entry.Bytes.empty()) {
        placed = Write_Binary_File(target, entry.Bytes).Ok;
        if (placed) std::string().swap(entry.Bytes);
    }
    if (placed)
        entry.File = index;
    else
        ++failures;
    Do_Events();
    return placed;
}

bool Picture_History::Write() {
    int failures = 0;
    auto at = [this](int i) -> Picture_Entry& { return Rireki_Pic[static_cast<std::size_t>(i)]; };
    // Files that move to a lower number go first, from the front; files that move up next, from the
    // end (Pic28 to Pic29 before Pic27 to Pic28): no file is replaced before its picture has moved on.
    for (int i = 0; i <= Rireki_Pic_Count; ++i)
        if (at(i).File > i) Move_Into_Place(i, failures);
    for (int i = Rireki_Pic_Count; i >= 0; --i)
        if (at(i).File >= 0 && at(i).File < i) Move_Into_Place(i, failures);
    for (int i = 0; i <= Rireki_Pic_Count; ++i)
        if (at(i).File < 0 && !at(i).Empty) Move_Into_Place(i, failures);
    for (int i = Rireki_Pic_Count + 1; i < Rireki_Size; ++i) {
        bool needed = false;
        for (int k = 0; k <= Rireki_Pic_Count; ++k) needed = needed || at(k).File == i;
        if (needed || !Delete_If_Present(Path_Of(i))) ++failures;
    }
    return failures == 0;
}

std::optional<Bitmap_Image> Picture_History::Picture(int index) const {
    if (index < 0 || index > Rireki_Pic_Count) return std::nullopt;
    const Picture_Entry& entry = Rireki_Pic[static_cast<std::size_t>(index)];
    if (entry.Empty) return std::nullopt;
    if (!entry.Bytes.empty()) return Decode_Bmp_File(entry.Bytes);
    const std::wstring path = !entry.Spill.empty() ? entry.Spill : entry.File >= 0 ? Path_Of(entry.File) : std::wstring();
    if (path.empty()) return std::nullopt;
    const auto bytes = Read_Binary_File(path, Max_Bitmap_File_Bytes);
    return bytes ? Decode_Bmp_File(*bytes) : std::nullopt;
}
