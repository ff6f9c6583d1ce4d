#pragma once
// A folder of numbered files that together hold one ordered list: Kotei000.txt …, Text00.txt …,
// Pic00.bmp …. Entry i lives in the file numbered i. The rules that keep what the user stored live
// here once:
// - only names the store itself writes, numbered 0 to its highest number, are its files; every other
//   name in the folder is never read, moved or deleted;
// - an entry not saved yet waits in a scratch file of its own ("~Text….tmp"); a start takes in what
//   a stopped program left waiting;
// - a save first puts every new content into a scratch file, then writes a journal of the whole
//   change, then renames: every file that moves or goes first to a name of its own, then each into
//   its new number. A stop at any step leaves either the old set, or a journal that the next load or
//   save completes (new set). A step that fails before the journal is complete undoes the renames
//   done so far, so that a failed save leaves the old set and can be made again later;
// - before a file is kept as it is, it is compared with the content it should hold, so that a file
//   replaced by someone else between two saves is written again from memory;
// - a file that cannot be read is moved aside once, to a name that says why, never deleted.
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct Numbered_File {
    int Number = 0;
    std::wstring Name;
};

// Where an entry's content comes from at a save.
struct Numbered_Entry {
    int File = -1;         // the numbered file that holds it now (-1: none)
    std::wstring Waiting;  // else the scratch file that holds it
    std::string Bytes;     // its content, when known: written when no file holds it, and compared with File
    bool Changed = false;  // its content is Bytes, not what File holds
};

class Numbered_Files {
public:
    // Names are prefix + the number with at least `digits` digits + extension, prefix and extension in
    // any letter case, numbered 0 to highest. With exact_digits the number has exactly `digits`
    // digits ("Text07.txt").
    Numbered_Files(std::wstring folder, std::wstring prefix, int digits, std::wstring extension, bool exact_digits,
                   int highest);

    const std::wstring& Folder() const { return folder_; }
    int Highest() const { return highest_; }
    std::wstring Name_Of(int number) const;
    std::wstring Path_Of(int number) const;
    // Where the file of that number is now: its own name, or the name a save that could not finish
    // left it under (the next save or start puts it in place).
    std::wstring Current_Path(int number) const;

    // Completes a save that a stop left with its journal, then lists the store's files in number order.
    std::vector<Numbered_File> Load();
    // A save's journal is still waiting to be completed (a file it moves is held by another program):
    // the files listed are not the whole collection, which must then not be saved from this load.
    bool Journal_Pending() const;
    // The paths of the scratch files entries wait in, oldest first.
    std::vector<std::wstring> Waiting_Files() const;
    // What a history takes in at its start, newest first: the scratch files a stopped run left waiting
    // (number -1), then the numbered files of Load() in number order; each with its path.
    std::vector<std::pair<int, std::wstring>> Load_Newest_First();
    // A new scratch file holding the bytes; empty when it could not be written.
    std::wstring Write_Waiting(std::string_view bytes);
    // Renames a file that cannot be read to a name the store does not number and that says why; the
    // new path, empty when it could not be renamed.
    std::wstring Set_Aside(const std::wstring& path);

    // Brings the folder in line with the entries, entry i into file i (entries with no content left
    // anywhere are left out, and get File -1 and no Waiting). Files of the store that no entry needs
    // are deleted. On success every entry's File is its place; on failure the folder holds the old
    // set and each entry still names where its content is. The names of the files that could not be
    // written or moved; empty when everything is in place.
    std::vector<std::wstring> Write(std::vector<Numbered_Entry>& entries);
    // The files that kept the last Write from being begun at all, by their full paths: a file marked
    // read-only that the save would delete, or a leftover of an older program that cannot be deleted.
    // Such a save stays undone until the user lifts the mark; trying again changes nothing.
    const std::vector<std::wstring>& Blocked() const { return blocked_; }

    // For tests: called before every step that changes the folder; returning false stops the save
    // there, as if the program had been ended at that moment.
    std::function<bool()> Before_Step;

private:
    bool Parse(std::wstring_view name, int& number) const;
    std::vector<Numbered_File> List() const;
    bool Step();
    std::wstring Journal_Path() const;
    std::wstring Stage_Path(int number) const;
    std::wstring Drop_Path(int number) const;
    // Makes the change its journal holds; false when a step failed or the save was stopped.
    bool Finish_Journal(std::vector<std::wstring>& failed);
    void Block(const std::wstring& path, std::vector<std::wstring>& failed);

    std::wstring folder_;
    std::wstring prefix_;
    int digits_;
    std::wstring extension_;
    bool exact_digits_;
    int highest_;
    bool stopped_ = false;
    std::vector<std::wstring> blocked_;
};

// Removes the temporary files that an atomic write ended mid-way left in the folder.
void Remove_Write_Leftovers(const std::wstring& folder);
