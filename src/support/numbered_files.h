#pragma once
// A folder of numbered files that together hold one ordered list: Kotei000.txt …, Text00.txt …,
// Pic00.bmp …. The list is the files read in number order; entry i is written to the i-th free number.
// The rules that keep what the user stored live here once:
// - a file that cannot be read is pinned: left as it is, where it is, for the whole run, and its
//   number is skipped by the writer (it is never taken for an empty entry);
// - a save moves files by renaming, each only onto a number that nothing still needed occupies, so
//   that whatever step it stops at, the files read in number order still give every stored entry in
//   its order (a reordering such as a sort may come back half done, but nothing twice or missing);
// - a file is deleted only when no entry needs it, or once its entry's new text is in its new place;
// - the temporary files of its own atomic writes that a crash left behind are removed at load.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

struct Numbered_File {
    int Number = 0;
    std::wstring Name;
};

// Where an entry's content comes from at a save.
struct Numbered_Entry {
    int File = -1;         // the numbered file that holds it now (-1: none)
    bool Changed = false;  // its content is Bytes, not what File holds
    std::string Bytes;     // new content, written when Changed
    std::wstring Waiting;  // else a scratch file that holds it, renamed into place at the save
};

class Numbered_Files {
public:
    // Names are prefix + the number with at least `digits` digits + extension, prefix and extension in
    // any letter case. With exact_digits the number has exactly `digits` digits ("Text07.txt").
    Numbered_Files(std::wstring folder, std::wstring prefix, int digits, std::wstring extension, bool exact_digits);

    const std::wstring& Folder() const { return folder_; }
    std::wstring Name_Of(int number) const;
    std::wstring Path_Of(int number) const { return folder_ + L"\\" + Name_Of(number); }

    // The store's files in number order; leftovers of interrupted atomic writes are removed first.
    // Clears the pins of the previous load.
    std::vector<Numbered_File> Load();
    // The file of that number could not be read: it is left alone for this run.
    void Pin(int number) { pinned_.insert(number); }
    bool Pinned(int number) const { return pinned_.count(number) != 0; }
    // The number entry i is written to: the i-th number that is not pinned.
    int Slot(int index) const;

    // Brings the folder in line with the entries, entry i into Slot(i); files of the store that no
    // entry needs are deleted. Each entry's File afterwards names where its content is (its old file
    // when its step failed). The names of the files that could not be written, moved or deleted;
    // empty when everything is in place.
    std::vector<std::wstring> Write(std::vector<Numbered_Entry>& entries);

    // For tests: called before every step that changes the folder; returning false stops the save
    // there, as if the program had been ended at that moment.
    std::function<bool()> Before_Step;

private:
    bool Parse(std::wstring_view name, int& number) const;

    std::wstring folder_;
    std::wstring prefix_;
    int digits_;
    std::wstring extension_;
    bool exact_digits_;
    std::set<int> pinned_;
};

// Removes the temporary files that an atomic write ended mid-way left in the folder.
void Remove_Write_Leftovers(const std::wstring& folder);
