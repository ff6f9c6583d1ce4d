#pragma once
// The run's last pastes, so that the newest can be taken back: Excel empties its own undo list when a
// program changes the sheet. For each paste it keeps the cells it wrote with the values they held
// before (read in one call before the write) and after, the width its column had, the pictures it
// added and the cell it started from. A paste the user has changed since is not taken back. It holds
// Excel's cell objects of its pastes: Clear() lets go of them before Excel is let go.
//
//     journal.Begin(excel, rows, columns);  // before the paste writes: reads what it will overwrite
//     ... paste from journal.Start_Cell() ...
//     journal.Picture_Added(excel);         // a picture: Excel's selection after its paste
//     journal.End(pasted, before, after);   // reads what the paste left; nothing is kept when it failed
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "automation.h"

class Excel_Session;

class Paste_Journal {
public:
    static constexpr std::size_t Max_Pastes = 30;

    enum class Take_Back { Nothing, Done, Changed, Failed };

    // A paste begins at the active cell and writes the block of rows x columns cells from it (no rows:
    // none, a picture alone).
    void Begin(const Excel_Session& excel, long rows, long columns = 1);
    // The active cell the open paste begins at, for the paste itself (nothing when it is not known).
    Automation_Object Start_Cell() const { return open_ ? open_->Start : Automation_Object(); }
    // Excel's selection after a picture's paste is that picture.
    void Picture_Added(const Excel_Session& excel);
    // The widths of the block's columns, from the left, before and after the paste widened them (none:
    // not widened).
    void End(bool pasted, std::vector<double> widths_before = {}, std::vector<double> widths_after = {});
    // Forgets every paste (a new run).
    void Clear();
    bool Empty() const { return pastes_.empty(); }

    // Takes back the newest paste: the cells get their old values, the column its old width, its
    // pictures are deleted and the active cell returns to where it started. Changed when the user has
    // altered a cell it wrote or deleted its picture: nothing is touched then.
    Take_Back Take_Back_Last(const Excel_Session& excel);

private:
    struct Paste {
        std::wstring Sheet;
        Automation_Object Start;  // the cell it started from
        Automation_Object Cells;  // the block from it
        long Rows = 0, Columns = 1;
        std::vector<Variant> Before, After;  // row by row
        std::vector<double> Widths_Before, Widths_After;
        std::vector<std::wstring> Pictures;
    };
    std::optional<Paste> open_;
    std::deque<Paste> pastes_;
};
