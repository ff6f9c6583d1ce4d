#pragma once
// Fixed Win32 control IDs of the main form: the base of each control array plus the element's index,
// or the ID of a single control. Event routing, tests and automation tools find controls by them.

namespace control_ids {

constexpr int Cmd_Control = 1000;
constexpr int Label1 = 1100;
constexpr int Txt_File = 1200;
constexpr int Txt_Value3 = 1300;
constexpr int Lst_Select = 1400;
constexpr int Opt_Joken = 1500;
constexpr int Che_Control = 1600;
constexpr int Pic_Control = 1700;
constexpr int Pic_Container = 1800;
constexpr int Cmd_Update2 = 1900;
constexpr int Img_Pic = 2000;
constexpr int Timer1 = 2100;

// Elements added to the arrays for steering a paste run: Cmd_Control + 14 "直前の貼付を取り消す",
// Che_Control + 4 "画像の前に日時を書く", Label1 + 20 (the hot keys not held), Label1 + 21 (the notice
// line: the wait for a busy Excel, a failed paste).
// For test evidence: Che_Control + 5 "画像に番号を付ける" with the next number in Txt_File + 2,
// Che_Control + 6 "画像の下（右）へ移動", Cmd_Control + 15 "新しいシート", Cmd_Control + 16 "選んだ履歴を順に貼付".

constexpr int Cmd_Cancel = 100;
constexpr int Lbl_Error_Check = 101;
constexpr int Pic_Screen = 102;
constexpr int Pic_Scroll = 103;
constexpr int VScroll1 = 104;

}  // namespace control_ids
