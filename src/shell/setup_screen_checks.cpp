// The validation pass of the set-up screen, once a second: the first fault found goes into the error
// label, and the start button is usable only while there is none.
#include <windows.h>

#include "message_box.h"
#include "paths.h"
#include "scoped_value.h"
#include "setup_screen.h"
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

void Setup_Screen::Check_ツール_CellDrop0() {
    if (!Flg_Check) return;
    const std::wstring target = Txt_Target->Caption();
    if (Path_Too_Long(target))
        form_(L"Lbl_Error_Check").Set_Caption(Ui_Text(Text_Id::Path_Too_Long));
    else if (Check_ツール_CellDrop0_File(target) && Probe.Ask(target, Path_Kind::Plain_File) != true)
        form_(L"Lbl_Error_Check").Set_Caption(Ui_Text(Text_Id::Target_Missing));
}

void Setup_Screen::Check_ツール_CellDrop1() {
    Check_ツール_CellDrop1_File();
    if (Flg_Check) Check_ツール_CellDrop1_Kotei();
}

void Setup_Screen::Check_ツール_CellDrop1_File() {
    if (!Flg_Check) return;
    const std::wstring folder = Txt_Folder->Caption();
    if (folder.empty()) return;
    Control& label = form_(L"Lbl_Error_Check");
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

void Setup_Screen::Check_ツール_CellDrop1_Kotei() {
    if (Flg_Check) Kotei_Apply_Edit();
}

void Setup_Screen::Tim_エラーチェック_Enabled(bool enabled) {
    if (Tim_エラーチェック) Tim_エラーチェック->Set_Enabled(enabled);
    Control& label = form_(L"Lbl_Error_Check");
    label.Set_Visible(enabled);
    if (!enabled) label.Set_Caption(L"");
}

void Setup_Screen::Timer1_Timer(int index) {
    if (!Tim_エラーチェック || Tim_エラーチェック->Index() != index) return;
    // A pass lets messages run after each line of the file list, so a long one would otherwise start
    // the next pass inside itself.
    if (Flg_Checking) return;
    {
        const Scoped_Value checking(Flg_Checking, true);
        const Scoped_Value checks_allowed(Flg_Check, true);
        Check_Process();
    }
    Flg_Blink = !Flg_Blink;
}

void Setup_Screen::Check_Process() {
    Control& label = form_(L"Lbl_Error_Check");
    label.Set_Caption(L"");
    if (keys_.Is_Screen(Screen_Keys::Screen_Setup) && run_.Active()) {
        label.Set_Caption(Ui_Text(Text_Id::Waiting_For_Previous_Excel));
    } else if (keys_.Is_Screen(Screen_Keys::Screen_Setup)) {
        Check_ツール_CellDrop0();
        if (label.Caption().empty()) Check_ツール_CellDrop1();
    }
    Control& start = form_(L"Cmd_Update2", 0);
    if (!label.Caption().empty()) {
        start.Set_Enabled(false);
        label.Set_Visible(true);
        label.Set_Fore_Color(Flg_Blink ? Colour{255} : static_cast<Colour>(GetSysColor(COLOR_BTNTEXT)));
    } else {
        start.Set_Enabled(true);
        label.Set_Visible(false);
    }
}
