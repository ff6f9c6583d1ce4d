#pragma once
// The run's last pastes, so that the newest can be taken back: Excel empties its own undo list when a
// program changes the sheet. For each paste it keeps the sheet and the cells it wrote as Excel's
// objects (never by name: a sheet the user renames keeps its pastes), what the cells held before (their
// values, and their formulas where they held any: one read each for the whole block) and the values
// the paste left, the widths its columns had, the pictures it added and the cell it started from. A
// paste the user has changed since is not taken back. Clear() lets go of the objects before Excel is
// let go.
//
//     journal.Begin(excel, rows, columns);  // before the paste writes: reads what it will overwrite
//     ... paste from journal.Start_Cell() ...
//     journal.Picture_Added(selection);     // a picture: Excel's selection after its paste
//     journal.End(pasted, before, after);   // reads what the paste left; nothing is kept when it failed
//     ... the active cell moved on ...
//     journal.Step_Done();                  // a take-back may run again
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "excel_session.h"

class Paste_Journal {
public:
    static constexpr std::size_t Max_Pastes = 30;

    enum class Take_Back { Nothing, Done, Changed, Failed };

    // A paste begins at the active cell and writes the block of rows x columns cells from it (no rows:
    // none, a picture alone).
    void Begin(const Excel_Session& excel, long rows, long columns = 1);
    // The active cell the open paste begins at, for the paste itself (nothing when it is not known).
    Automation_Object Start_Cell() const { return open_ ? open_->Start : Automation_Object(); }
    // Excel's selection after a picture's paste is that picture: selection is Excel's Selection then.
    void Picture_Added(const Automation_Object& selection);
    // The picture of the open paste carries this step number.
    void Picture_Numbered(int number);
    // The widths of the block's columns, from the left, before and after the paste widened them (none:
    // not widened).
    void End(bool pasted, std::vector<double> widths_before = {}, std::vector<double> widths_after = {});
    // As End, for copies that waited together and were written in one block along a row or down a
    // column: each cell is a paste of its own, taken back one at a time, newest first. A column widened
    // for all of them goes back to its width with the first of them.
    void End_Each(bool pasted, std::vector<double> widths_before = {}, std::vector<double> widths_after = {});
    // The paste step is over, its cell move included: from Begin to here no take-back runs.
    void Step_Done() { pasting_ = false; }
    // Work on the sheet that is no paste (a new sheet) holds take-backs back until Step_Done, as a paste does.
    void Begin_Other_Work() { pasting_ = true; }
    bool Pasting() const { return pasting_ || open_.has_value(); }
    // Forgets every paste (a new run).
    void Clear();
    bool Empty() const { return pastes_.empty(); }
    // Told whenever a paste is kept, taken back or dropped, or the journal is cleared (a button that
    // offers the take-back follows Empty()).
    void On_Change(std::function<void()> changed) { changed_ = std::move(changed); }

    // Takes back the newest paste: the cells get what they held (a block in one write), the columns
    // their old widths, its pictures are deleted and the active cell returns to where it started.
    // Pastes whose sheet was deleted are dropped on the way, without a word. Changed when the user has
    // altered a cell it wrote or deleted its picture: nothing is touched then, and the paste stays
    // until Drop_Refused. Nothing while a paste or another take-back is being made.
    Take_Back Take_Back_Last(const Excel_Session& excel);
    // Drops the paste the last take-back refused, when it is still the newest, leaving the sheet as it
    // is: the ones before it can be taken back.
    void Drop_Refused();
    // The step number of the picture the last take-back took back; 0 when it had none.
    int Taken_Back_Number() const { return taken_back_number_; }

private:
    struct Paste {
        unsigned long long Id = 0;
        Automation_Object Sheet;
        // The cell it started from and its block; for a cell of a block written together, found from
        // the block's first cell (Origin) when it is taken back.
        Automation_Object Start, Cells, Origin;
        long Row = 0, Column = 0;  // its place in that block
        long Rows = 0, Columns = 1;
        std::vector<Variant> Before, After;  // row by row
        std::vector<std::wstring> Formulas;  // row by row, "" for a constant; none: no formula at all
        std::vector<double> Widths_Before, Widths_After;
        std::vector<Automation_Object> Pictures;  // as Excel selected each after its paste
        int Number = 0;                           // the step number its picture carries; 0: none
    };
    // Failed: nothing touched; Incomplete: a write failed on the way.
    enum class Restored { Done, Changed, Failed, Incomplete, Sheet_Gone };

    void Keep(Paste paste);
    void Changed() const;
    Restored Restore(const Excel_Session& excel, Paste& paste) const;

    std::optional<Paste> open_;
    std::deque<Paste> pastes_;
    bool pasting_ = false;
    bool taking_back_ = false;
    unsigned long long next_id_ = 1;
    unsigned long long refused_ = 0;
    unsigned long long clears_ = 0;
    int taken_back_number_ = 0;
    std::function<void()> changed_;
    // The session of the open paste, for reading what it left.
    const Excel_Session* excel_ = nullptr;
};
