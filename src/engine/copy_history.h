#pragma once
// The copy history: the 30 newest texts and the 30 newest pictures the paste loop captured, newest
// first, and their folders of files (Text00.txt … Text29.txt, Pic00.bmp … Pic29.bmp; the number is
// the entry's place). Only thumbnails of the pictures stay in memory: a full picture lives in its
// file, or, until the next save, in a scratch file of its own.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "bitmap_image.h"

constexpr int Rireki_Size = 30;

// "Text" + two digits + ".txt" and the like: the names of the history files.
std::wstring Rireki_File_Name(const wchar_t* prefix, int index, const wchar_t* extension);

class Text_History {
public:
    std::wstring Folder;  // where Text00.txt … live
    std::array<std::wstring, Rireki_Size> Rireki_Text;
    int Rireki_Text_Count = -1;  // highest used index, -1 when empty
    bool Rireki_Text_Dirty = false;

    // Puts the text first; the oldest of 30 falls out. False (nothing kept) for a blank text.
    bool Add(const std::wstring& text);
    // The list line of entry i: its first non-empty line.
    std::wstring Lst_AddItem_RirekiText(int index) const;
    // Loads the history files in name order, skipping blank ones; renumbers them at once when their
    // numbers had gaps.
    void Load();
    // Writes every entry and deletes the files of unused places. False when a file could not be
    // written or deleted: it stays as it was, and the history stays dirty for the next save.
    bool Write();

private:
    // Files numbered beyond the 30 places that a load took in; deleted once their text is written
    // to its own place, so that it is not taken in again at every load.
    std::vector<int> surplus_taken_;
};

// Where an entry's full picture is kept.
struct Picture_Entry {
    bool Empty = true;  // no picture: its file could not be read
    int Width = 0;
    int Height = 0;
    Bitmap_Image Thumbnail;
    int File = -1;       // the history file PicNN.bmp that holds it
    std::wstring Spill;  // else a scratch file of its own in the folder, renamed into place at the save
    std::string Bytes;   // else its bitmap file in memory (the folder refused the scratch file)
};

class Picture_History {
public:
    std::wstring Folder;      // where Pic00.bmp … live
    int Thumbnail_Side = 64;  // pixels: the side of a cell of the grid
    std::array<Picture_Entry, Rireki_Size> Rireki_Pic;
    int Rireki_Pic_Count = -1;
    bool Rireki_Pic_Dirty = false;

    void Add(const Bitmap_Image& picture);
    // Loads the history files in name order; a file that cannot be read keeps its place as an empty
    // picture. Renumbers them at once when their numbers had gaps.
    void Load();
    // Brings the files in line with the entries: files moved by renaming (from the end, so nothing
    // is overwritten that is still needed), new pictures renamed into place, surplus files deleted.
    // False when a step failed; what it would have replaced stays as it was, and the history stays
    // dirty for the next save.
    bool Write();
    // The full picture of entry i, read back from where it is kept; nothing for an empty picture.
    std::optional<Bitmap_Image> Picture(int index) const;

private:
    std::wstring Path_Of(int index) const;
    // Puts entry index's picture into its own file; counts a failure.
    bool Move_Into_Place(int index, int& failures);
};
