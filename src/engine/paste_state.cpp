#include "paste_state.h"

#include "clipboard.h"

void Excel_ツール_CellDrop2_Clear(Clip_State& state) {
    // A clipboard held open by another program stays as it is; the texts are forgotten either way,
    // and the next pass sees whatever is there as new.
    (void)Clipboard_Clear();
    state.Clip_Text.clear();
    state.Clip_Text_Last.clear();
}

bool Excel_ツール_CellDrop2_Clear(Clip_State& state, unsigned long pasted_sequence) {
    // Looked at with the clipboard open: a copy made just before the emptying is never emptied away.
    const bool emptied = Clipboard_Clear([&] { return Clipboard_Sequence() == pasted_sequence; });
    state.Clip_Text.clear();
    state.Clip_Text_Last.clear();
    return emptied;
}

Clipboard_Snapshot Excel_ツール_CellDrop2_GetData(Clip_State& state) {
    Clipboard_Snapshot snapshot = Clipboard_Read();
    state.Clip_Text = snapshot.Private ? std::wstring() : snapshot.Text;
    return snapshot;
}
