#pragma once
// The controls of both screens of the main form, at their design positions (twips, relative to the
// container), with their captions.
#include <span>

#include "form.h"

std::span<const Control_Def> CellDrop_Control_Table();

// The tips of the two choosers beside "PC", which show the shell's file and folder pictures instead
// of a caption.
inline constexpr wchar_t Workbook_Chooser_Tip[] = L"貼付先Excelファイルを選ぶ（ファイルを開く）";
inline constexpr wchar_t Folder_Chooser_Tip[] = L"検索するフォルダーを選ぶ（フォルダーの参照）";
