#pragma once
// The fixed strings ("固定文字列"): text snippets the user keeps for repeated pasting, in list order.
#include <string>
#include <vector>

struct Fixed_Strings {
    std::vector<std::wstring> Kotei_Data;  // full text of each entry, line breaks as CR LF
    int Kotei_Max = -1;                    // highest index in use; -1 when there is none
    int Kotei_Index = -1;                  // entry selected on the set-up screen; -1 when none

    // The line a list shows for entry i: its first non-empty line (empty when all its lines are).
    std::wstring Lst_AddItem_Kotei(int i) const;
};
