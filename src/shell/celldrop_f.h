#pragma once
// The main form "Excelへの貼付コントロール": the window, start-up, the event procedures of its control
// arrays and the role bindings, and what ties its two screens (set-up and paste control) and the paste
// run together.
#include <string>

#include "button_pictures.h"
#include "file_reports.h"
#include "form.h"
#include "object_registry.h"
#include "paste_run.h"
#include "paste_screen.h"
#include "screen_keys.h"
#include "setup_screen.h"

class CellDrop_F : public Form {
public:
    // app_path: the folder the data folders live in; the program passes the folder of its own file.
    explicit CellDrop_F(std::wstring app_path);
    ~CellDrop_F() override;

    Screen_Keys Keys;

    // Data folders beside the program file.
    std::wstring App_Path;
    std::wstring Path_Para;
    std::wstring Path_RirekiText;
    std::wstring Path_RirekiPic;
    std::wstring Path_Kotei;

    Save_Failures Saves;
    Paste_Run Run;
    Setup_Screen Setup{*this, Keys, Run, Saves, Path_Kotei};
    Paste_Screen Paste{*this, Keys, Run, Saves, App_Path, Setup.Kotei};

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

    // Buttons of the form itself.
    void Cmd_Cancel_Click();
    void Cmd_Update2_Click(int index);
    void Cmd_Control_Excel2_End();

    // Paste run.
    void Excel_ツール_CellDrop2_Start();
    void Excel_Process();

    // Event procedures of the control arrays.
    void Cmd_Control_Click(int index);
    void Che_Control_Click(int index);
    void Opt_Joken_Click(int index);
    void Lst_Select_Click(int index);

protected:
    void On_Load() override;
    bool On_Query_Unload() override;
    std::optional<LRESULT> On_Message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void Form_Load();
    void Create_Data_Folders();
    void Bind_All_Roles();
    // The saves that failed earlier, made once more as the program ends.
    void Save_Pending_At_Exit();

    std::wstring app_path_;
    bool owns_message_handler_ = false;
};

// The folder that holds the running program file, without a trailing backslash.
std::wstring Program_Folder();
