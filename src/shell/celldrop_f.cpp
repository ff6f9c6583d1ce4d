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

CellDrop_F::CellDrop_F(std::wstring app_path) : Form(L"CellDrop_F", Main_Title()), app_path_(std::move(app_path)) {}

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
    journal_.On_Change([this] { Show_Take_Back_State(); });

    On(Control_Event::Click, L"Cmd_Control", [this](int i) { Cmd_Control_Click(i); });
    On(Control_Event::Click, L"Che_Control", [this](int i) { Che_Control_Click(i); });
    On(Control_Event::Click, L"Opt_Joken", [this](int i) { Opt_Joken_Click(i); });
    On(Control_Event::Change, L"Txt_File", [this](int i) { Txt_File_Change(i); });
    On(Control_Event::Click, L"Cmd_Update2", [this](int i) { Cmd_Update2_Click(i); });
    On(Control_Event::Click, L"Cmd_Cancel", [this](int) { Cmd_Cancel_Click(); });
    On(Control_Event::Timer, L"Timer1", [this](int i) { Timer1_Timer(i); });
    On(Control_Event::Click, L"Lst_Select", [this](int i) { Lst_Select_Click(i); });
    On(Control_Event::Change, L"VScroll1", [this](int) { VScroll1_Change(); });
    On(Control_Event::Scroll, L"VScroll1", [this](int) { VScroll1_Change(); });
    On(Control_Event::Click, L"Img_Pic", [this](int i) { Img_Pic_Click(i); });

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
    Group_Key = Group_Tool;
    Screen_Key = Screen_Setup;
    const Hourglass busy;
    Do_Events();

    Registry.Reset();
    Flg_Blink = false;
    Set_Timer(true);
    Tim_エラーチェック_Enabled(false);

    Set_Enabled(false);
    // Checks run from the timer's passes only, each of which allows them for itself.
    const Scoped_Value no_checks(Flg_Check, false);
    Do_Events();

    Create_Data_Folders();
    Build_Picture_Grid();
    (*this)(L"Cmd_Update2", 0).Set_Enabled(false);
    Bind_All_Roles();

    TextBox_Clear_Process();
    Pic_Control_Posission();
    Pic_Control_Target->Move(120, 360, Pic_Control_Target->Width(), Pic_Control_Target->Height());
    Label1_Target->Move(Label1_Target->Left(), Txt_Target->Top(), Label1_Target->Width(), Txt_Target->Height());

    Cmd_Kotei_New->Set_Enabled(true);
    for (Control* c : {Cmd_Kotei_Delete, Cmd_Kotei_Up, Cmd_Kotei_Down, Cmd_Kotei_Sort[0], Cmd_Kotei_Sort[1]})
        c->Set_Enabled(false);

    const Control& start = (*this)(L"Cmd_Update2", 0);
    Form_Fit(*this, start, start);
    Form_Center(*this);

    Do_Events();
    Text_Update(L"R");

    Txt_File_Change(0);
    Che_Control_Click(0);
    Opt_Joken_Click(0);
    List_Process();

    Tim_エラーチェック_Enabled(true);
    Set_Enabled(true);
    Show();
    // The first check runs as soon as the window shows instead of a second later, so that the start
    // button is usable at once; the timer goes on checking every second.
    if (Tim_エラーチェック && Tim_エラーチェック->Index()) Timer1_Timer(*Tim_エラーチェック->Index());
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
    params_ = Param_Pass(Path_Para, Show_Message);
    Rireki_Texts.Folder = Path_RirekiText;
    Rireki_Pics.Folder = Path_RirekiPic;
    // A save that a stopped program left half done is completed, or undone, before anything reads
    // the folders, so that each holds its whole numbered set from the start.
    (void)Rireki_Texts.Store().Load();
    (void)Rireki_Pics.Store().Load();
    (void)Kotei.Store(Path_Kotei).Load();
    // Without its folders the program cannot keep settings or history: say so instead of losing them silently.
    if (!failed.empty()) MsgBox_Process(Ui_Text(Text_Id::Folders_Not_Created) + failed);
}

void CellDrop_F::Build_Picture_Grid() {
    Control& screen = (*this)(L"Pic_Screen");
    Control& sheet = (*this)(L"Pic_Scroll");
    sheet.Set_Border(false);
    sheet.Move(0, 0, screen.Inner_Width(), sheet.Height());
    Pic_Cell_Size = sheet.Width() / 5;
    Rireki_Pics.Thumbnail_Side = std::max(1, Twips_To_Pixels_X(Pic_Cell_Size));

    Control& first = (*this)(L"Img_Pic", 0);
    first.Move(first.Left(), first.Top(), Pic_Cell_Size, Pic_Cell_Size);
    for (int n = 1; n <= 29; ++n) {
        Control& cell = Load_Element(L"Img_Pic", n);
        cell.Set_Visible(true);
        if (n % 5 == 0) {
            const Control& above = (*this)(L"Img_Pic", n - 5);
            cell.Move(0, above.Top() + Pic_Cell_Size, Pic_Cell_Size, Pic_Cell_Size);
        } else {
            const Control& previous = (*this)(L"Img_Pic", n - 1);
            cell.Move(previous.Left() + Pic_Cell_Size, previous.Top(), Pic_Cell_Size, Pic_Cell_Size);
        }
    }
    // The sheet holds all six rows; the scroll bar slides it inside its frame.
    sheet.Set_Height(6 * Pic_Cell_Size);
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

void CellDrop_F::Cmd_Cancel_Click() { Unload(); }

void CellDrop_F::Set_Timer(bool bind) {
    Control& timer = (*this)(L"Timer1", 0);
    if (!bind) timer.Set_Enabled(false);
    Registry.Set_Object(Tim_エラーチェック, timer, bind);
}

void CellDrop_F::Tim_エラーチェック_Enabled(bool enabled) {
    if (Tim_エラーチェック) Tim_エラーチェック->Set_Enabled(enabled);
    Control& label = (*this)(L"Lbl_Error_Check");
    label.Set_Visible(enabled);
    if (!enabled) label.Set_Caption(L"");
}

void CellDrop_F::Timer1_Timer(int index) {
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

void CellDrop_F::Check_Process() {
    Control& label = (*this)(L"Lbl_Error_Check");
    label.Set_Caption(L"");
    if (Is_Screen(Screen_Setup) && run_active_) {
        label.Set_Caption(Ui_Text(Text_Id::Waiting_For_Previous_Excel));
    } else if (Is_Screen(Screen_Setup)) {
        Check_ツール_CellDrop0();
        if (label.Caption().empty()) Check_ツール_CellDrop1();
    }
    Control& start = (*this)(L"Cmd_Update2", 0);
    if (!label.Caption().empty()) {
        start.Set_Enabled(false);
        label.Set_Visible(true);
        label.Set_Fore_Color(Flg_Blink ? Colour{255} : static_cast<Colour>(GetSysColor(COLOR_BTNTEXT)));
    } else {
        start.Set_Enabled(true);
        label.Set_Visible(false);
    }
}

void CellDrop_F::Cmd_Update2_Click(int index) {
    if (index == 1) {
        const Hourglass busy;
        Text_Update(L"W");
        return;
    }
    if (index != 0) return;
    // The run before still waits for its Excel to answer; the label says so.
    if (run_active_) return;

    const Hourglass busy;
    Text_Update(L"W");
    Pic_Control_Enabled(false);
    Tim_エラーチェック_Enabled(false);

    const std::wstring target = Txt_Target->Caption();
    const bool names_file = Check_ツール_CellDrop0_File(target);
    if (names_file && !Is_Plain_File(target)) {
        // Gone since the last check: a missing file is not a locked one.
        MsgBox_Process(Ui_Text(Text_Id::Target_Missing));
    } else if (names_file && !Check_File_Lock(target)) {
        MsgBox_Process(Ui_Format(Text_Id::File_Locked, {target}));
    } else if (Is_Screen(Screen_Setup)) {
        run_active_ = true;
        const Raised_Priority priority;  // for the run only
        Screen_Key = Screen_Paste;
        Excel_ツール_CellDrop2_Start();
        // Showing the paste screen switched the error check on again; it has nothing to check there.
        Tim_エラーチェック_Enabled(false);
        Pic_Control_Setup->Set_Visible(false);
        Pic_Control_Paste->Set_Visible(true);
        Pic_Control_Paste->Set_Enabled(true);

        if (!Excel.Xl_Create()) {
            // Without Excel there is nothing to paste into: say so and go back to the set-up screen.
            MsgBox_Process(Ui_Text(Text_Id::Excel_Not_Started));
            Cmd_Control_Excel2_End();
        } else {
            Excel.Open_Target(names_file ? target : std::wstring());
            if (Is_Screen(Screen_Paste)) {
                Show();
                MsgBox_Process(Ui_Text(Text_Id::Start_Copying));
                Clip.Paste_Source = Copy_Source::User;
                Capture.Mark_Next(Copy_Source::User);
            }
            Excel_Process();
        }
        Capture.Stop();
        Hold_Run_Keys(false);
        Let_Go_Of_Excel(Excel, journal_);
        run_active_ = false;
    }
    // The window may have been closed during the paste run.
    if (!Is_Loaded()) return;
    Pic_Control_Enabled(true);
    Tim_エラーチェック_Enabled(true);
}

void CellDrop_F::Excel_ツール_CellDrop2_Start() {
    Set_Screen_Mouse_Pointer(Mouse_Pointer::Hourglass);
    List_Process();
    Excel_ツール_CellDrop2_Clear(Clip);
    (void)Excel_ツール_CellDrop2_GetData(Clip);
    Clip.Clip_Text_Last = Clip.Clip_Text;
    // From here on every copy is taken, also while Excel starts and the start message is open.
    if (!Capture.Start(Hwnd())) MsgBox_Process(Ui_Text(Text_Id::Clipboard_Not_Watched));
    Hold_Run_Keys(true);
    journal_.Clear();
    take_back_turns_.Drop_Waiting();  // a press the last run had no time for
    Set_Screen_Mouse_Pointer(Mouse_Pointer::Hourglass);

    // "しない" then "する": Paste_On ends at 1 and the clipboard is emptied once more.
    Opt_Table_Paste[0]->Set_Value(1);
    Do_Events();
    Opt_Table_Paste[1]->Set_Value(1);
    Do_Events();

    Label1_Folder->Set_Caption(Txt_Folder->Caption());
    Lst_File->Set_List(Value_List_Lines(0));
    Lst_Url->Set_List(Value_List_Lines(1));
    Text_Update_ツール_CellDrop2(L"R");

    Text_Update_ツール_CellDrop2_Text(L"R");
    Excel_ツール_CellDrop2_RirekiText_Display();
    Text_Update_ツール_CellDrop2_Pic(L"R");
    Excel_ツール_CellDrop2_RirekiPic_Display();
}

void CellDrop_F::Excel_Process() {
    if (!Is_Screen(Screen_Paste)) return;
    in_paste_loop_ = true;
    (void)Excel_ツール_CellDrop2(Excel, Options, Clip, Capture, *this);
    in_paste_loop_ = false;
    Report_History_Failures();
}

void CellDrop_F::Show_Waiting() {
    std::wstring line;
    if (Run_Keys && excel_busy_) line = Ui_Format(Text_Id::Waiting_For_Excel, {std::to_wstring(Capture.Size())});
    if (Run_Keys && !paste_notice_.empty())
        line += (line.empty() ? L"" : Ui_Text(Text_Id::Notice_Separator)) + paste_notice_;
    Label1_Waiting->Set_Caption(line);
}

void CellDrop_F::Paste_Failed(const std::wstring& message) {
    paste_notice_ = Ui_Format(Text_Id::Failure_Count, {message, std::to_wstring(++failed_pastes_)});
    Show_Waiting();
    Flash_Taskbar_Button();
}

void CellDrop_F::Copies_Skipped(const std::wstring& message) { Show_Notice(message); }

void CellDrop_F::Show_Notice(const std::wstring& message) {
    paste_notice_ = message;
    Show_Waiting();
    Flash_Taskbar_Button();
}

void CellDrop_F::Flash_Taskbar_Button() {
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = Hwnd();
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    (void)FlashWindowEx(&flash);
}

void CellDrop_F::Hold_Run_Keys(bool hold) {
    // The keys and the wait line go with the run.
    Set_Busy_Watcher(hold ? static_cast<Busy_Watcher*>(this) : nullptr);
    excel_busy_ = false;
    // Each run counts its own failed pastes.
    if (hold) {
        paste_notice_.clear();
        failed_pastes_ = 0;
    }
    Run_Keys.reset();
    if (hold) {
        static constexpr Hot_Key keys[] = {{Hot_Key_Paste, 'P', L"Ctrl+Alt+P"},
                                           {Hot_Key_Take_Back, 'Z', L"Ctrl+Alt+Z"}};
        Run_Keys.emplace(Hwnd(), keys);
    }
    Label1_Hot_Keys->Set_Caption(Run_Keys ? Run_Keys->Problems() : std::wstring());
    Show_Waiting();
}

void CellDrop_F::Take_Back_Last_Paste() {
    if (!Is_Screen(Screen_Paste) || !run_active_) return;
    if (take_back_turns_.Press()) Make_Take_Backs();
}

void CellDrop_F::Make_Take_Backs() {
    // A paste being made is finished first (its step's end calls here again): the presses take it back too.
    if (journal_.Pasting()) {
        take_back_turns_.Hold();
        return;
    }
    while (take_back_turns_.Next()) {
        switch (journal_.Take_Back_Last(Excel)) {
            case Paste_Journal::Take_Back::Done:
                // The same text copied once more is a new copy again.
                Clip.Clip_Text_Last.clear();
                continue;
            case Paste_Journal::Take_Back::Changed:
                // Presses that came meanwhile were made before the user knew of the refusal.
                take_back_turns_.Drop_Waiting();
                if (Ask_Yes_No(Ui_Text(Text_Id::Changed_After_Paste))) journal_.Drop_Refused();
                continue;
            case Paste_Journal::Take_Back::Failed:
                take_back_turns_.Drop_Waiting();
                MsgBox_Process(Ui_Text(Text_Id::Take_Back_Failed));
                continue;
            case Paste_Journal::Take_Back::Nothing:
                take_back_turns_.Drop_Waiting();
                continue;
        }
    }
    Show_Take_Back_State();
}

void CellDrop_F::Show_Take_Back_State() {
    if (Is_Loaded() && Cmd_Take_Back) Cmd_Take_Back->Set_Enabled(!journal_.Empty());
}

std::optional<LRESULT> CellDrop_F::On_Message(UINT message, WPARAM wparam, LPARAM) {
    // A copy was taken: the paste loop's wait has ended by now.
    if (message == Clipboard_Capture::Wake_Message) {
        if (excel_busy_) Show_Waiting();  // one more copy waits
        return 0;
    }
    if (message == WM_HOTKEY && Run_Keys && Is_Screen(Screen_Paste) && Pic_Control_Paste->Enabled()) {
        // Exactly as a click on the option or the button. The option's own state, not Paste_On, which
        // follows a click only once its handler has let messages run (a second key may come meanwhile).
        if (wparam == Hot_Key_Paste) Opt_Table_Paste[Opt_Table_Paste[1]->Value() != 0 ? 0 : 1]->Set_Value(1);
        // Not while a message of the program waits for the user: a take-back could open a second one.
        if (wparam == Hot_Key_Take_Back && !Message_Open() && Cmd_Take_Back->Enabled())
            Cmd_Control_Click(Cmd_Take_Back->Index().value_or(-1));
        return 0;
    }
    return std::nullopt;
}

Text_Edits CellDrop_F::Edits() {
    // Each edit follows the box whose caption names it.
    Text_Edits edits;
    edits.Widen = Che_Table_Text[0]->Value() == 1;
    edits.Number_As_Text = Che_Table_Text[1]->Value() == 1;
    edits.Date_As_Text = Che_Table_Text[2]->Value() == 1;
    return edits;
}

void CellDrop_F::Cmd_Control_Excel2_End() {
    Hold_Run_Keys(false);
    Group_Key = Group_Tool;
    Screen_Key = Screen_Setup;
    List_Process();
    Tim_エラーチェック_Enabled(true);
    // An ended run may still wait for its Excel: the start button says so from the first moment.
    if (run_active_) Check_Process();
}

void CellDrop_F::MsgBox_Process(const std::wstring& text) { Show_Message(text); }

CellDrop_F::~CellDrop_F() {
    if (owns_message_handler_) {
        Set_Message_Handler(nullptr);
        Set_Question_Handler(nullptr);
    }
}
