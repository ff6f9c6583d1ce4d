#pragma once
// Fixed control IDs of the program's own file dialog; tests and automation tools find its controls
// by them.

namespace file_dialog_ids {

constexpr int Dir_Label = 100;
constexpr int Title_Label1 = 101;
constexpr int Kensaku_Label = 102;
constexpr int Drive1 = 103;
constexpr int File_Label = 104;
constexpr int Dir1 = 105;
constexpr int File_List = 106;
constexpr int Cmd_Ok = 107;
constexpr int Cmd_Cancel = 108;

}  // namespace file_dialog_ids
