#pragma once
// The set-up screen of the main form: the target workbook and the folder with their choosers and
// histories, the file and URL lists, the fixed-string editor, the one-second validation pass and the
// settings passes of the screen's files.
#include <array>
#include <string>
#include <vector>

#include "file_dialog_form.h"
#include "file_list_build.h"
#include "file_reports.h"
#include "fixed_strings.h"
#include "form.h"
#include "param_format.h"
#include "paste_run.h"
#include "path_probe.h"
#include "screen_keys.h"
#include "text_box_fill.h"
#include "value_list_editor.h"

class Setup_Screen {
public:
    // form: the window the screen's controls live in; path_kotei: the fixed strings' folder.
    Setup_Screen(Form& form, const Screen_Keys& keys, const Paste_Run& run, Save_Failures& saves,
                 const std::wstring& path_kotei)
        : form_(form), keys_(keys), run_(run), saves_(saves), path_kotei_(path_kotei) {}

    bool Flg_Check = false;     // a validation pass may run
    bool Flg_Blink = false;     // colour phase of the error label
    bool Flg_Checking = false;  // a validation pass is under way (it lets messages run)
    // The validation's questions about paths, answered off the window's thread.
    Path_Probe Probe;

    // Value histories of the target workbook and the folder, newest first.
    History_List Tb_Rireki_ExcelFile;
    History_List Tb_Rireki_Folder;
    Fixed_Strings Kotei;

    // Roles (bound by the form's registration procedures).
    Control* Tim_エラーチェック = nullptr;
    Control* Pic_Control_Target = nullptr;     // Pic_Control(0): target-workbook row
    Control* Pic_Control_Setup = nullptr;      // Pic_Control(1)
    Control* Che_Sub_Folder = nullptr;         // Che_Control(3)
    Control* Cmd_Target_Pc = nullptr;          // Cmd_Control(6)
    Control* Cmd_Target_Open = nullptr;        // Cmd_Control(0)
    Control* Cmd_Target_History = nullptr;     // Cmd_Control(1)
    Control* Cmd_Folder_Pc = nullptr;          // Cmd_Control(7)
    Control* Cmd_Folder_Browse = nullptr;      // Cmd_Control(2)
    Control* Cmd_Folder_History = nullptr;     // Cmd_Control(3)
    Control* Cmd_File_Search = nullptr;        // Cmd_Control(5)
    Control* Cmd_Kotei_Delete = nullptr;       // Cmd_Control(8)
    Control* Cmd_Kotei_New = nullptr;          // Cmd_Control(9)
    Control* Cmd_Kotei_Up = nullptr;           // Cmd_Control(10)
    Control* Cmd_Kotei_Down = nullptr;         // Cmd_Control(11)
    std::array<Control*, 2> Cmd_Kotei_Sort{};  // Cmd_Control(12) ascending, (13) descending
    Control* Lst_Kotei_Setup = nullptr;        // Lst_Select(3)
    Control* Txt_File_List = nullptr;          // Txt_Value3(0)
    Control* Txt_Url_List = nullptr;           // Txt_Value3(1)
    Control* Txt_Kotei = nullptr;              // Txt_Value3(2)
    Control* Txt_Target = nullptr;             // Txt_File(0)
    Control* Txt_Folder = nullptr;             // Txt_File(1)

    // Timer and validation.
    void Tim_エラーチェック_Enabled(bool enabled);
    void Timer1_Timer(int index);
    void Check_Process();
    void Check_ツール_CellDrop0();
    void Check_ツール_CellDrop1();
    void Check_ツール_CellDrop1_File();
    void Check_ツール_CellDrop1_Kotei();

    // Fixed-string editing.
    void Cmd_Control_Excel1_Kotei_New();
    void Cmd_Control_Excel1_Kotei_Del();
    void Cmd_Control_Excel1_Kotei_Up();
    void Cmd_Control_Excel1_Kotei_Down();
    void Cmd_Control_Excel1_Kotei_Sort(int order);
    void Lst_Select_ツール_CellDrop();
    void Lst_Select_ツール_CellDrop_UpDown();
    // The lines the fixed-string lists show, one per entry.
    std::vector<std::wstring> Kotei_Lines() const;

    // Settings passes.
    void Text_Update(const std::wstring& mode);
    void Text_Update_ツール_CellDrop0(const std::wstring& mode);
    void Text_Update_ツール_CellDrop1(const std::wstring& mode);
    void Text_Update_ツール_CellDrop1_Kotei_Write();
    Param_Pass& Params() { return params_; }
    // The lines of value list i (0 the file list, 1 the URL list) as they are now: the box's, and the
    // lines read that the box does not hold (yet).
    std::vector<std::wstring> Value_List_Lines(std::size_t i) const;

    // The two path boxes: their choosers and history editor, and the file list.
    Update2_Value_F Value_List_Editor;
    Wk_FileDlg_F File_Dialog;
    File_List_Build File_List;
    void Cmd_Control_Click_Path_Boxes(int index);
    void Cmd_Control_Update(Control& button, Control& box);
    void Cmd_Control_Fldg(const std::wstring& caption, const std::wstring& mode, const std::wstring& pattern,
                          Control& box);
    void Cmd_Control_ShowFile(const std::wstring& title, const std::wstring& filter, Control& box);
    void Cmd_Control_ShowFolders(const std::wstring& title, Control& box);
    void Cmd_Control_Excel1_File_Search();
    void Txt_File_Change(int index);

private:
    // Up and Down: the selected entry and its neighbour change places in the table and the list.
    void Kotei_Move(int step);
    // The text box's text into the selected entry: done before anything reads or replaces the entries,
    // so that typing is never lost to a click that comes before the next check.
    void Kotei_Apply_Edit();

    Form& form_;
    const Screen_Keys& keys_;
    const Paste_Run& run_;
    Save_Failures& saves_;
    const std::wstring& path_kotei_;
    Param_Pass params_{L""};
    // The two value lists as read from their files and as their boxes showed them.
    struct Value_List_As_Read {
        std::wstring Read;
        std::wstring Shown;
        bool Refused = false;  // too large to read: the file is left as it is, never written over
    };
    std::array<Value_List_As_Read, 2> value_lists_read_;
    // A long list reaches its box in pieces after the window shows; until then its lines come from the file.
    std::array<Text_Box_Fill, 2> value_list_fills_;
};
