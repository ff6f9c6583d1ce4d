#pragma once
// The run's last pastes, so that the newest can be taken back: Excel empties its own undo list when a
// program changes the sheet. For each paste it keeps the cells it wrote with the values they held
// before (read in one call before the write) and after, the width its column had, the pictures it
// added and the cell it started from. A paste the user has changed since is not taken back.
//
//     journal.Begin(excel, rows, widens);  // before the paste writes: reads what it will overwrite
//     ... paste ...
//     journal.Picture_Added(excel);        // a picture: Excel's selection after its paste
//     journal.End(pasted);                 // reads what the paste left; nothing is kept when it failed
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

    // A paste begins at the active cell and writes rows cells down from it (0 for none, a picture
    // alone); widens: it may widen their column, whose width is then read too.
    void Begin(const Excel_Session& excel, long rows, bool widens);
    // Excel's selection after a picture's paste is that picture.
    void Picture_Added(const Excel_Session& excel);
    void End(bool pasted);
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
        long Row = 0, Column = 0, Rows = 0;
        bool Widens = false;
        std::vector<Variant> Before, After;
        double Width_Before = 0, Width_After = 0;
        std::vector<std::wstring> Pictures;
    };
    std::optional<Paste> open_;
    Automation_Object range_;  // the open paste's cells, read again at its end
    std::deque<Paste> pastes_;
};
