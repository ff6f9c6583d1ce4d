// The two path boxes of the set-up screen: their file dialogs and history editor, and the file list
// built from the folder box.
#include "file_dialogs.h"
#include "folder_browse.h"
#include "message_box.h"
#include "mouse_pointer.h"
#include "paths.h"
#include "scoped_value.h"
#include "setup_screen.h"
#include "target_choice.h"
#include "ui_text.h"

namespace {

// Two filter entries, each a description and its patterns: Excel workbooks (chosen first), every file.
std::wstring Excel_Filter() {
    return std::wstring(Ui_Text(Text_Id::Excel_File_Filter)) + L"|*.xls;*.xlsx;*.xlsm|" +
           Ui_Text(Text_Id::All_Files_Filter) + L"|*.*";
}

}  // namespace

void Setup_Screen::Cmd_Control_Click_Path_Boxes(int index) {
    auto is = [index](const Control* bound) { return bound && bound->Index() == index; };
    const std::wstring folder_before = Txt_Folder->Caption();
    // A chooser opens on its box's path: a path longer than Windows takes names nothing to open on.
    const bool target_chooser = is(Cmd_Target_Pc) || is(Cmd_Target_Open);
    const bool folder_chooser = is(Cmd_Folder_Pc) || is(Cmd_Folder_Browse);
    if ((target_chooser && Path_Too_Long(Txt_Target->Caption())) || (folder_chooser && Path_Too_Long(folder_before))) {
        Show_Message(Ui_Text(Text_Id::Path_Too_Long));
        return;
    }
    if (is(Cmd_Target_Pc))
        Cmd_Control_Fldg(Ui_Text(Text_Id::Target_Workbook), L"FILE", L"*.xls;*.xlsx;*.xlsm", *Txt_Target);
    else if (is(Cmd_Target_Open))
        Cmd_Control_ShowFile(Ui_Text(Text_Id::Target_Workbook), Excel_Filter(), *Txt_Target);
    else if (is(Cmd_Target_History))
        Cmd_Control_Update(*Cmd_Target_History, *Txt_Target);
    else if (is(Cmd_Folder_Pc))
        Cmd_Control_Fldg(Ui_Text(Text_Id::Browse_Folder), L"DIR", L"*.*", *Txt_Folder);
    else if (is(Cmd_Folder_Browse))
        Cmd_Control_ShowFolders(Ui_Text(Text_Id::Browse_Folder), *Txt_Folder);
    else if (is(Cmd_Folder_History))
        Cmd_Control_Update(*Cmd_Folder_History, *Txt_Folder);
    else if (is(Cmd_File_Search))
        Cmd_Control_Excel1_File_Search();
    // A folder chosen with a folder button rebuilds the list, an unchanged one leaves it alone.
    if ((is(Cmd_Folder_Pc) || is(Cmd_Folder_Browse)) && form_.Is_Loaded() && Txt_Folder->Caption() != folder_before)
        Cmd_Control_Excel1_File_Search();
}

void Setup_Screen::Cmd_Control_Update(Control& button, Control& box) {
    // The button decides the history; only a folder picked from its history rebuilds the file list.
    const bool folder = &button == Cmd_Folder_History;
    std::function<void()> rebuild;
    if (folder) rebuild = [this] { Cmd_Control_Excel1_File_Search(); };
    Value_List_Editor.Open(form_, box, folder ? Tb_Rireki_Folder : Tb_Rireki_ExcelFile, std::move(rebuild));
}

void Setup_Screen::Cmd_Control_Fldg(const std::wstring& caption, const std::wstring& mode, const std::wstring& pattern,
                                    Control& box) {
    if (const auto path = File_Dialog.Run(form_.Hwnd(), box, {caption, mode, pattern, box.Caption()}))
        box.Set_Caption(*path);
}

void Setup_Screen::Cmd_Control_ShowFile(const std::wstring& title, const std::wstring& filter, Control& box) {
    Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);  // the program waits for the user now
    Open_File_State state{title, filter, box.Caption()};
    Open_File_Dialog(form_.Hwnd(), state);
    if (!state.Dialog_Cancelled) box.Set_Caption(state.Ofd_Path);
}

void Setup_Screen::Cmd_Control_ShowFolders(const std::wstring& title, Control& box) {
    Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);  // the program waits for the user now
    Folder_Browse_State state{title, box.Caption()};
    Folder_Browse(form_.Hwnd(), state);
    if (!state.Dialog_Cancelled) box.Set_Caption(state.Browse_Path);
}

void Setup_Screen::Cmd_Control_Excel1_File_Search() {
    // Asked for again while a build runs (the check box clicked meanwhile): the build starts over.
    if (File_List.Restart_If_Running()) return;
    const Hourglass busy;
    const Scoped_Value no_checks(Flg_Check, false);
    Tim_エラーチェック_Enabled(false);
    // The list read at the start gives way to the new one.
    if (value_list_fills_[0].Filling()) {
        value_list_fills_[0].Stop();
        value_lists_read_[0].Shown = value_lists_read_[0].Read;
    }
    // "登録のみ" and the start button read the list.
    const bool alive = File_List.Run(*Txt_File_List, {&form_(L"Cmd_Update2", 1), &form_(L"Cmd_Update2", 0)}, [this] {
        return File_List_Build::Source{Txt_Folder->Caption(), Che_Sub_Folder->Value() == 1};
    });
    if (!alive || !form_.Is_Loaded()) return;
    Tim_エラーチェック_Enabled(true);
    // The new list is checked at once, so the start button does not wait for the next tick to say
    // whether it may be used.
    if (Tim_エラーチェック && Tim_エラーチェック->Index()) Timer1_Timer(*Tim_エラーチェック->Index());
}

void Setup_Screen::Txt_File_Change(int index) {
    // Only the target box falls back to the new-workbook choice: an emptied folder box means the file
    // list is not used.
    if (!keys_.Is_Screen(Screen_Keys::Screen_Setup) || !Txt_Target || index != Txt_Target->Index()) return;
    if (Txt_Target->Caption().empty()) Txt_Target->Set_Caption(New_Workbook_Text());
}
