#pragma once
// The fixed strings ("固定文字列"): text snippets the user keeps for repeated pasting, in list order,
// and their folder of files Kotei000.txt, Kotei001.txt, … (the number is the entry's place).
#include <optional>
#include <string>
#include <vector>

#include "numbered_files.h"

struct Fixed_Strings {
    std::vector<std::wstring> Kotei_Data;  // full text of each entry, line breaks as CR LF
    int Kotei_Max = -1;                    // highest index in use; -1 when there is none
    int Kotei_Index = -1;                  // entry selected on the set-up screen; -1 when none

    // At most this many entries are made by hand (the files are numbered with three digits).
    static constexpr int Kotei_Limit = 1000;

    // The line a list shows for entry i: its first non-empty line (empty when all its lines are).
    std::wstring Lst_AddItem_Kotei(int i) const;

    // A new entry "新規文字列" at the end, selected. False when the list is full.
    bool New();
    // Deletes the selected entry; the one that followed it is selected, or the one before when the
    // last was deleted, or none when no entry is left. False when nothing was selected.
    bool Delete();
    // Exchanges the selected entry with its neighbour (step -1 up, +1 down), which becomes selected.
    bool Move(int step);
    // Sorts by the whole text, UTF-16 code unit by code unit (order 0 ascending, 1 descending); no
    // entry is selected afterwards.
    void Sort(int order);

    // Loads the folder's Kotei files (Kotei000.txt to Kotei999.txt) in the order of their numbers,
    // skipping blank ones, then the entries a stopped save left waiting in scratch files. A file held by
    // another program keeps its place, its text unknown this run; a file that cannot be read is renamed
    // aside (see Moved_Aside). Writes them back at once when they are not in place.
    void Load(const std::wstring& folder);
    bool Loaded() const { return !loaded_folder_.empty(); }
    // Brings the folder in line with the entries, entry i in the i-th Kotei file (see Numbered_Files).
    // The paths of the files that could not be written or moved; then the folder keeps the old set and
    // the changes stay pending (Pending) for the next save. Writes nothing into a folder it did not load.
    std::vector<std::wstring> Write(const std::wstring& folder);
    // A save failed and the files do not hold the table yet.
    bool Pending() const { return pending_; }
    // The files the last load found unreadable and renamed aside (full paths).
    std::vector<std::wstring> Moved_Aside;

    // For tests: see Numbered_Files::Before_Step.
    Numbered_Files& Store(const std::wstring& folder);

private:
    // Where each entry's text is on disk, kept through every edit, so that a save moves the files of
    // unchanged entries instead of writing them again.
    struct Kept {
        int File = -1;         // its Kotei file
        std::wstring Waiting;  // else its scratch file
        std::wstring Text;     // what that file holds
        std::string Bytes;     // the same, as the bytes of the file
        bool Known = true;     // false: the file could not be read, Text is not its content
    };
    std::vector<Kept> kept_;
    void Fit_Kept();
    std::optional<Numbered_Files> store_;
    std::wstring loaded_folder_;
    bool incomplete_ = false;  // the load could not complete a save's journal
    bool pending_ = false;
};

// "Kotei" + the index with at least three digits + ".txt".
std::wstring Kotei_File_Name(int index);
