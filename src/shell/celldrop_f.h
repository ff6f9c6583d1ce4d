#pragma once
// The main form "Excelへの貼付コントロール": its two screens (set-up and paste control), the control
// roles, start-up, the one-second validation timer, and the settings passes of the set-up screen.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "button_pictures.h"
#include "copy_history.h"
#include "file_dialog_form.h"
#include "file_list_build.h"
#include "fixed_strings.h"
#include "form.h"
#include "hot_keys.h"
#include "object_registry.h"
#include "param_format.h"
#include "paste_loop.h"
#include "paste_state.h"
#include "path_probe.h"
#include "picture_recorder.h"
#include "take_back_turns.h"
#include "text_box_fill.h"
#include "value_list_editor.h"

class CellDrop_F : public Form, private Paste_Loop_Host, private Busy_Watcher {
public:
    // app_path: the folder the data folders live in; the program passes the folder of its own file.
    explicit CellDrop_F(std::wstring app_path);
    ~CellDrop_F() override;

    // Screen keys: the screen-dependent procedures act only when both equal their own.
    std::wstring Group_Key;
    std::wstring Screen_Key;
    static constexpr const wchar_t* Group_Tool = L"ツール";
    static constexpr const wchar_t* Screen_Setup = L"CellDrop";
    static constexpr const wchar_t* Screen_Paste = L"CellDrop2";
    bool Is_Screen(const wchar_t* screen) const { return Group_Key == Group_Tool && Screen_Key == screen; }

    // Data folders beside the program file.
    std::wstring App_Path;
    std::wstring Path_Para;
    std::wstring Path_RirekiText;
    std::wstring Path_RirekiPic;
    std::wstring Path_Kotei;

    bool Flg_Check = false;     // a validation pass may run
    bool Flg_Blink = false;     // colour phase of the error label
    bool Flg_Stop = false;      // the end button was pressed during a paste run
    bool Flg_Checking = false;  // a validation pass is under way (it lets messages run)
    // The validation's questions about paths, answered off the window's thread.
    Path_Probe Probe;
    float Pic_Cell_Size = 0;
    int Search_Position = -1;

    // Value histories of the target workbook and the folder, newest first.
    History_List Tb_Rireki_ExcelFile;
    History_List Tb_Rireki_Folder;

    Fixed_Strings Kotei;
    Text_History Rireki_Texts;
    Picture_History Rireki_Pics;
    // Makes the pasted pictures' history entries off the window's thread; every save takes them all first.
    Picture_Recorder Picture_Work;
    Paste_Options Options;
    Clip_State Clip;
    Clipboard_Capture Capture;
    Excel_Session Excel;

    // Roles (bound by the registration procedures).
    Control* Tim_エラーチェック = nullptr;
    Control* Pic_Control_Target = nullptr;  // Pic_Control(0): target-workbook row
    Control* Pic_Control_Setup = nullptr;   // Pic_Control(1)
    Control* Pic_Control_Paste = nullptr;   // Pic_Control(2)
    Control* Che_Sub_Folder = nullptr;      // Che_Control(3)
    std::array<Control*, 3> Che_Table_Text{};
    Control* Che_Picture_Caption = nullptr;    // Che_Control(4): the time before each picture
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
    Control* Cmd_Paste_End = nullptr;          // Cmd_Control(4)
    Control* Cmd_Take_Back = nullptr;          // Cmd_Control(14)
    Control* Pic_Container_Paste = nullptr;    // Pic_Container(0)
    Control* Pic_Container_Move = nullptr;     // Pic_Container(1)
    std::array<Control*, 2> Pic_Container_Picture{};
    std::array<Control*, 2> Pic_Container_Text{};
    Control* Label1_Target = nullptr;    // Label1(13): target path on the paste screen
    Control* Label1_Folder = nullptr;    // Label1(9): folder on the paste screen
    Control* Label1_Hot_Keys = nullptr;  // Label1(20): the run's keys that are not held
    Control* Label1_Waiting = nullptr;   // Label1(21): the notice line (a busy Excel, a failed paste)
    Control* Lst_Kotei_Setup = nullptr;  // Lst_Select(3)
    Control* Lst_File = nullptr;         // Lst_Select(0)
    Control* Lst_Url = nullptr;          // Lst_Select(1)
    Control* Lst_Rireki = nullptr;       // Lst_Select(2)
    Control* Lst_Kotei_Paste = nullptr;  // Lst_Select(4)
    Control* Txt_File_List = nullptr;    // Txt_Value3(0)
    Control* Txt_Url_List = nullptr;     // Txt_Value3(1)
    Control* Txt_Kotei = nullptr;        // Txt_Value3(2)
    Control* Txt_Target = nullptr;       // Txt_File(0)
    Control* Txt_Folder = nullptr;       // Txt_File(1)
    std::array<Control*, 2> Opt_Table_Paste{};
    std::array<Control*, 2> Opt_Table_Move{};
    std::array<Control*, 3> Opt_Table_Text{};
    std::array<Control*, 9> Opt_Table_Picture{};
    std::array<Control*, 4> Opt_Table_Zoom{};

    Object_Registry Registry;
    Button_Pictures Chooser_Pictures;  // the pictures and tips of the two choosers without a caption

    // Registration procedures: false clears the roles, true binds them.
    void Set_Timer(bool bind);
    void Set_Pic_Control(bool bind);
    void Set_Che_Control(bool bind);
    void Set_Cmd_Control(bool bind);
    void Set_Pic_Container(bool bind);
    void Set_Label1(bool bind);
    void Set_Lst_Select(bool bind);
    void Set_Txt_Value3(bool bind);
    void Set_Txt_File(bool bind);
    void Set_Opt_Joken(bool bind);

    // Table procedures.
    void Object_Table_To_IndexSearch(std::span<Control* const> table, int index);
    static int Object_TableOpt_To_Index(std::span<Control* const> table);
    static void Object_TableOpt_MouseClick(std::span<Control* const> table);

    // Screens.
    void List_Process();
    void Pic_Control_Enabled(bool enabled);
    void Pic_Control_Posission();
    void Pic_Visble_False();
    void Container_Pic_Control(Control& container);
    // The windows of the paste screen, made the first time it is shown.
    void Make_Paste_Screen();
    void TextBox_Clear_Process();
    void MsgBox_Process(const std::wstring& text);

    // Timer and validation.
    void Tim_エラーチェック_Enabled(bool enabled);
    void Timer1_Timer(int index);
    void Check_Process();
    void Check_ツール_CellDrop0();
    void Check_ツール_CellDrop1();
    void Check_ツール_CellDrop1_File();
    void Check_ツール_CellDrop1_Kotei();

    // Fixed-string editing on the set-up screen.
    void Cmd_Control_Excel1_Kotei_New();
    void Cmd_Control_Excel1_Kotei_Del();
    void Cmd_Control_Excel1_Kotei_Up();
    void Cmd_Control_Excel1_Kotei_Down();
    void Cmd_Control_Excel1_Kotei_Sort(int order);

    // Buttons of the form itself.
    void Cmd_Cancel_Click();
    void Cmd_Update2_Click(int index);
    void Cmd_Control_Excel2_End();

    // Paste run.
    // Ctrl+Alt+P switches "する"/"しない", Ctrl+Alt+Z takes back the last paste, whichever program is
    // in front: held from the start of a run to its end.
    static constexpr int Hot_Key_Paste = 1;
    static constexpr int Hot_Key_Take_Back = 2;
    void Hold_Run_Keys(bool hold);
    // The run's notice line: that Excel refuses calls and how many copies wait meanwhile (gone once it
    // answers), and the last paste that failed with how many failed in the run so far.
    void Show_Waiting();
    bool excel_busy_ = false;
    std::wstring paste_notice_;
    int failed_pastes_ = 0;
    // The message on the notice line until the next one, with the taskbar button flashing.
    void Show_Notice(const std::wstring& message);
    // Draws the eye of a user who works in Excel: the taskbar button flashes until the window is in front.
    void Flash_Taskbar_Button();
    Paste_Journal journal_;
    Take_Back_Turns take_back_turns_;
    // "直前の貼付を取り消す": the newest paste of the run not yet taken back; a press that comes while a
    // paste or another take-back is being made waits its turn.
    void Take_Back_Last_Paste();
    void Make_Take_Backs();
    // The button is greyed while there is nothing to take back.
    void Show_Take_Back_State();
    std::optional<Hot_Keys> Run_Keys;
    void Excel_ツール_CellDrop2_Start();
    void Excel_Process();

    // Copy history.
    void Excel_ツール_CellDrop2_RirekiText(const std::wstring& text);
    void Excel_ツール_CellDrop2_RirekiPic(Bitmap_Image picture);
    // The entries the recorder finished put into the history, the grid redrawn once for them all.
    void Put_Recorded_Pictures(std::vector<Picture_Entry> entries);
    // Waits for the recorder and puts in all it made: before any save or load of the picture history.
    void Finish_Recorded_Pictures() { Put_Recorded_Pictures(Picture_Work.Finish_All()); }
    void Excel_ツール_CellDrop2_RirekiText_Display();
    void Excel_ツール_CellDrop2_RirekiPic_Display();
    void Text_Update_ツール_CellDrop2_Text(const std::wstring& mode);
    void Text_Update_ツール_CellDrop2_Pic(const std::wstring& mode);
    void Text_Update_ツール_CellDrop2_Text_Write();
    void Text_Update_ツール_CellDrop2_Pic_Write();
    void Img_Pic_Click(int index);

    // Settings passes of the set-up screen.
    void Text_Update(const std::wstring& mode);
    void Text_Update_ツール_CellDrop0(const std::wstring& mode);
    void Text_Update_ツール_CellDrop1(const std::wstring& mode);
    void Text_Update_ツール_CellDrop2(const std::wstring& mode);
    void Text_Update_ツール_CellDrop1_Kotei_Write();
    Param_Pass& Params() { return params_; }

    // Event procedures of the control arrays.
    void Cmd_Control_Click(int index);
    void Che_Control_Click(int index);
    void Opt_Joken_Click(int index);
    void Opt_Joken_ツール_CellDrop2(int index);
    void Lst_Select_Click(int index);
    void Lst_Select_ツール_CellDrop();
    void Lst_Select_ツール_CellDrop2(int index);
    void Lst_Select_File_Open(const std::wstring& line);
    // A quick-list text put on the clipboard for the paste loop, marked with who put it there.
    void Put_On_Clipboard(const std::wstring& text, Copy_Source source);
    void Lst_Select_ツール_CellDrop_UpDown();
    void Txt_File_Change(int index);
    void VScroll1_Change();

    // The two path boxes of the set-up screen: their choosers and history editor, and the file list.
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

protected:
    void On_Load() override;

    // What the paste loop asks of the window.
    bool Stop_Requested() override { return Flg_Stop; }
    void Clear_Stop_Request() override { Flg_Stop = false; }
    bool Window_Closed() override { return !Is_Loaded(); }
    void Return_To_Setup() override { Cmd_Control_Excel2_End(); }
    HWND Main_Window() override { return Hwnd(); }
    Text_Edits Edits() override;
    void Record_Text(const std::wstring& text) override { Excel_ツール_CellDrop2_RirekiText(text); }
    void Record_Texts(const std::vector<std::wstring>& texts) override {
        if (Rireki_Texts.Add_All(texts)) text_history_unshown_ = true;
    }
    void Show_Recorded_Texts() override {
        if (text_history_unshown_) Excel_ツール_CellDrop2_RirekiText_Display();
    }
    void Record_Picture(Bitmap_Image picture) override { Excel_ツール_CellDrop2_RirekiPic(std::move(picture)); }
    void Show_Recorded_Pictures() override { Put_Recorded_Pictures(Picture_Work.Take_Finished()); }
    bool Text_History_Changed() override { return Rireki_Texts.Rireki_Text_Dirty; }
    bool Picture_History_Changed() override { return Rireki_Pics.Rireki_Pic_Dirty || Picture_Work.Pending(); }
    void Write_Text_History() override { Text_Update_ツール_CellDrop2_Text_Write(); }
    void Write_Picture_History() override { Text_Update_ツール_CellDrop2_Pic_Write(); }
    Paste_Journal& Journal() override { return journal_; }
    void Paste_Failed(const std::wstring& message) override;
    void Copies_Skipped(const std::wstring& message) override;
    void Paste_Step_Done() override {
        if (take_back_turns_.Waiting() > 0 && !take_back_turns_.Running()) Make_Take_Backs();
    }
    void Server_Busy(bool busy) override {
        excel_busy_ = busy;
        Show_Waiting();
    }
    bool On_Query_Unload() override;
    std::optional<LRESULT> On_Message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    bool text_history_unshown_ = false;      // texts recorded that the list does not show yet
    std::vector<std::wstring> shown_texts_;  // the text history as the list shows it, newest first
    void Form_Load();
    // Remembers a settings file that could not be written; Report_Save_Failures names them all once.
    void Note_Save(const File_Write_Result& result, const std::wstring& path);
    void Report_Save_Failures();
    std::vector<std::wstring> failed_saves_;
    void Create_Data_Folders();
    void Build_Picture_Grid();
    void Bind_All_Roles();
    // Shows the saving label while a history is written; the flag is cleared only when all was written.
    // A folder whose save failed is remembered until a save there succeeds.
    void Write_History(const wchar_t* caption, bool (*write)(CellDrop_F&), bool& dirty, const std::wstring& folder);
    // "コピー履歴を保存できませんでした。" naming every folder whose save failed, once a run for the same folders.
    // While the paste loop runs, a failed save is said on the notice line instead (a message box would
    // hold every later copy while the user works in Excel); the box follows once the loop is over.
    void Report_History_Failures();
    bool in_paste_loop_ = false;
    std::vector<std::wstring> history_failed_;
    std::vector<std::wstring> history_reported_;
    // Names the files a load found unreadable and renamed aside.
    void Report_Moved_Aside(const std::vector<std::wstring>& paths);
    // The two value lists as read from their files and as their boxes showed them.
    struct Value_List_As_Read {
        std::wstring Read;
        std::wstring Shown;
        bool Refused = false;  // too large to read: the file is left as it is, never written over
    };
    std::array<Value_List_As_Read, 2> value_lists_read_;
    // A long list reaches its box in pieces after the window shows; until then its lines come from the file.
    std::array<Text_Box_Fill, 2> value_list_fills_;
    // The lines of value list i (0 the file list, 1 the URL list) as they are now: the box's, and the
    // lines read that the box does not hold (yet).
    std::vector<std::wstring> Value_List_Lines(std::size_t i) const;
    // The saves that failed earlier, made once more as the program ends.
    void Save_Pending_At_Exit();
    // Up and Down: the selected entry and its neighbour change places in the table and the list.
    void Kotei_Move(int step);
    // The lines the fixed-string lists show, one per entry.
    std::vector<std::wstring> Kotei_Lines() const;
    // The text box's text into the selected entry: done before anything reads or replaces the entries,
    // so that typing is never lost to a click that comes before the next check.
    void Kotei_Apply_Edit();

    Param_Pass params_{L""};
    // A paste run has begun and not yet let go of its Excel (an ended run may still wait for a busy
    // Excel): no second run starts meanwhile.
    bool run_active_ = false;
    std::wstring app_path_;
    bool owns_message_handler_ = false;
};

// The folder that holds the running program file, without a trailing backslash.
std::wstring Program_Folder();
