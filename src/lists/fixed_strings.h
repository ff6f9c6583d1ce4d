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

    // Loads the folder's Kotei files in the order of their numbers, skipping blank ones; a file that
    // cannot be read is left as it is for this run. Writes them back at once when their numbers had gaps.
    void Load(const std::wstring& folder);
    // Brings the folder in line with the entries, entry i in the i-th Kotei file (see Numbered_Files):
    // no file is deleted before its text is in its new place. The paths of the files that could not
    // be written, moved or deleted; they keep their old content.
    std::vector<std::wstring> Write(const std::wstring& folder);

    // For tests: see Numbered_Files::Before_Step.
    Numbered_Files& Store(const std::wstring& folder);

private:
    // What each numbered file held at the last load or save, so that a save moves the files of
    // unchanged entries instead of writing them again.
    struct On_Disk {
        int File = -1;
        std::wstring Text;
    };
    std::vector<On_Disk> on_disk_;
    // For each entry, the on_disk_ record it came from (-1: a new entry), kept through every edit, so
    // that a save knows which file holds an edited entry's old text.
    std::vector<int> origin_;
    void Fit_Origins();
    std::optional<Numbered_Files> store_;
};

// "Kotei" + the index with at least three digits + ".txt".
std::wstring Kotei_File_Name(int index);
