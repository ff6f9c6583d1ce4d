#pragma once
// The copy history: the 30 newest texts and the 30 newest pictures the paste loop captured, newest
// first, and their folders of files (Text00.txt … Text29.txt, Pic00.bmp … Pic29.bmp; the number is
// the entry's place). Only thumbnails of the pictures stay in memory: a full picture lives in its
// file, or, until the next save, in a scratch file of its own.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bitmap_image.h"
#include "numbered_files.h"

constexpr int Rireki_Size = 30;

// "Text" + two digits + ".txt" and the like: the names of the history files.
std::wstring Rireki_File_Name(const wchar_t* prefix, int index, const wchar_t* extension);

class Text_History {
public:
    Text_History() {
        file_.fill(-1);
        unread_.fill(false);
    }
    std::wstring Folder;  // where Text00.txt … live
    std::array<std::wstring, Rireki_Size> Rireki_Text;
    int Rireki_Text_Count = -1;  // highest used index, -1 when empty
    bool Rireki_Text_Dirty = false;
    // The files a load found unreadable and renamed aside (full paths), for the caller to name once.
    std::vector<std::wstring> Moved_Aside;

    // Puts the text first; the oldest of 30 falls out. False (nothing kept) for a blank text. The text
    // waits in a scratch file of its own until the save, so that a program that ends before then
    // finds it at its next start.
    bool Add(const std::wstring& text);
    // Add for each text, oldest first, but only the newest 30 that are not blank are put in: the
    // older ones would fall out again at once. False when none was kept.
    bool Add_All(const std::vector<std::wstring>& texts);
    // The list line of entry i: its first non-empty line.
    std::wstring Lst_AddItem_RirekiText(int index) const;
    // Loads the texts still waiting in their scratch files (newest first), then the history files in
    // number order, skipping blank ones. A file held by another program keeps its place (its text is
    // not known this run); a file that cannot be read is renamed aside. Saves at once when the files
    // are not in place.
    void Load();
    bool Loaded() const { return loaded_; }
    // Brings the files in line with the entries (see Numbered_Files). False when a step failed: what
    // was stored stays as it was, and the entries stay pending for the next save. Writes nothing
    // before a load: a history not read from its folder would replace the one there.
    bool Write();
    // The files that kept the last save from being begun (see Numbered_Files::Blocked).
    std::vector<std::wstring> Blocked;
    // Gives up the texts that wait for a save that cannot be made (Blocked): their scratch files go,
    // and the history is what its files hold.
    void Drop_Waiting();

    // For tests: see Numbered_Files::Before_Step.
    Numbered_Files& Store();

private:
    std::optional<Numbered_Files> store_;
    bool loaded_ = false;
    std::array<int, Rireki_Size> file_{};            // the history file that holds entry i, -1 when none
    std::array<std::wstring, Rireki_Size> waiting_;  // else its scratch file
    std::array<std::string, Rireki_Size> bytes_;     // what its file holds or is to hold
    std::array<bool, Rireki_Size> unread_{};         // its file could not be read: its text is not known
};

// Where an entry's full picture is kept.
struct Picture_Entry {
    bool Empty = true;  // no picture
    int Width = 0;
    int Height = 0;
    Bitmap_Image Thumbnail;
    int File = -1;       // the history file PicNN.bmp that holds it
    std::wstring Spill;  // else a scratch file of its own in the folder, renamed into place at the save
    std::string Bytes;   // else its bitmap file in memory (the folder refused the scratch file)
};

// The work of a picture entering the history that needs nothing of the history itself: its thumbnail
// and its bitmap file, written to a scratch file of its own in folder (kept in memory when there is no
// folder or it refuses the file). Safe on any thread; an empty entry for an empty picture.
Picture_Entry Make_Picture_Entry(const Bitmap_Image& picture, int thumbnail_side, const std::wstring& folder);

class Picture_History {
public:
    std::wstring Folder;      // where Pic00.bmp … live
    int Thumbnail_Side = 64;  // pixels: the side of a cell of the grid
    std::array<Picture_Entry, Rireki_Size> Rireki_Pic;
    int Rireki_Pic_Count = -1;
    bool Rireki_Pic_Dirty = false;

    void Add(const Bitmap_Image& picture) { Put(Make_Picture_Entry(picture, Thumbnail_Side, Folder)); }
    // Puts an entry made by Make_Picture_Entry first; the oldest of a full history falls out, and a
    // scratch file of its own with it. An empty entry is not put in.
    void Put(Picture_Entry entry);
    std::vector<std::wstring> Moved_Aside;  // as for the texts

    // Loads the pictures still waiting in their scratch files (the program ended before its save),
    // newest first, then the history files in number order. A file held by another program keeps its
    // place; a file that is no picture is renamed aside. Saves at once when the files are not in place.
    // Lets no window message run; progress, when given, is called after each picture is read.
    void Load(const std::function<void()>& progress = {});
    bool Loaded() const { return loaded_; }
    // Brings the files in line with the entries (see Numbered_Files). False when a step failed; what
    // was stored stays as it was, and the history stays pending for the next save. Writes nothing
    // before a load.
    bool Write();
    std::vector<std::wstring> Blocked;  // as for the texts
    void Drop_Waiting();                // as for the texts
    // The full picture of entry i, read back from where it is kept; nothing for an empty picture.
    std::optional<Bitmap_Image> Picture(int index) const;

    // For tests: see Numbered_Files::Before_Step.
    Numbered_Files& Store();

private:
    std::optional<Numbered_Files> store_;
    bool loaded_ = false;
};
