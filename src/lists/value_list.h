#pragma once
// The window-free rules of the value-list editor: its working copy of a history and which of its
// buttons a user may press.
#include "param_format.h"

// The history's entries from slot 0 on without the empty slots between them, the rest empty, so
// that line i of the editor's list always is slot i.
History_List Value_List_Compact(const History_List& history);

struct Value_List_Buttons {
    bool Ok_Delete = false;  // pick and delete need a selected line
    bool Sort = false;       // sorting needs two lines
    bool Up = false;
    bool Down = false;
};
// The buttons for a list of count lines with line selected selected (-1: none). Up is possible
// below the first line, Down above the last one.
Value_List_Buttons Value_List_Button_States(int count, int selected);
