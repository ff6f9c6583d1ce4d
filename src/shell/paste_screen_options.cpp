// The paste options of the paste screen: the option tables, the choices they make for the run, and the
// two files in the program folder that keep them.
#include <algorithm>

#include "control_states.h"
#include "layout.h"
#include "message_pump.h"
#include "paste_option_choice.h"
#include "paste_screen.h"
#include "paths.h"
#include "text.h"

void Paste_Screen::Opt_Joken_ツール_CellDrop2(int index) {
    const std::span<Control*const> paste(Opt_Table_Paste), move(Opt_Table_Move), text(Opt_Table_Text),
        picture(Opt_Table_Picture), zoom(Opt_Table_Zoom);

    Object_Table_To_IndexSearch(paste, index);
    if (Search_Position >= 0) {
        Options.Paste_On = Search_Position;
        run_.Set_Pasting(Search_Position != 0, *this);
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

void Paste_Screen::Che_Picture_Caption_Click() {
    Options.Picture_Caption = Che_Picture_Caption->Value() == 1;
    // Saved at once, unlike the text boxes: the reading of the settings at a run's start sets it too.
    if (Pic_Control_Paste && Pic_Control_Paste->Enabled() && keys_.Is_Screen(Screen_Keys::Screen_Paste))
        Text_Update_ツール_CellDrop2(L"W");
}

void Paste_Screen::Che_Picture_Steps_Click() {
    Options.Picture_Number = Che_Picture_Number->Value() == 1;
    Options.Move_Past_Picture = Che_Move_Past->Value() == 1;
    if (Pic_Control_Paste && Pic_Control_Paste->Enabled() && keys_.Is_Screen(Screen_Keys::Screen_Paste))
        Text_Update_ツール_CellDrop2(L"W");
}

namespace {

// The step number a box holds: a whole number from 1; anything else (empty, 0, letters) starts at 1.
int Step_Number(const std::wstring& text) { return std::max(Number_Value(text), 1); }

}  // namespace

int Paste_Screen::Next_Picture_Number() { return Step_Number(Txt_Picture_Number->Caption()); }

void Paste_Screen::Set_Next_Picture_Number(int number) {
    Txt_Picture_Number->Set_Caption(std::to_wstring(std::max(number, 1)));
    number_unsaved_ = true;
}

void Paste_Screen::Picture_Number_Taken_Back(int number) {
    if (Next_Picture_Number() == number + 1) Set_Next_Picture_Number(number);
}

void Paste_Screen::Save_Picture_Number() {
    if (!number_unsaved_) return;
    number_unsaved_ = false;
    Write_Checks_File();
}

void Paste_Screen::Write_Checks_File() {
    // Lines after the first four are read only by versions that know them: an older file, without
    // them, reads as both boxes off and the numbers from 1.
    const std::wstring checks_file = Path_Join(app_path_, L"Para2_2.txt");
    std::vector<std::wstring> states;
    for (Control* box : Che_Table_Text) states.push_back(Number_Line(box->Value()));
    states.push_back(Number_Line(Che_Picture_Caption->Value()));
    states.push_back(Number_Line(Che_Picture_Number->Value()));
    states.push_back(Number_Line(Che_Move_Past->Value()));
    states.push_back(Number_Line(Next_Picture_Number()));
    saves_.Note_Save(Write_Lines_File(checks_file, states), checks_file);
}

Text_Edits Paste_Screen::Edits() {
    // Each edit follows the box whose caption names it.
    Text_Edits edits;
    edits.Widen = Che_Table_Text[0]->Value() == 1;
    edits.Number_As_Text = Che_Table_Text[1]->Value() == 1;
    edits.Date_As_Text = Che_Table_Text[2]->Value() == 1;
    return edits;
}

void Paste_Screen::Text_Update_ツール_CellDrop2(const std::wstring& mode) {
    if (mode != L"R" && mode != L"W") return;
    Do_Events();
    // These two files lie in the program folder itself and are not part of the set-up pass.
    const std::wstring options_file = Path_Join(app_path_, L"Para2_1.txt");
    const std::wstring checks_file = Path_Join(app_path_, L"Para2_2.txt");
    const std::span<Control* const> groups[] = {Opt_Table_Move, Opt_Table_Picture, Opt_Table_Text, Opt_Table_Zoom};

    if (mode == L"R") {
        const std::vector<std::wstring> positions = Read_Values(options_file, 4);
        for (std::size_t g = 0; g < std::size(groups); ++g) {
            int p = Number_Value(positions[g]);
            // A position outside the group leaves the group's choice as it was; only a group with no
            // choice yet takes its first option, since without one every copy would overwrite the same cell.
            if (p < 0 || static_cast<std::size_t>(p) >= groups[g].size()) {
                if (Object_TableOpt_To_Index(groups[g]) >= 0) continue;
                p = 0;
            }
            groups[g][static_cast<std::size_t>(p)]->Set_Value(1);
        }
        // The fourth line, the picture-time box, is one a version without that box never reads; so
        // are the step boxes and the next number after it.
        const std::vector<std::wstring> states = Read_Values(checks_file, 7);
        for (std::size_t slot = 0; slot < Che_Table_Text.size(); ++slot)
            Che_Table_Text[slot]->Set_Value(Number_Value(states[slot]));
        Che_Picture_Caption->Set_Value(Number_Value(states[3]) == 1 ? 1 : 0);
        Che_Picture_Number->Set_Value(Number_Value(states[4]) == 1 ? 1 : 0);
        Che_Move_Past->Set_Value(Number_Value(states[5]) == 1 ? 1 : 0);
        Txt_Picture_Number->Set_Caption(std::to_wstring(Step_Number(states[6])));
        Options.Picture_Number = Che_Picture_Number->Value() == 1;
        Options.Move_Past_Picture = Che_Move_Past->Value() == 1;
        number_unsaved_ = false;
        return;
    }

    std::vector<std::wstring> positions;
    for (auto group : groups) positions.push_back(Number_Line(Object_TableOpt_To_Index(group)));
    saves_.Note_Save(Write_Lines_File(options_file, positions), options_file);
    Write_Checks_File();
    number_unsaved_ = false;
    saves_.Report_Save_Failures();
}

void Paste_Screen::Object_Table_To_IndexSearch(std::span<Control* const> table, int index) {
    Search_Position = -1;
    for (std::size_t slot = 0; slot < table.size(); ++slot) {
        if (table[slot] && table[slot]->Index() == index) {
            Search_Position = static_cast<int>(slot);
            return;
        }
    }
}

int Paste_Screen::Object_TableOpt_To_Index(std::span<Control* const> table) {
    for (std::size_t slot = 0; slot < table.size(); ++slot)
        if (table[slot] && table[slot]->Value() != 0) return static_cast<int>(slot);
    return -1;
}

void Paste_Screen::Object_TableOpt_MouseClick(std::span<Control* const> table) {
    for (Control* c : table) {
        if (!c) continue;
        Option_Appearance(*c);
        Do_Events();
    }
}
