// The paste screen: its picture grid, quick lists, notice line, run keys and take-back button.
#include "paste_screen.h"

#include <windows.h>

#include <algorithm>

#include "clipboard.h"
#include "message_box.h"
#include "message_pump.h"
#include "mouse_pointer.h"
#include "open_actions.h"
#include "target_choice.h"
#include "twips.h"
#include "ui_text.h"
#include "wait.h"

void Paste_Screen::Build_Picture_Grid() {
    Control& screen = form_(L"Pic_Screen");
    Control& sheet = form_(L"Pic_Scroll");
    sheet.Set_Border(false);
    sheet.Move(0, 0, screen.Inner_Width(), sheet.Height());
    Pic_Cell_Size = sheet.Width() / 5;
    Rireki_Pics.Thumbnail_Side = std::max(1, Twips_To_Pixels_X(Pic_Cell_Size));

    Control& first = form_(L"Img_Pic", 0);
    first.Move(first.Left(), first.Top(), Pic_Cell_Size, Pic_Cell_Size);
    for (int n = 1; n <= 29; ++n) {
        Control& cell = form_.Load_Element(L"Img_Pic", n);
        cell.Set_Visible(true);
        if (n % 5 == 0) {
            const Control& above = form_(L"Img_Pic", n - 5);
            cell.Move(0, above.Top() + Pic_Cell_Size, Pic_Cell_Size, Pic_Cell_Size);
        } else {
            const Control& previous = form_(L"Img_Pic", n - 1);
            cell.Move(previous.Left() + Pic_Cell_Size, previous.Top(), Pic_Cell_Size, Pic_Cell_Size);
        }
    }
    // The sheet holds all six rows; the scroll bar slides it inside its frame.
    sheet.Set_Height(6 * Pic_Cell_Size);
}

void Paste_Screen::VScroll1_Change() {
    Control& sheet = form_(L"Pic_Scroll");
    sheet.Set_Top(-static_cast<float>(static_cast<std::int16_t>(form_(L"VScroll1").Value())));
}

void Paste_Screen::Lst_Select_ツール_CellDrop2(int index) {
    Control* list = nullptr;
    for (Control* c : {Lst_File, Lst_Url, Lst_Rireki, Lst_Kotei_Paste})
        if (c && c->Index() == index) list = c;
    const int selected = list ? list->List_Index() : -1;
    if (selected < 0) return;
    const std::wstring line = list->List(selected);
    if (list == Lst_File) {
        Lst_Select_File_Open(line);
    } else if (list == Lst_Url) {
        bool started = false;
        {
            const Hourglass busy;
            Do_Events();
            started = Start_Chrome(form_.Hwnd(), line);
        }
        if (!started) Show_Message(Ui_Text(Text_Id::Chrome_Not_Started));
    } else if (list == Lst_Rireki && static_cast<std::size_t>(selected) < shown_texts_.size()) {
        // The entry the user sees: during a run of quick copies the list is redrawn only once they stop.
        Put_On_Clipboard(shown_texts_[static_cast<std::size_t>(selected)], Copy_Source::History);
    } else if (list == Lst_Kotei_Paste && selected <= kotei_.Kotei_Max) {
        Put_On_Clipboard(kotei_.Kotei_Data[static_cast<std::size_t>(selected)], Copy_Source::Fixed);
    }
}

void Paste_Screen::Lst_Select_File_Open(const std::wstring& line) {
    const Hourglass busy;
    Do_Events();
    const File_Line file = Classify_File_Line(Label1_Folder->Caption(), line);
    switch (file.Kind) {
        case File_Line_Kind::Empty:
            break;
        case File_Line_Kind::Missing:
            Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
            Show_Message(Ui_Format(Text_Id::File_Missing, {file.Path}));
            break;
        case File_Line_Kind::Locked:
            Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
            Show_Message(Ui_Format(Text_Id::File_Locked, {file.Path}));
            break;
        case File_Line_Kind::Workbook: {
            const bool opened = run_.Open_Workbook(file.Path);
            Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
            Show_Message(Ui_Format(opened ? Text_Id::Opened_In_Excel : Text_Id::Not_Opened_In_Excel, {file.Path}));
            break;
        }
        case File_Line_Kind::Other:
            // Where the system's long-path policy is off, the shell cannot start a file by such a path.
            if (!ShellExecuteEx_Process(form_.Hwnd(), file.Path) && file.Path.size() >= MAX_PATH) {
                Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
                Show_Message(Ui_Format(Text_Id::Path_Too_Long_To_Open, {file.Path}));
            }
            break;
    }
}

void Paste_Screen::Put_On_Clipboard(const std::wstring& text, Copy_Source source) {
    // Emptied first, so that the entry counts as a new copy even when it equals the last one.
    run_.Forget_Last_Copy();
    // Marked before the write: the copy is taken as soon as the clipboard tells of it.
    run_.Mark_Next(source);
    if (!Clipboard_Set_Text(text)) run_.Mark_User_Copy();
}

void Paste_Screen::Cmd_Control_Excel2_Stop() {
    Flg_Stop = true;
    // Whatever Excel is doing, nothing taken is lost: the copies not pasted enter the history and
    // both histories are written now; the loop closes Excel once it answers.
    run_.Stop_Taking(*this);
    Write_Text_History();
    Write_Picture_History();
    Save_Picture_Number();
}

void Paste_Screen::Hold_Run_Keys(bool hold) {
    // The keys and the wait line go with the run; each run counts its own failed pastes.
    run_.Watch_Busy(hold);
    Run_Keys.reset();
    if (hold) {
        static constexpr Hot_Key keys[] = {{Hot_Key_Paste, 'P', L"Ctrl+Alt+P"},
                                           {Hot_Key_Take_Back, 'Z', L"Ctrl+Alt+Z"},
                                           {Hot_Key_New_Sheet, 'N', L"Ctrl+Alt+N"}};
        Run_Keys.emplace(form_.Hwnd(), keys);
    }
    Label1_Hot_Keys->Set_Caption(Run_Keys ? Run_Keys->Problems() : std::wstring());
    Show_Waiting();
}

void Paste_Screen::Show_Waiting() { Label1_Waiting->Set_Caption(Run_Keys ? run_.Notice_Line() : std::wstring()); }

void Paste_Screen::Paste_Failed(const std::wstring& message) {
    run_.Paste_Failed(message);
    Show_Waiting();
    Flash_Taskbar_Button();
}

void Paste_Screen::Show_Notice(const std::wstring& message) {
    run_.Set_Notice(message);
    Show_Waiting();
    Flash_Taskbar_Button();
}

void Paste_Screen::Flash_Taskbar_Button() {
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = form_.Hwnd();
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    (void)FlashWindowEx(&flash);
}

void Paste_Screen::Take_Back_Last_Paste() {
    if (!keys_.Is_Screen(Screen_Keys::Screen_Paste) || !run_.Active()) return;
    run_.Take_Back_Last_Paste();
}

void Paste_Screen::Show_Take_Back_State() {
    if (form_.Is_Loaded() && Cmd_Take_Back) Cmd_Take_Back->Set_Enabled(run_.Can_Take_Back());
}

void Paste_Screen::Cmd_New_Sheet_Click() {
    if (!keys_.Is_Screen(Screen_Keys::Screen_Paste) || !run_.Active()) return;
    run_.Add_Case_Sheet();
}

void Paste_Screen::Case_Sheet_Added(const Call_Result& added) {
    if (!added.Ok()) {
        Show_Notice(Ui_Text(Text_Id::New_Sheet_Failed));
        return;
    }
    // A new case counts its steps from 1.
    Set_Next_Picture_Number(1);
    Save_Picture_Number();
}

bool Paste_Screen::Choosing_Several(int list_index) const {
    if (!Lst_Rireki || Lst_Rireki->Index() != list_index) return false;
    return GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0 || Lst_Rireki->Selected_Items().size() > 1;
}

void Paste_Screen::Cmd_Paste_History_Click() {
    if (!keys_.Is_Screen(Screen_Keys::Screen_Paste) || !run_.Active()) return;
    // The list shows the newest first: from the bottom of the choice up is the order they were copied in.
    std::vector<std::wstring> texts;
    const std::vector<int> chosen = Lst_Rireki->Selected_Items();
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it)
        if (*it >= 0 && static_cast<std::size_t>(*it) < shown_texts_.size())
            texts.push_back(shown_texts_[static_cast<std::size_t>(*it)]);
    Lst_Rireki->Clear_Selection();
    run_.Paste_In_Order(texts);
}
