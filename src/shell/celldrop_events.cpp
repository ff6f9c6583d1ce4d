// What each control of the main form does when it is used.
#include "celldrop_f.h"

#include "clipboard.h"
#include "control_states.h"
#include "layout.h"
#include "message_pump.h"
#include "mouse_pointer.h"
#include "open_actions.h"
#include "paste_option_choice.h"
#include "scoped_value.h"
#include "target_choice.h"
#include "text.h"
#include "ui_text.h"
#include "wait.h"

void CellDrop_F::Cmd_Control_Click(int index) {
    const Hourglass busy;
    Do_Events();
    auto is = [index](const Control* bound) { return bound && bound->Index() == index; };
    // The file dialogs, the history editor, the file list and the fixed-string edits are wired here as
    // they are built.
    Cmd_Control_Click_Path_Boxes(index);
    if (is(Cmd_Paste_End)) {
        Flg_Stop = true;
        // Whatever Excel is doing, nothing taken is lost: the copies not pasted enter the history and
        // both histories are written now; the loop closes Excel once it answers.
        Capture.Set_Taking(false);
        (void)Keep_Waiting_Copies(Capture, *this);
        Write_Text_History();
        Write_Picture_History();
        Cmd_Control_Excel2_End();
    } else if (is(Cmd_Take_Back)) {
        Take_Back_Last_Paste();
    } else if (is(Cmd_Kotei_New)) {
        Cmd_Control_Excel1_Kotei_New();
    } else if (is(Cmd_Kotei_Delete)) {
        Cmd_Control_Excel1_Kotei_Del();
    } else if (is(Cmd_Kotei_Up)) {
        Cmd_Control_Excel1_Kotei_Up();
    } else if (is(Cmd_Kotei_Down)) {
        Cmd_Control_Excel1_Kotei_Down();
    } else if (is(Cmd_Kotei_Sort[0])) {
        Cmd_Control_Excel1_Kotei_Sort(0);
    } else if (is(Cmd_Kotei_Sort[1])) {
        Cmd_Control_Excel1_Kotei_Sort(1);
    }
}

void CellDrop_F::Che_Control_Click(int index) {
    const int max = Control_Array_Max(*this, L"Che_Control");
    std::vector<Control*> boxes;
    for (int i = 0; i <= max; ++i)
        if (Control* c = Find(L"Che_Control", i)) boxes.push_back(c);
    Check_Appearance_All(boxes);
    // A click rebuilds the list; start-up, which sets the box from the settings, keeps the saved list.
    if (Che_Sub_Folder && index == Che_Sub_Folder->Index() && Enabled()) Cmd_Control_Excel1_File_Search();
    if (Che_Picture_Caption && index == Che_Picture_Caption->Index()) {
        Options.Picture_Caption = Che_Picture_Caption->Value() == 1;
        // Saved at once, unlike the text boxes: the reading of the settings at a run's start sets it too.
        if (Pic_Control_Paste && Pic_Control_Paste->Enabled() && Is_Screen(Screen_Paste))
            Text_Update_ツール_CellDrop2(L"W");
    }
}

void CellDrop_F::Opt_Joken_Click(int index) {
    if (Is_Screen(Screen_Paste)) Opt_Joken_ツール_CellDrop2(index);
}

void CellDrop_F::Opt_Joken_ツール_CellDrop2(int index) {
    const std::span<Control*const> paste(Opt_Table_Paste), move(Opt_Table_Move), text(Opt_Table_Text),
        picture(Opt_Table_Picture), zoom(Opt_Table_Zoom);

    Object_Table_To_IndexSearch(paste, index);
    if (Search_Position >= 0) {
        Options.Paste_On = Search_Position;
        Capture.Set_Taking(Search_Position != 0);
        // The copies waiting are not pasted later, at whatever cell is active then; they are kept in
        // the history.
        if (Search_Position == 0) (void)Keep_Waiting_Copies(Capture, *this);
        // Whatever was copied while pasting was off is never pasted.
        if (Search_Position == 1) {
            Excel_ツール_CellDrop2_Clear(Clip);
            // Held by another program, the clipboard may keep that copy: it is still not pasted.
            Capture.Ignore_Current();
        }
    }
    // Each group's choice by the position of its option: the run never sees a caption.
    const auto choose = [&](std::span<Control* const> table, auto at, auto& choice) {
        Object_Table_To_IndexSearch(table, index);
        if (Search_Position < 0) return;
        if (const auto chosen = at(Search_Position)) choice = *chosen;
    };
    choose(move, Move_Mode_At, Options.Move);
    choose(text, Text_Mode_At, Options.Text);
    choose(picture, Picture_Format_At, Options.Picture);
    choose(zoom, Picture_Size_At, Options.Size);
    // The choice takes effect before the appearance is drawn, which lets messages run: a copy made or
    // another choice made (a second click, a hot key) meanwhile meets the state chosen, not the old one.
    for (auto table : {paste, move, text, picture, zoom}) Object_TableOpt_MouseClick(table);

    const bool on = Options.Paste_On != 0;
    for (Control* container : {Pic_Container_Move, Pic_Container_Text[0], Pic_Container_Text[1],
                               Pic_Container_Picture[0], Pic_Container_Picture[1]})
        Controls_Enabled_In(*container, on);
    // While a paste run is being prepared the panel is still disabled: options read from the files are
    // not written straight back.
    if (Pic_Control_Paste->Enabled()) Text_Update_ツール_CellDrop2(L"W");
}

void CellDrop_F::Lst_Select_Click(int index) {
    if (Is_Screen(Screen_Setup)) {
        if (Lst_Kotei_Setup && index == Lst_Kotei_Setup->Index()) Lst_Select_ツール_CellDrop();
    } else if (Is_Screen(Screen_Paste)) {
        Lst_Select_ツール_CellDrop2(index);
        // The selection is let go so that the same entry can be clicked again.
        Wait_Time(200);
        if (Control* list = Find(L"Lst_Select", index))
            SendMessageW(list->Hwnd(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
}

void CellDrop_F::Lst_Select_ツール_CellDrop2(int index) {
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
            started = Start_Chrome(Hwnd(), line);
        }
        if (!started) MsgBox_Process(Ui_Text(Text_Id::Chrome_Not_Started));
    } else if (list == Lst_Rireki && static_cast<std::size_t>(selected) < shown_texts_.size()) {
        // The entry the user sees: during a run of quick copies the list is redrawn only once they stop.
        Put_On_Clipboard(shown_texts_[static_cast<std::size_t>(selected)], Copy_Source::History);
    } else if (list == Lst_Kotei_Paste && selected <= Kotei.Kotei_Max) {
        Put_On_Clipboard(Kotei.Kotei_Data[static_cast<std::size_t>(selected)], Copy_Source::Fixed);
    }
}

void CellDrop_F::Lst_Select_File_Open(const std::wstring& line) {
    const Hourglass busy;
    Do_Events();
    const File_Line file = Classify_File_Line(Label1_Folder->Caption(), line);
    switch (file.Kind) {
        case File_Line_Kind::Empty:
            break;
        case File_Line_Kind::Missing:
            Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
            MsgBox_Process(Ui_Format(Text_Id::File_Missing, {file.Path}));
            break;
        case File_Line_Kind::Locked:
            Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
            MsgBox_Process(Ui_Format(Text_Id::File_Locked, {file.Path}));
            break;
        case File_Line_Kind::Workbook: {
            const bool opened = Excel.Open_Workbook(file.Path).Ok();
            Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
            MsgBox_Process(Ui_Format(opened ? Text_Id::Opened_In_Excel : Text_Id::Not_Opened_In_Excel, {file.Path}));
            break;
        }
        case File_Line_Kind::Other:
            // Where the system's long-path policy is off, the shell cannot start a file by such a path.
            if (!ShellExecuteEx_Process(Hwnd(), file.Path) && file.Path.size() >= MAX_PATH) {
                Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
                MsgBox_Process(Ui_Format(Text_Id::Path_Too_Long_To_Open, {file.Path}));
            }
            break;
    }
}

void CellDrop_F::Put_On_Clipboard(const std::wstring& text, Copy_Source source) {
    // Emptied first, so that the entry counts as a new copy even when it equals the last one.
    Clip.Clip_Text_Last.clear();
    // Marked before the write: the copy is taken as soon as the clipboard tells of it.
    Clip.Paste_Source = source;
    Capture.Mark_Next(source);
    if (!Clipboard_Set_Text(text)) {
        Clip.Paste_Source = Copy_Source::User;
        Capture.Mark_Next(Copy_Source::User);
    }
}

void CellDrop_F::Lst_Select_ツール_CellDrop() {
    Kotei_Apply_Edit();  // to the entry selected until now
    const Scoped_Value no_checks(Flg_Check, false);
    Do_Events();
    Kotei.Kotei_Index = Lst_Kotei_Setup->List_Index();
    if (Kotei.Kotei_Index >= 0 && static_cast<std::size_t>(Kotei.Kotei_Index) < Kotei.Kotei_Data.size())
        Txt_Kotei->Set_Caption(Kotei.Kotei_Data[static_cast<std::size_t>(Kotei.Kotei_Index)]);
    Cmd_Kotei_Delete->Set_Enabled(true);
    Lst_Select_ツール_CellDrop_UpDown();
}

void CellDrop_F::Lst_Select_ツール_CellDrop_UpDown() {
    const int n = Lst_Kotei_Setup->List_Count();
    const int i = Kotei.Kotei_Index;
    if (n < 2) {
        Cmd_Kotei_Up->Set_Enabled(false);
        Cmd_Kotei_Down->Set_Enabled(false);
    } else {
        Cmd_Kotei_Up->Set_Enabled(i != 0);
        Cmd_Kotei_Down->Set_Enabled(i != n - 1);
    }
}

void CellDrop_F::Txt_File_Change(int index) {
    // Only the target box falls back to the new-workbook choice: an emptied folder box means the file
    // list is not used.
    if (!Is_Screen(Screen_Setup) || !Txt_Target || index != Txt_Target->Index()) return;
    if (Txt_Target->Caption().empty()) Txt_Target->Set_Caption(New_Workbook_Text());
}

void CellDrop_F::VScroll1_Change() {
    Control& sheet = (*this)(L"Pic_Scroll");
    sheet.Set_Top(-static_cast<float>(static_cast<std::int16_t>((*this)(L"VScroll1").Value())));
}
