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

}  // namespace

std::wstring Rireki_File_Name(const wchar_t* prefix, int index, const wchar_t* extension) {
    wchar_t digits[3] = {static_cast<wchar_t>(L'0' + index / 10 % 10), static_cast<wchar_t>(L'0' + index % 10), 0};
    return std::wstring(prefix) + digits + extension;
}

// --- Texts ---

std::wstring Text_History::Lst_AddItem_RirekiText(int index) const {
    if (index < 0 || index >= Rireki_Size) return {};
    for (const std::wstring& line : Str_Split(Rireki_Text[static_cast<std::size_t>(index)], Get_CrLf()))
        if (!line.empty()) return line;
    return {};
}

Numbered_Files& Text_History::Store() {
    if (!store_ || store_->Folder() != Folder) store_.emplace(Folder, L"Text", 2, L".txt", true);
    return *store_;
}

void Text_History::Load() {
    Rireki_Text.fill(std::wstring());
    file_.fill(-1);
    Rireki_Text_Count = -1;
    bool in_order = true;
    Numbered_Files& store = Store();
    for (const Numbered_File& file : store.Load()) {
        if (Rireki_Text_Count >= Rireki_Size - 1) {
            in_order = false;  // the oldest beyond the places go at the rewrite
            continue;
        }
        const File_Text read = Get_File_To_Buffer1(store.Path_Of(file.Number), false);
        if (!read.Complete) {
            store.Pin(file.Number);  // never taken for blank: it stays as it is
            continue;
        }
        if (Is_Blank_Text(read.Text)) {
            in_order = false;
            continue;
        }
        ++Rireki_Text_Count;
        Rireki_Text[static_cast<std::size_t>(Rireki_Text_Count)] = read.Text;
        file_[static_cast<std::size_t>(Rireki_Text_Count)] = file.Number;
    }
    for (int i = 0; i <= Rireki_Text_Count; ++i)
        if (file_[static_cast<std::size_t>(i)] != store.Slot(i)) in_order = false;
    if (!in_order) (void)Write();
}

bool Text_History::Add(const std::wstring& text) {
    if (Is_Blank_Text(text)) return false;
    Rireki_Text_Dirty = true;
    if (Rireki_Text_Count < Rireki_Size - 1) ++Rireki_Text_Count;
    if (Rireki_Text_Count > 0) {
        std::move_backward(Rireki_Text.begin(), Rireki_Text.end() - 1, Rireki_Text.end());
        std::move_backward(file_.begin(), file_.end() - 1, file_.end());
    }
    Rireki_Text[0] = text;
    file_[0] = -1;
    return true;
}

bool Text_History::Write() {
    std::vector<Numbered_Entry> entries(static_cast<std::size_t>(Rireki_Text_Count + 1));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].File = file_[i];
        // Kept for a file that went missing; written only then, or for a new text.
        entries[i].Bytes = Encode_Text_File(Rireki_Text[i]);
        entries[i].Changed = file_[i] < 0;
    }
    const bool ok = Store().Write(entries).empty();
    for (std::size_t i = 0; i < entries.size(); ++i) file_[i] = entries[i].File;
    return ok;
}

// --- Pictures ---

Numbered_Files& Picture_History::Store() {
    if (!store_ || store_->Folder() != Folder) store_.emplace(Folder, L"Pic", 2, L".bmp", true);
    return *store_;
}

namespace {

// The entry of a picture read from a file; nothing when the file holds no picture.
std::optional<Picture_Entry> Entry_From(const std::wstring& path, int thumbnail_side) {
    const auto bytes = Read_Binary_File(path, Max_Bitmap_File_Bytes);
    const auto image = bytes ? Decode_Bmp_File(*bytes) : std::nullopt;
    if (!image) return std::nullopt;
    Picture_Entry entry;
    entry.Empty = false;
    entry.Width = image->Width;
    entry.Height = image->Height;
    entry.Thumbnail = Thumbnail_Of(*image, thumbnail_side);
    return entry;
}

}  // namespace

void Picture_History::Add(const Bitmap_Image& picture) {
    if (picture.Width <= 0 || picture.Height <= 0) return;  // nothing to keep or to show
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
    // The full picture waits on disk, not in memory, until the save renames it into place; a program
    // that ends before then finds it at its next start.
    std::string bytes = Encode_Bmp_File(picture);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    static unsigned spill_number = 0;
    wchar_t name[64];
    swprintf(name, 64, L"~Pic%08lX%08lX-%06u.tmp", now.dwHighDateTime, now.dwLowDateTime, ++spill_number % 1000000);
    const std::wstring spill = Path_Join(Folder, name);
    if (Write_Binary_File(spill, bytes, false).Ok)
        entry.Spill = spill;
    else
        entry.Bytes = std::move(bytes);
    Rireki_Pic[0] = std::move(entry);
}

void Picture_History::Load() {
    for (Picture_Entry& e : Rireki_Pic) e = Picture_Entry();
    Rireki_Pic_Count = -1;
    Numbered_Files& store = Store();
    std::vector<Picture_Entry> found;
    // Pictures a run took but did not save, newest first: they are the newest of all.
    std::vector<Dir_Entry> waiting = Dir_Search_Files(Folder, Waiting_Picture_Pattern);
    for (auto w = waiting.rbegin(); w != waiting.rend(); ++w) {
        const std::wstring path = Path_Join(Folder, w->Name);
        auto entry = Entry_From(path, Thumbnail_Side);
        if (entry && found.size() < Rireki_Size) {
            entry->Spill = path;
            found.push_back(std::move(*entry));
        } else {
            DeleteFileW(path.c_str());  // cut short by the end of the program, or beyond the 30 places
        }
        Do_Events();
    }
    bool in_order = found.empty();
    for (const Numbered_File& file : store.Load()) {
        if (found.size() >= Rireki_Size) {
            in_order = false;
            continue;
        }
        auto entry = Entry_From(store.Path_Of(file.Number), Thumbnail_Side);
        if (!entry) {
            store.Pin(file.Number);  // locked, damaged or empty: left as it is
            continue;
        }
        entry->File = file.Number;
        found.push_back(std::move(*entry));
        Do_Events();
    }
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i].File != store.Slot(static_cast<int>(i))) in_order = false;
        Rireki_Pic[i] = std::move(found[i]);
    }
    Rireki_Pic_Count = static_cast<int>(found.size()) - 1;
    if (!in_order) (void)Write();
}

bool Picture_History::Write() {
    std::vector<Numbered_Entry> entries(static_cast<std::size_t>(Rireki_Pic_Count + 1));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Picture_Entry& p = Rireki_Pic[i];
        entries[i].File = p.File;
        entries[i].Waiting = p.File < 0 ? p.Spill : std::wstring();
        entries[i].Changed = p.File < 0 && p.Spill.empty();
        if (entries[i].Changed) entries[i].Bytes = p.Bytes;
    }
    const bool ok = Store().Write(entries).empty();
    // Entries whose file went missing (removed by someone else) are gone; the rest move up.
    int kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Picture_Entry& p = Rireki_Pic[i];
        if (entries[i].File >= 0) {
            p.File = entries[i].File;
            p.Spill.clear();
            std::string().swap(p.Bytes);
        } else if (p.Spill.empty() && p.Bytes.empty()) {
            continue;
        }
        if (static_cast<int>(i) != kept) Rireki_Pic[static_cast<std::size_t>(kept)] = std::move(p);
        ++kept;
    }
    for (int i = kept; i <= Rireki_Pic_Count; ++i) Rireki_Pic[static_cast<std::size_t>(i)] = Picture_Entry();
    Rireki_Pic_Count = kept - 1;
    return ok;
}

std::optional<Bitmap_Image> Picture_History::Picture(int index) const {
    if (index < 0 || index > Rireki_Pic_Count) return std::nullopt;
    const Picture_Entry& entry = Rireki_Pic[static_cast<std::size_t>(index)];
    if (entry.Empty) return std::nullopt;
    if (!entry.Bytes.empty()) return Decode_Bmp_File(entry.Bytes);
    const std::wstring path = !entry.Spill.empty() ? entry.Spill : entry.File >= 0 ? Path_Join(Folder, Rireki_File_Name(L"Pic", entry.File, L".bmp")) : std::wstring();
    if (path.empty()) return std::nullopt;
    const auto bytes = Read_Binary_File(path, Max_Bitmap_File_Bytes);
    return bytes ? Decode_Bmp_File(*bytes) : std::nullopt;
}
