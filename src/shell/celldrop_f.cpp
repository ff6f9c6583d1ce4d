// The main form: its window and start-up, the event procedures of its control arrays, showing its two
// screens, and the start and end of a paste run, which tie the screens and the run together.
#include "celldrop_f.h"

#include <windows.h>

#include <algorithm>

#include "celldrop_controls.h"
#include "control_states.h"
#include "file_checks.h"
#include "file_lock.h"
#include "layout.h"
#include "message_box.h"
#include "message_box_ok.h"
#include "message_pump.h"
#include "mouse_pointer.h"
#include "paths.h"
#include "process_priority.h"
#include "scoped_value.h"
#include "target_choice.h"
#include "text.h"
#include "twips.h"
#include "ui_text.h"
#include "wait.h"

namespace {

const wchar_t* Main_Title() { return Ui_Text(Text_Id::Main_Title); }

}  // namespace

std::wstring Program_Folder() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

CellDrop_F::CellDrop_F(std::wstring app_path) : Form(L"CellDrop_F", Main_Title()), app_path_(std::move(app_path)) {
    Paste.Return_To_Setup_Screen = [this] { Cmd_Control_Excel2_End(); };
}

void CellDrop_F::On_Load() {
    Add_Controls(CellDrop_Control_Table());
    for (int i = 0; i <= 2; ++i) (*this)(L"Pic_Control", i).Set_Border(true);
    (*this)(L"Pic_Screen").Set_Border(true);
    (*this)(L"Pic_Scroll").Set_Border(true);
    (*this)(L"Timer1", 0).Set_Interval(1000);
    Chooser_Pictures.Add((*this)(L"Cmd_Control", 0).Hwnd(), Stock_Picture::File,
                         Ui_Text(Text_Id::Workbook_Chooser_Tip));
    Chooser_Pictures.Add((*this)(L"Cmd_Control", 2).Hwnd(), Stock_Picture::Folder,
                         Ui_Text(Text_Id::Folder_Chooser_Tip));
    Run.On_Take_Back_Change([this] { Paste.Show_Take_Back_State(); });
    Run.On_Notice_Change([this] { Paste.Show_Waiting(); });
    Run.On_Number_Taken_Back([this](int number) { Paste.Picture_Number_Taken_Back(number); });
    Run.On_Case_Sheet([this](const Call_Result& added) { Paste.Case_Sheet_Added(added); });

    On(Control_Event::Click, L"Cmd_Control", [this](int i) { Cmd_Control_Click(i); });
    On(Control_Event::Click, L"Che_Control", [this](int i) { Che_Control_Click(i); });
    On(Control_Event::Click, L"Opt_Joken", [this](int i) { Opt_Joken_Click(i); });
    On(Control_Event::Change, L"Txt_File", [this](int i) {
        if (Paste.Txt_Picture_Number && i == Paste.Txt_Picture_Number->Index())
            Paste.Txt_Picture_Number_Change();
        else
            Setup.Txt_File_Change(i);
    });
    On(Control_Event::Click, L"Cmd_Update2", [this](int i) { Cmd_Update2_Click(i); });
    On(Control_Event::Click, L"Cmd_Cancel", [this](int) { Cmd_Cancel_Click(); });
    On(Control_Event::Timer, L"Timer1", [this](int i) { Setup.Timer1_Timer(i); });
    On(Control_Event::Click, L"Lst_Select", [this](int i) { Lst_Select_Click(i); });
    On(Control_Event::Change, L"VScroll1", [this](int) { Paste.VScroll1_Change(); });
    On(Control_Event::Scroll, L"VScroll1", [this](int) { Paste.VScroll1_Change(); });
    On(Control_Event::Click, L"Img_Pic", [this](int i) { Paste.Img_Pic_Click(i); });

    // Every message of the program goes through the box that holds this window in front, unless a
    // handler is in place already (tests record messages instead).
    if (!Has_Message_Handler()) {
        Set_Message_Handler([this](const std::wstring& text) { Message_Box_Ok(Hwnd(), text, Main_Title()); });
        Set_Question_Handler(
            [this](const std::wstring& text) { return Message_Box_Yes_No(Hwnd(), text, Main_Title()); });
        owns_message_handler_ = true;
    }
    Form_Load();
}

void CellDrop_F::Form_Load() {
    Set_Timer(false);
    App_Path = app_path_;
    Keys.Show(Screen_Keys::Screen_Setup);
    const Hourglass busy;
    Do_Events();

    Registry.Reset();
    Setup.Flg_Blink = false;
    Set_Timer(true);
    Setup.Tim_エラーチェック_Enabled(false);

    Set_Enabled(false);
    // Checks run from the timer's passes only, each of which allows them for itself.
    const Scoped_Value no_checks(Setup.Flg_Check, false);
    Do_Events();

    Create_Data_Folders();
    Paste.Build_Picture_Grid();
    (*this)(L"Cmd_Update2", 0).Set_Enabled(false);
    Bind_All_Roles();

    TextBox_Clear_Process();
    Pic_Control_Posission();
    Control& target_row = *Setup.Pic_Control_Target;
    target_row.Move(120, 360, target_row.Width(), target_row.Height());
    Control& target_label = *Paste.Label1_Target;
    target_label.Move(target_label.Left(), Setup.Txt_Target->Top(), target_label.Width(), Setup.Txt_Target->Height());

    Setup.Cmd_Kotei_New->Set_Enabled(true);
    for (Control* c : {Setup.Cmd_Kotei_Delete, Setup.Cmd_Kotei_Up, Setup.Cmd_Kotei_Down, Setup.Cmd_Kotei_Sort[0],
                       Setup.Cmd_Kotei_Sort[1]})
        c->Set_Enabled(false);

    const Control& start = (*this)(L"Cmd_Update2", 0);
    Form_Fit(*this, start, start);
    Form_Center(*this);

    Do_Events();
    Setup.Text_Update(L"R");

    Setup.Txt_File_Change(0);
    Che_Control_Click(0);
    Opt_Joken_Click(0);
    List_Process();

    Setup.Tim_エラーチェック_Enabled(true);
    Set_Enabled(true);
    Show();
    // The first check runs as soon as the window shows instead of a second later, so that the start
    // button is usable at once; the timer goes on checking every second.
    if (Setup.Tim_エラーチェック && Setup.Tim_エラーチェック->Index())
        Setup.Timer1_Timer(*Setup.Tim_エラーチェック->Index());
    Chooser_Pictures.Finish_Later(Hwnd());
}

void CellDrop_F::Make_Paste_Screen() {
    Control& screen = (*this)(L"Pic_Control", 2);
    if (screen.Hwnd()) return;
    // Most of the form's controls are the paste screen's, and many starts never show it.
    Make_Windows(screen);
    for (int option : {0, 1})
        Chooser_Pictures.Add_Tip(Hwnd(), (*this)(L"Opt_Joken", option).Hwnd(), Ui_Text(Text_Id::Paste_Switch_Tip));
    Chooser_Pictures.Add_Tip(Hwnd(), (*this)(L"Cmd_Control", 14).Hwnd(), Ui_Text(Text_Id::Take_Back_Tip));
    Chooser_Pictures.Add_Tip(Hwnd(), (*this)(L"Che_Control", 4).Hwnd(), Ui_Text(Text_Id::Picture_Time_Tip));
    Chooser_Pictures.Add_Tip(Hwnd(), (*this)(L"Cmd_Control", 15).Hwnd(), Ui_Text(Text_Id::New_Sheet_Tip));
    Chooser_Pictures.Add_Tip(Hwnd(), (*this)(L"Cmd_Control", 16).Hwnd(), Ui_Text(Text_Id::Paste_Selected_History_Tip));
}

void CellDrop_F::Create_Data_Folders() {
    struct Folder {
        std::wstring* Field;
        const wchar_t* Name;
    };
    const Folder folders[] = {{&Path_Para, L"\\Para"},
                              {&Path_RirekiText, L"\\RirekiText"},
                              {&Path_RirekiPic, L"\\RirekiPic"},
                              {&Path_Kotei, L"\\Kotei"}};
    std::wstring failed;
    for (const Folder& f : folders) {
        *f.Field = App_Path + f.Name;
        const DWORD attributes = GetFileAttributesW(f.Field->c_str());
        const bool usable = attributes == INVALID_FILE_ATTRIBUTES ? CreateDirectoryW(f.Field->c_str(), nullptr) != FALSE
                                                                  : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!usable) failed += Get_CrLf() + *f.Field;
    }
    Setup.Params() = Param_Pass(Path_Para, Show_Message);
    Paste.Rireki_Texts.Folder = Path_RirekiText;
    Paste.Rireki_Pics.Folder = Path_RirekiPic;
    // A save that a stopped program left half done is completed, or undone, before anything reads
    // the folders, so that each holds its whole numbered set from the start.
    (void)Paste.Rireki_Texts.Store().Load();
    (void)Paste.Rireki_Pics.Store().Load();
    (void)Setup.Kotei.Store(Path_Kotei).Load();
    // Without its folders the program cannot keep settings or history: say so instead of losing them silently.
    if (!failed.empty()) MsgBox_Process(Ui_Text(Text_Id::Folders_Not_Created) + failed);
}

void CellDrop_F::Bind_All_Roles() {
    using Registration = void (CellDrop_F::*)(bool);
    static constexpr Registration registrations[] = {
        &CellDrop_F::Set_Pic_Control,   &CellDrop_F::Set_Che_Control, &CellDrop_F::Set_Cmd_Control,
        &CellDrop_F::Set_Pic_Container, &CellDrop_F::Set_Label1,      &CellDrop_F::Set_Lst_Select,
        &CellDrop_F::Set_Txt_Value3,    &CellDrop_F::Set_Txt_File,    &CellDrop_F::Set_Opt_Joken,
    };
    for (Registration r : registrations) {
        (this->*r)(false);
        (this->*r)(true);
        if (r == &CellDrop_F::Set_Pic_Control) Pic_Visble_False();
    }
}

bool CellDrop_F::On_Query_Unload() {
    // The settings are saved by the two buttons only; only saves that failed before are made here.
    Save_Pending_At_Exit();
    Form_Close_All(*this);
    return true;
}

void CellDrop_F::Save_Pending_At_Exit() {
    Paste.Save_Pending_History_At_Exit();
    if (Setup.Kotei.Pending()) {
        Setup.Text_Update_ツール_CellDrop1_Kotei_Write();
        Saves.Report_Save_Failures();
    }
}

void CellDrop_F::Cmd_Cancel_Click() { Unload(); }

void CellDrop_F::Cmd_Update2_Click(int index) {
    if (index == 1) {
        const Hourglass busy;
        Setup.Text_Update(L"W");
        return;
    }
    if (index != 0) return;
    // The run before still waits for its Excel to answer; the label says so.
    if (Run.Active()) return;

    const Hourglass busy;
    Setup.Text_Update(L"W");
    Pic_Control_Enabled(false);
    Setup.Tim_エラーチェック_Enabled(false);

    const std::wstring target = Setup.Txt_Target->Caption();
    const bool names_file = Check_ツール_CellDrop0_File(target);
    if (names_file && !Is_Plain_File(target)) {
        // Gone since the last check: a missing file is not a locked one.
        MsgBox_Process(Ui_Text(Text_Id::Target_Missing));
    } else if (names_file && !Check_File_Lock(target)) {
        MsgBox_Process(Ui_Format(Text_Id::File_Locked, {target}));
    } else if (Keys.Is_Screen(Screen_Keys::Screen_Setup)) {
        Run.Begin();
        const Raised_Priority priority;  // for the run only
        Keys.Screen_Key = Screen_Keys::Screen_Paste;
        Excel_ツール_CellDrop2_Start();
        // Showing the paste screen switched the error check on again; it has nothing to check there.
        Setup.Tim_エラーチェック_Enabled(false);
        Setup.Pic_Control_Setup->Set_Visible(false);
        Paste.Pic_Control_Paste->Set_Visible(true);
        Paste.Pic_Control_Paste->Set_Enabled(true);

        if (!Run.Start_Excel()) {
            // Without Excel there is nothing to paste into: say so and go back to the set-up screen.
            MsgBox_Process(Ui_Text(Text_Id::Excel_Not_Started));
            Cmd_Control_Excel2_End();
        } else {
            Run.Open_Target(names_file ? target : std::wstring());
            if (Keys.Is_Screen(Screen_Keys::Screen_Paste)) {
                Show();
                MsgBox_Process(Ui_Text(Text_Id::Start_Copying));
                Run.Mark_User_Copy();
            }
            Excel_Process();
        }
        Paste.Hold_Run_Keys(false);
        Run.End();
    }
    // The window may have been closed during the paste run.
    if (!Is_Loaded()) return;
    Pic_Control_Enabled(true);
    Setup.Tim_エラーチェック_Enabled(true);
}

void CellDrop_F::Excel_ツール_CellDrop2_Start() {
    Set_Screen_Mouse_Pointer(Mouse_Pointer::Hourglass);
    List_Process();
    // From here on every copy is taken, also while Excel starts and the start message is open.
    if (!Run.Watch_Clipboard(Hwnd())) MsgBox_Process(Ui_Text(Text_Id::Clipboard_Not_Watched));
    Paste.Hold_Run_Keys(true);
    Set_Screen_Mouse_Pointer(Mouse_Pointer::Hourglass);

    // "しない" then "する": Paste_On ends at 1 and the clipboard is emptied once more.
    Paste.Opt_Table_Paste[0]->Set_Value(1);
    Do_Events();
    Paste.Opt_Table_Paste[1]->Set_Value(1);
    Do_Events();

    Paste.Label1_Folder->Set_Caption(Setup.Txt_Folder->Caption());
    Paste.Lst_File->Set_List(Setup.Value_List_Lines(0));
    Paste.Lst_Url->Set_List(Setup.Value_List_Lines(1));
    Paste.Text_Update_ツール_CellDrop2(L"R");

    Paste.Text_Update_ツール_CellDrop2_Text(L"R");
    Paste.Excel_ツール_CellDrop2_RirekiText_Display();
    Paste.Text_Update_ツール_CellDrop2_Pic(L"R");
    Paste.Excel_ツール_CellDrop2_RirekiPic_Display();
}

void CellDrop_F::Excel_Process() {
    if (!Keys.Is_Screen(Screen_Keys::Screen_Paste)) return;
    (void)Run.Paste(Paste.Options, Paste.Host());
    Paste.Report_History_Failures();
}

std::optional<LRESULT> CellDrop_F::On_Message(UINT message, WPARAM wparam, LPARAM) {
    // A copy was taken: the paste loop's wait has ended by now.
    if (message == Clipboard_Capture::Wake_Message) {
        if (Run.Excel_Busy()) Paste.Show_Waiting();  // one more copy waits
        return 0;
    }
    if (message == WM_HOTKEY && Paste.Run_Keys && Keys.Is_Screen(Screen_Keys::Screen_Paste) &&
        Paste.Pic_Control_Paste->Enabled()) {
        const auto& options = Paste.Opt_Table_Paste;
        Control& take_back = *Paste.Cmd_Take_Back;
        Control& new_sheet = *Paste.Cmd_New_Sheet;
        // Exactly as a click on the option or the button. The option's own state, not Paste_On, which
        // follows a click only once its handler has let messages run (a second key may come meanwhile).
        if (wparam == Paste_Screen::Hot_Key_Paste) options[options[1]->Value() != 0 ? 0 : 1]->Set_Value(1);
        // Not while a message of the program waits for the user: a take-back could open a second one.
        if (wparam == Paste_Screen::Hot_Key_Take_Back && !Message_Open() && take_back.Enabled())
            Cmd_Control_Click(take_back.Index().value_or(-1));
        if (wparam == Paste_Screen::Hot_Key_New_Sheet && !Message_Open() && new_sheet.Enabled())
            Cmd_Control_Click(new_sheet.Index().value_or(-1));
        return 0;
    }
    return std::nullopt;
}

void CellDrop_F::Cmd_Control_Excel2_End() {
    Paste.Hold_Run_Keys(false);
    Keys.Show(Screen_Keys::Screen_Setup);
    List_Process();
    Setup.Tim_エラーチェック_Enabled(true);
    // An ended run may still wait for its Excel: the start button says so from the first moment.
    if (Run.Active()) Setup.Check_Process();
}

void CellDrop_F::MsgBox_Process(const std::wstring& text) { Show_Message(text); }

CellDrop_F::~CellDrop_F() {
    if (owns_message_handler_) {
        Set_Message_Handler(nullptr);
        Set_Question_Handler(nullptr);
    }
}

// Event procedures: each event goes to the screen that owns the control.

void CellDrop_F::Cmd_Control_Click(int index) {
    const Hourglass busy;
    Do_Events();
    auto is = [index](const Control* bound) { return bound && bound->Index() == index; };
    // The file dialogs, the history editor, the file list and the fixed-string edits are wired here as
    // they are built.
    Setup.Cmd_Control_Click_Path_Boxes(index);
    if (is(Paste.Cmd_Paste_End)) {
        Paste.Cmd_Control_Excel2_Stop();
        Cmd_Control_Excel2_End();
    } else if (is(Paste.Cmd_Take_Back)) {
        Paste.Take_Back_Last_Paste();
    } else if (is(Paste.Cmd_New_Sheet)) {
        Paste.Cmd_New_Sheet_Click();
    } else if (is(Paste.Cmd_Paste_History)) {
        Paste.Cmd_Paste_History_Click();
    } else if (is(Setup.Cmd_Kotei_New)) {
        Setup.Cmd_Control_Excel1_Kotei_New();
    } else if (is(Setup.Cmd_Kotei_Delete)) {
        Setup.Cmd_Control_Excel1_Kotei_Del();
    } else if (is(Setup.Cmd_Kotei_Up)) {
        Setup.Cmd_Control_Excel1_Kotei_Up();
    } else if (is(Setup.Cmd_Kotei_Down)) {
        Setup.Cmd_Control_Excel1_Kotei_Down();
    } else if (is(Setup.Cmd_Kotei_Sort[0])) {
        Setup.Cmd_Control_Excel1_Kotei_Sort(0);
    } else if (is(Setup.Cmd_Kotei_Sort[1])) {
        Setup.Cmd_Control_Excel1_Kotei_Sort(1);
    }
}

void CellDrop_F::Che_Control_Click(int index) {
    const int max = Control_Array_Max(*this, L"Che_Control");
    std::vector<Control*> boxes;
    for (int i = 0; i <= max; ++i)
        if (Control* c = Find(L"Che_Control", i)) boxes.push_back(c);
    Check_Appearance_All(boxes);
    // A click rebuilds the list; start-up, which sets the box from the settings, keeps the saved list.
    if (Setup.Che_Sub_Folder && index == Setup.Che_Sub_Folder->Index() && Enabled())
        Setup.Cmd_Control_Excel1_File_Search();
    if (Paste.Che_Picture_Caption && index == Paste.Che_Picture_Caption->Index()) Paste.Che_Picture_Caption_Click();
    for (Control* box : {Paste.Che_Picture_Number, Paste.Che_Move_Past})
        if (box && index == box->Index()) Paste.Che_Picture_Steps_Click();
}

void CellDrop_F::Opt_Joken_Click(int index) {
    if (Keys.Is_Screen(Screen_Keys::Screen_Paste)) Paste.Opt_Joken_ツール_CellDrop2(index);
}

void CellDrop_F::Lst_Select_Click(int index) {
    if (Keys.Is_Screen(Screen_Keys::Screen_Setup)) {
        if (Setup.Lst_Kotei_Setup && index == Setup.Lst_Kotei_Setup->Index()) Setup.Lst_Select_ツール_CellDrop();
    } else if (Keys.Is_Screen(Screen_Keys::Screen_Paste)) {
        // Entries of the history being chosen for "選んだ履歴を順に貼付" stay chosen, unpasted.
        if (Paste.Choosing_Several(index)) return;
        Paste.Lst_Select_ツール_CellDrop2(index);
        // The selection is let go so that the same entry can be clicked again.
        Wait_Time(200);
        if (Control* list = Find(L"Lst_Select", index)) list->Clear_Selection();
    }
}

// Showing the two screens.

void CellDrop_F::Pic_Control_Enabled(bool enabled) {
    const int max = Control_Array_Max(*this, L"Pic_Control");
    for (int i = 0; i <= max; ++i)
        if (Control* c = Find(L"Pic_Control", i)) c->Set_Enabled(enabled);
}

void CellDrop_F::Pic_Control_Posission() {
    const int max = Control_Array_Max(*this, L"Pic_Control");
    for (int i = 0; i <= max; ++i)
        if (Control* c = Find(L"Pic_Control", i)) c->Move(120, 1200, c->Width(), c->Height());
}

void CellDrop_F::Pic_Visble_False() {
    const int max = Control_Array_Max(*this, L"Pic_Control");
    for (int i = 0; i <= max; ++i)
        if (Control* c = Find(L"Pic_Control", i)) c->Set_Visible(false);
}

void CellDrop_F::Container_Pic_Control(Control& container) {
    container.Set_Visible(true);
    Tab_Order_In(*this, container);
    Z_Order_In(*this, container);
}

void CellDrop_F::TextBox_Clear_Process() {
    for (const auto& c : Controls())
        if (c->Kind() == Control_Kind::Text_Box || c->Kind() == Control_Kind::Multi_Line_Text_Box) c->Set_Caption(L"");
}

void CellDrop_F::List_Process() {
    if (Keys.Is_Screen(Screen_Keys::Screen_Paste)) Make_Paste_Screen();
    Pic_Visble_False();
    Setup.Tim_エラーチェック_Enabled(true);
    Opt_Joken_Click(0);

    if (Keys.Is_Screen(Screen_Keys::Screen_Setup)) {
        Setup.Txt_Target->Set_Visible(true);
        Paste.Label1_Target->Set_Visible(false);
        for (Control* c : {Setup.Cmd_Target_Pc, Setup.Cmd_Target_Open, Setup.Cmd_Target_History}) c->Set_Enabled(true);
        (*this)(L"Cmd_Cancel").Set_Enabled(true);
        for (Control* c : Setup.Cmd_Kotei_Sort) c->Set_Enabled(Setup.Kotei.Kotei_Max > 0);
        Setup.Kotei.Kotei_Index = -1;
        Setup.Lst_Kotei_Setup->Set_List(Setup.Kotei_Lines());
        Container_Pic_Control(*Setup.Pic_Control_Setup);
        Container_Pic_Control(*Setup.Pic_Control_Target);
        Form_Fit(*this, *Setup.Pic_Control_Setup, *Setup.Pic_Control_Setup);
    } else if (Keys.Is_Screen(Screen_Keys::Screen_Paste)) {
        Setup.Txt_Target->Set_Visible(false);
        Paste.Label1_Target->Set_Visible(true);
        for (Control* c : {Setup.Cmd_Target_Pc, Setup.Cmd_Target_Open, Setup.Cmd_Target_History}) c->Set_Enabled(false);
        Setup.Pic_Control_Target->Set_Visible(true);
        (*this)(L"Cmd_Cancel").Set_Enabled(false);
        Setup.Kotei.Kotei_Index = -1;
        Paste.Lst_Kotei_Paste->Set_List(Setup.Kotei_Lines());
        Paste.Label1_Target->Set_Caption(Setup.Txt_Target->Caption());
        Container_Pic_Control(*Setup.Pic_Control_Target);
        Container_Pic_Control(*Paste.Pic_Control_Paste);
        Form_Fit(*this, *Paste.Pic_Control_Paste, *Paste.Pic_Control_Paste);
    }
}
