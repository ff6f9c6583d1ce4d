#pragma once
// Fixed control IDs of the value-list editor; tests and automation tools find its controls by them.

namespace value_list_editor_ids {

constexpr int Lst_Value = 100;
constexpr int Lst_Value_Sort = 101;
constexpr int Cmd_Ok = 102;
constexpr int Cmd_Delete = 103;
constexpr int Cmd_Up = 104;
constexpr int Cmd_Down = 105;
constexpr int Cmd_Cancel = 106;
constexpr int Cmd_Sort = 110;  // + index: 0 ascending, 1 descending

}  // namespace value_list_editor_ids
