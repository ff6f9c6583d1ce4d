#include "value_list.h"

History_List Value_List_Compact(const History_List& history) {
    History_List work{};
    std::size_t next = 0;
    for (const std::wstring& entry : history)
        if (!entry.empty()) work[next++] = entry;
    return work;
}

Value_List_Buttons Value_List_Button_States(int count, int selected) {
    Value_List_Buttons b;
    if (selected < 0 || selected >= count) {
        b.Sort = count >= 2;
        return b;
    }
    b.Ok_Delete = true;
    if (count < 2) return b;
    b.Sort = true;
    b.Up = selected > 0;
    b.Down = selected < count - 1;
    return b;
}
