// The validation pass of the set-up screen: the first fault found goes into the error label.
#include "celldrop_f.h"

#include "file_checks.h"
#include "message_pump.h"
#include "paths.h"
#include "target_choice.h"
#include "text.h"

namespace {

// "12" -> "１２"
std::wstring Full_Width_Number(int n) {
    std::wstring digits = std::to_wstring(n);
    for (wchar_t& d : digits) d = static_cast<wchar_t>(d - L'0' + L'０');
    return digits;
}

}  // namespace

void CellDrop_F::Check_ツール_CellDrop0() {
    if (!Flg_Check) return;
    const std::wstring target = Txt_Target->Caption();
    if (Check_ツール_CellDrop0_File(target) && !Is_Plain_File(target))
        (*this)(L"Lbl_Error_Check").Set_Caption(L"貼付先Excelファイルがありません。");
}

void CellDrop_F::Check_ツール_CellDrop1() {
    Check_ツール_CellDrop1_File();
    if (Flg_Check) Check_ツール_CellDrop1_Kotei();
}

void CellDrop_F::Check_ツール_CellDrop1_File() {
    if (!Flg_Check) return;
    const std::wstring folder = Txt_Folder->Caption();
    if (folder.empty()) return;
    Control& label = (*this)(L"Lbl_Error_Check");
    if (!Is_Folder_Or_Plain_File(folder)) {
        label.Set_Caption(L"「ファイルを開く」のフォルダーが不明です。");
        return;
    }
    const std::vector<std::wstring> lines = Str_Split(Txt_File_List->Caption(), Get_CrLf());
    for (std::size_t n = 0; n < lines.size() && Flg_Check; ++n) {
        if (lines[n].empty() || !Is_Plain_File(Path_Join(folder, lines[n]))) {
            label.Set_Caption(Full_Width_Number(static_cast<int>(n) + 1) + L"行目のファイルが不明です。");
            return;
        }
        Do_Events();
        // The window may have been closed while messages ran.
        if (!Is_Loaded()) return;
    }
}

void CellDrop_F::Check_ツール_CellDrop1_Kotei() {
    if (Flg_Check) Kotei_Apply_Edit();
}
