// The role bindings of the main form and the procedures over its option tables.
#include "celldrop_f.h"

#include "control_states.h"
#include "message_pump.h"

void CellDrop_F::Set_Pic_Control(bool bind) {
    Registry.Set_Object(Pic_Control_Target, (*this)(L"Pic_Control", 0), bind);
    Registry.Set_Object(Pic_Control_Setup, (*this)(L"Pic_Control", 1), bind);
    Registry.Set_Object(Pic_Control_Paste, (*this)(L"Pic_Control", 2), bind);
}

void CellDrop_F::Set_Che_Control(bool bind) {
    Registry.Set_Object(Che_Sub_Folder, (*this)(L"Che_Control", 3), bind);
    for (int slot = 0; slot < 3; ++slot) Registry.Set_Object(Che_Table_Text[slot], (*this)(L"Che_Control", slot), bind);
    Registry.Set_Object(Che_Picture_Caption, (*this)(L"Che_Control", 4), bind);
}

void CellDrop_F::Set_Cmd_Control(bool bind) {
    struct Role {
        Control** Binding;
        int Index;
    };
    const Role roles[] = {
        {&Cmd_Target_Pc, 6},      {&Cmd_Target_Open, 0},    {&Cmd_Target_History, 1}, {&Cmd_Folder_Pc, 7},
        {&Cmd_Folder_Browse, 2},  {&Cmd_Folder_History, 3}, {&Cmd_File_Search, 5},    {&Cmd_Kotei_Delete, 8},
        {&Cmd_Kotei_New, 9},      {&Cmd_Kotei_Up, 10},      {&Cmd_Kotei_Down, 11},    {&Cmd_Kotei_Sort[0], 12},
        {&Cmd_Kotei_Sort[1], 13}, {&Cmd_Paste_End, 4},      {&Cmd_Take_Back, 14},
    };
    for (const Role& r : roles) Registry.Set_Object(*r.Binding, (*this)(L"Cmd_Control", r.Index), bind);
}

void CellDrop_F::Set_Pic_Container(bool bind) {
    Registry.Set_Object(Pic_Container_Paste, (*this)(L"Pic_Container", 0), bind);
    Registry.Set_Object(Pic_Container_Move, (*this)(L"Pic_Container", 1), bind);
    Registry.Set_Object(Pic_Container_Picture[0], (*this)(L"Pic_Container", 2), bind);
    Registry.Set_Object(Pic_Container_Text[0], (*this)(L"Pic_Container", 3), bind);
    Registry.Set_Object(Pic_Container_Text[1], (*this)(L"Pic_Container", 4), bind);
    Registry.Set_Object(Pic_Container_Picture[1], (*this)(L"Pic_Container", 5), bind);
}

void CellDrop_F::Set_Label1(bool bind) {
    Registry.Set_Object(Label1_Target, (*this)(L"Label1", 13), bind);
    Registry.Set_Object(Label1_Folder, (*this)(L"Label1", 9), bind);
    Registry.Set_Object(Label1_Hot_Keys, (*this)(L"Label1", 20), bind);
    Registry.Set_Object(Label1_Waiting, (*this)(L"Label1", 21), bind);
}

void CellDrop_F::Set_Lst_Select(bool bind) {
    Registry.Set_Object(Lst_Kotei_Setup, (*this)(L"Lst_Select", 3), bind);
    Registry.Set_Object(Lst_File, (*this)(L"Lst_Select", 0), bind);
    Registry.Set_Object(Lst_Url, (*this)(L"Lst_Select", 1), bind);
    Registry.Set_Object(Lst_Rireki, (*this)(L"Lst_Select", 2), bind);
    Registry.Set_Object(Lst_Kotei_Paste, (*this)(L"Lst_Select", 4), bind);
}

void CellDrop_F::Set_Txt_Value3(bool bind) {
    Registry.Set_Object(Txt_File_List, (*this)(L"Txt_Value3", 0), bind);
    Registry.Set_Object(Txt_Url_List, (*this)(L"Txt_Value3", 1), bind);
    Registry.Set_Object(Txt_Kotei, (*this)(L"Txt_Value3", 2), bind);
}

void CellDrop_F::Set_Txt_File(bool bind) {
    Registry.Set_Object(Txt_Target, (*this)(L"Txt_File", 0), bind);
    Registry.Set_Object(Txt_Folder, (*this)(L"Txt_File", 1), bind);
}

void CellDrop_F::Set_Opt_Joken(bool bind) {
    auto bind_table = [&](std::span<Control*> table, int first_index) {
        for (std::size_t slot = 0; slot < table.size(); ++slot)
            Registry.Set_Object(table[slot], (*this)(L"Opt_Joken", first_index + static_cast<int>(slot)), bind);
    };
    bind_table(Opt_Table_Paste, 0);
    bind_table(Opt_Table_Move, 2);
    bind_table(Opt_Table_Text, 4);
    bind_table(Opt_Table_Picture, 7);
    bind_table(Opt_Table_Zoom, 16);
}

void CellDrop_F::Object_Table_To_IndexSearch(std::span<Control* const> table, int index) {
    Search_Position = -1;
    for (std::size_t slot = 0; slot < table.size(); ++slot) {
        if (table[slot] && table[slot]->Index() == index) {
            Search_Position = static_cast<int>(slot);
            return;
        }
    }
}

int CellDrop_F::Object_TableOpt_To_Index(std::span<Control* const> table) {
    for (std::size_t slot = 0; slot < table.size(); ++slot)
        if (table[slot] && table[slot]->Value() != 0) return static_cast<int>(slot);
    return -1;
}

void CellDrop_F::Object_TableOpt_MouseClick(std::span<Control* const> table) {
    for (Control* c : table) {
        if (!c) continue;
        Option_Appearance(*c);
        Do_Events();
    }
}
