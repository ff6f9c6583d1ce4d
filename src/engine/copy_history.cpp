#include "copy_history.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "binary_file.h"
#include "dir_search.h"
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
    if (!store_ || store_->Folder() != Folder) store_.emplace(Folder, L"Text", 2, L".txt", true, Rireki_Size - 1);
    return *store_;
}

void Text_History::Load() {
    Rireki_Text.fill(std::wstring());
    bytes_.fill(std::string());
    file_.fill(-1);
    waiting_.fill(std::wstring());
    unread_.fill(false);
    Rireki_Text_Count = -1;
    Rireki_Text_Dirty = false;
    Moved_Aside.clear();
    Numbered_Files& store = Store();
    // Texts a run took but did not save are the newest of all.
    const std::vector<std::pair<int, std::wstring>> sources = store.Load_Newest_First();
    bool in_order = true;
    for (const auto& [number, path] : sources) {
        if (Rireki_Text_Count >= Rireki_Size - 1) {
            in_order = false;  // beyond the places: the oldest, which the save lets go
            if (number < 0) (void)Delete_If_Present(path);
            continue;
        }
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
        if (!held && Is_Blank_Text(text)) {
            in_order = false;
            continue;
        }
        const std::size_t i = static_cast<std::size_t>(++Rireki_Text_Count);
        Rireki_Text[i] = std::move(text);
        // A file read and not changed is kept byte for byte, whatever form its text is in.
        if (!held) bytes_[i] = std::move(*read.Bytes);
        unread_[i] = held;
        if (number >= 0)
            file_[i] = number;
        else
            waiting_[i] = path;
        if (number != static_cast<int>(i)) in_order = false;
    }
    // Part of it still under the names of a save that could not finish: saving this would lose that part.
    loaded_ = !store.Journal_Pending();
    if (!in_order && !Write()) Rireki_Text_Dirty = true;  // made at the next save moment
}

bool Text_History::Add(const std::wstring& text) {
    if (Is_Blank_Text(text)) return false;
    Rireki_Text_Dirty = true;
    // The oldest of a full history falls out; a scratch file of its own goes with it.
    if (Rireki_Text_Count == Rireki_Size - 1 && !waiting_[Rireki_Size - 1].empty())
        (void)Delete_If_Present(waiting_[Rireki_Size - 1]);
    if (Rireki_Text_Count < Rireki_Size - 1) ++Rireki_Text_Count;
    if (Rireki_Text_Count > 0) {
        std::move_backward(Rireki_Text.begin(), Rireki_Text.end() - 1, Rireki_Text.end());
        std::move_backward(bytes_.begin(), bytes_.end() - 1, bytes_.end());
        std::move_backward(file_.begin(), file_.end() - 1, file_.end());
        std::move_backward(waiting_.begin(), waiting_.end() - 1, waiting_.end());
        std::move_backward(unread_.begin(), unread_.end() - 1, unread_.end());
    }
    Rireki_Text[0] = text;
    bytes_[0] = Encode_Text_File(text);
    file_[0] = -1;
    unread_[0] = false;
    // Without a scratch file the text is kept in memory and written at the save.
    waiting_[0] = Folder.empty() ? std::wstring() : Store().Write_Waiting(bytes_[0]);
    return true;
}

bool Text_History::Add_All(const std::vector<std::wstring>& texts) {
    std::size_t first = texts.size();
    for (int kept = 0; first > 0 && kept < Rireki_Size;) kept += Is_Blank_Text(texts[--first]) ? 0 : 1;
    bool added = false;
    for (std::size_t i = first; i < texts.size(); ++i) added = Add(texts[i]) || added;
    return added;
}

bool Text_History::Write() {
    if (!loaded_) return true;  // nothing read, nothing to replace
    std::vector<Numbered_Entry> entries(static_cast<std::size_t>(Rireki_Text_Count + 1));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].File = file_[i];
        entries[i].Waiting = waiting_[i];
        // What the file must hold: checked before it is kept, written when no file holds it.
        if (!unread_[i]) entries[i].Bytes = bytes_[i];
    }
    Numbered_Files& store = Store();
    const bool ok = store.Write(entries).empty();
    Blocked = store.Blocked();
    // Entries that nothing holds any more (a file of unknown text removed by someone else) are gone.
    int kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].File < 0 && entries[i].Waiting.empty() && entries[i].Bytes.empty()) continue;
        const std::size_t k = static_cast<std::size_t>(kept++);
        if (k != i) Rireki_Text[k] = std::move(Rireki_Text[i]);
        if (k != i) bytes_[k] = std::move(bytes_[i]);
        unread_[k] = unread_[i];
        file_[k] = entries[i].File;
        waiting_[k] = entries[i].Waiting;
    }
    for (int i = kept; i <= Rireki_Text_Count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        Rireki_Text[k].clear();
        bytes_[k].clear();
        unread_[k] = false;
        file_[k] = -1;
        waiting_[k].clear();
    }
    Rireki_Text_Count = kept - 1;
    return ok;
}

void Text_History::Drop_Waiting() {
    for (const std::wstring& w : waiting_)
        if (!w.empty()) (void)Delete_If_Present(w);
    Load();
}

// --- Pictures ---

namespace {

Numbered_Files Picture_Files(const std::wstring& folder) {
    return Numbered_Files(folder, L"Pic", 2, L".bmp", true, Rireki_Size - 1);
}

}  // namespace

Numbered_Files& Picture_History::Store() {
    if (!store_ || store_->Folder() != Folder) store_.emplace(Picture_Files(Folder));
    return *store_;
}

Picture_Entry Make_Picture_Entry(const Bitmap_Image& picture, int thumbnail_side, const std::wstring& folder) {
    Picture_Entry entry;
    if (picture.Width <= 0 || picture.Height <= 0) return entry;  // nothing to keep or to show
    entry.Empty = false;
    entry.Width = picture.Width;
    entry.Height = picture.Height;
    entry.Thumbnail = Thumbnail_Of(picture, thumbnail_side);
    // The full picture waits on disk, not in memory, until the save renames it into place; a program
    // that ends before then finds it at its next start.
    std::string bytes = Encode_Bmp_File(picture);
    entry.Spill = folder.empty() ? std::wstring() : Picture_Files(folder).Write_Waiting(bytes);
    if (entry.Spill.empty()) entry.Bytes = std::move(bytes);
    return entry;
}

void Picture_History::Put(Picture_Entry entry) {
    if (entry.Empty) return;
    Rireki_Pic_Dirty = true;
    // The oldest of a full history falls out; a scratch file of its own goes with it.
    Picture_Entry& last = Rireki_Pic[Rireki_Size - 1];
    if (Rireki_Pic_Count == Rireki_Size - 1 && !last.Spill.empty()) (void)Delete_If_Present(last.Spill);
    if (Rireki_Pic_Count < Rireki_Size - 1) ++Rireki_Pic_Count;
    if (Rireki_Pic_Count > 0) std::move_backward(Rireki_Pic.begin(), Rireki_Pic.end() - 1, Rireki_Pic.end());
    Rireki_Pic[0] = std::move(entry);
}

void Picture_History::Load(const std::function<void()>& progress) {
    for (Picture_Entry& e : Rireki_Pic) e = Picture_Entry();
    Rireki_Pic_Count = -1;
    Rireki_Pic_Dirty = false;
    Moved_Aside.clear();
    Numbered_Files& store = Store();
    // Pictures a run took but did not save are the newest of all.
    const std::vector<std::pair<int, std::wstring>> sources = store.Load_Newest_First();
    std::vector<Picture_Entry> found;
    bool in_order = true;
    for (const auto& [number, path] : sources) {
        if (found.size() >= Rireki_Size) {
            in_order = false;  // beyond the places: the oldest, which the save lets go
            if (number < 0) (void)Delete_If_Present(path);
            continue;
        }
        const Binary_Read read = Read_Binary(path, Max_Bitmap_File_Bytes);
        const auto image = read.Bytes ? Decode_Bmp_File(*read.Bytes) : std::nullopt;
        Picture_Entry entry;  // held by another program for a moment: it keeps its place, unseen
        if (image) {
            entry.Empty = false;
            entry.Width = image->Width;
            entry.Height = image->Height;
            entry.Thumbnail = Thumbnail_Of(*image, Thumbnail_Side);
        } else if (read.Opened) {
            // Damaged, cut short or no picture at all: kept under another name, out of the numbers.
            const std::wstring aside = store.Set_Aside(path);
            if (!aside.empty()) Moved_Aside.push_back(aside);
            in_order = false;
            continue;
        }
        if (number >= 0)
            entry.File = number;
        else
            entry.Spill = path;
        if (number != static_cast<int>(found.size())) in_order = false;
        found.push_back(std::move(entry));
        if (progress) progress();
    }
    for (std::size_t i = 0; i < found.size(); ++i) Rireki_Pic[i] = std::move(found[i]);
    Rireki_Pic_Count = static_cast<int>(found.size()) - 1;
    // Part of it still under the names of a save that could not finish: saving this would lose that part.
    loaded_ = !store.Journal_Pending();
    if (!in_order && !Write()) Rireki_Pic_Dirty = true;  // made at the next save moment
}

bool Picture_History::Write() {
    if (!loaded_) return true;  // nothing read, nothing to replace
    std::vector<Numbered_Entry> entries(static_cast<std::size_t>(Rireki_Pic_Count + 1));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Picture_Entry& p = Rireki_Pic[i];
        entries[i].File = p.File;
        entries[i].Waiting = p.File < 0 ? p.Spill : std::wstring();
        if (p.File < 0 && p.Spill.empty()) entries[i].Bytes = p.Bytes;
    }
    Numbered_Files& store = Store();
    const bool ok = store.Write(entries).empty();
    Blocked = store.Blocked();
    // Entries whose file went missing (removed by someone else) are gone; the rest move up.
    int kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Picture_Entry& p = Rireki_Pic[i];
        if (entries[i].File < 0 && entries[i].Waiting.empty() && entries[i].Bytes.empty()) continue;
        p.File = entries[i].File;
        p.Spill = entries[i].Waiting;
        if (p.File >= 0 || !p.Spill.empty()) std::string().swap(p.Bytes);
        if (static_cast<int>(i) != kept) Rireki_Pic[static_cast<std::size_t>(kept)] = std::move(p);
        ++kept;
    }
    for (int i = kept; i <= Rireki_Pic_Count; ++i) Rireki_Pic[static_cast<std::size_t>(i)] = Picture_Entry();
    Rireki_Pic_Count = kept - 1;
    return ok;
}

void Picture_History::Drop_Waiting() {
    int kept = 0;
    for (int i = 0; i <= Rireki_Pic_Count; ++i) {
        Picture_Entry& p = Rireki_Pic[static_cast<std::size_t>(i)];
        if (p.File < 0) {
            if (!p.Spill.empty()) (void)Delete_If_Present(p.Spill);
            continue;
        }
        if (i != kept) Rireki_Pic[static_cast<std::size_t>(kept)] = std::move(p);
        ++kept;
    }
    for (int i = kept; i <= Rireki_Pic_Count; ++i) Rireki_Pic[static_cast<std::size_t>(i)] = Picture_Entry();
    Rireki_Pic_Count = kept - 1;
    Rireki_Pic_Dirty = false;
}

std::optional<Bitmap_Image> Picture_History::Picture(int index) const {
    if (index < 0 || index > Rireki_Pic_Count) return std::nullopt;
    const Picture_Entry& entry = Rireki_Pic[static_cast<std::size_t>(index)];
    if (!entry.Bytes.empty()) return Decode_Bmp_File(entry.Bytes);
    const std::wstring path = !entry.Spill.empty()        ? entry.Spill
                              : entry.File >= 0 && store_ ? store_->Current_Path(entry.File)
                                                          : std::wstring();
    if (path.empty()) return std::nullopt;
    const auto bytes = Read_Binary_File(path, Max_Bitmap_File_Bytes);
    return bytes ? Decode_Bmp_File(*bytes) : std::nullopt;
}
