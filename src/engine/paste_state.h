#pragma once
// What the paste loop keeps between its passes: how to paste (the options of the paste-control
// screen) and what was last seen on the clipboard.
#include <string>

#include "clipboard.h"
#include "paste_options.h"

struct Clip_State {
    std::wstring Clip_Text;                        // text read from the clipboard in this pass
    std::wstring Clip_Text_Last;                   // text pasted last; the same text again is no new copy
    Copy_Source Paste_Source = Copy_Source::User;  // who put the text on the clipboard
};

// Empties the clipboard and forgets the texts seen, so nothing copied before is pasted.
void Excel_ツール_CellDrop2_Clear(Clip_State& state);
// The same after a paste: the clipboard is emptied only while it still holds the pasted copy (that
// sequence number); a newer copy on it is the user's. True when it was emptied.
bool Excel_ツール_CellDrop2_Clear(Clip_State& state, unsigned long pasted_sequence);

// Reads the clipboard: Clip_Text becomes its text (empty when it offers none, or when the copy is
// marked private). The snapshot tells what else it holds.
Clipboard_Snapshot Excel_ツール_CellDrop2_GetData(Clip_State& state);
