// The validation pass of the set-up screen: the first fault found goes into the error label.
#include "celldrop_f.h"

#include "paths.h"
#include "target_choice.h"
#include "text.h"
#include "ui_text.h"

namespace {

// "12" -> "１２" in Japanese text, as Japanese writing has it; "12" in English.
std::wstring Line_Number(int n) {
    std::wstring digits = std::to_wstring(n);
    if (Display_Text_Language() == Text_Language::Japanese)
        for (wchar_t& d : digits) d = static_cast<wchar_t>(d - L'0' + L'０');
    return digits;
}

}  // namespace

void CellDrop_F::Check_ツール_CellDrop0() {
    if (!Flg_Check) return;
    const std::wstring target = Txt_Target->Caption();
    if (Path_Too_Long(target))
        (*this)(L"Lbl_Error_Check").Set_Caption(Ui_Text(Text_Id::Path_Too_Long));
    else if (Check_ツール_CellDrop0_File(target) && Probe.Ask(target, Path_Kind::Plain_File) != true)
        (*this)(L"Lbl_Error_Check").Set_Caption(Ui_Text(Text_Id::Target_Missing));
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
    if (Path_Too_Long(folder)) {
        label.Set_Caption(Ui_Text(Text_Id::Path_Too_Long));
        return;
    }
    // A path whose answer is late counts as not there until the answer comes (a later pass).
    if (Probe.Ask(folder, Path_Kind::Folder_Or_Plain_File) != true) {
        label.Set_Caption(Ui_Text(Text_Id::Open_File_Folder_Unknown));
        return;
    }
    const std::vector<std::wstring> lines = Value_List_Lines(0);
    // The lines up to the first empty one are asked about in one go; the first line not confirmed
    // (missing, or its answer late) is the fault.
    std::vector<std::wstring> paths;
    for (const std::wstring& line : lines) {
        if (line.empty()) break;
        paths.push_back(Path_Join(folder, line));
        if (Path_Too_Long(paths.back())) {
            label.Set_Caption(Ui_Text(Text_Id::Path_Too_Long));
            return;
        }
    }
    const std::size_t found = paths.empty() ? 0 : Probe.Ask_All(paths, Path_Kind::Plain_File).value_or(0);
    if (found < lines.size())
        label.Set_Caption(Ui_Format(Text_Id::Line_File_Unknown, {Line_Number(static_cast<int>(found) + 1)}));
}

void CellDrop_F::Check_ツール_CellDrop1_Kotei() {
    if (Flg_Check) Kotei_Apply_Edit();
}
