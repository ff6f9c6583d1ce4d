// The role bindings of the main form: which element of which control array plays which part on its
// screen.
#include "celldrop_f.h"

void CellDrop_F::Set_Pic_Control(bool bind) {
    Registry.Set_Object(Setup.Pic_Control_Target, (*this)(L"Pic_Control", 0), bind);
    Registry.Set_Object(Setup.Pic_Control_Setup, (*this)(L"Pic_Control", 1), bind);
    Registry.Set_Object(Paste.Pic_Control_Paste, (*this)(L"Pic_Control", 2), bind);
}

void CellDrop_F::Set_Che_Control(bool bind) {
    Registry.Set_Object(Setup.Che_Sub_Folder, (*this)(L"Che_Control", 3), bind);
    for (int slot = 0; slot < 3; ++slot)
        Registry.Set_Object(Paste.Che_Table_Text[slot], (*this)(L"Che_Control", slot), bind);
    Registry.Set_Object(Paste.Che_Picture_Caption, (*this)(L"Che_Control", 4), bind);
    Registry.Set_Object(Paste.Che_Picture_Number, (*this)(L"Che_Control", 5), bind);
    Registry.Set_Object(Paste.Che_Move_Past, (*this)(L"Che_Control", 6), bind);
}

void CellDrop_F::Set_Cmd_Control(bool bind) {
    struct Role {
        Control** Binding;
        int Index;
    };
    const Role roles[] = {
        {&Setup.Cmd_Target_Pc, 6},      {&Setup.Cmd_Target_Open, 0},    {&Setup.Cmd_Target_History, 1},
        {&Setup.Cmd_Folder_Pc, 7},      {&Setup.Cmd_Folder_Browse, 2},  {&Setup.Cmd_Folder_History, 3},
        {&Setup.Cmd_File_Search, 5},    {&Setup.Cmd_Kotei_Delete, 8},   {&Setup.Cmd_Kotei_New, 9},
        {&Setup.Cmd_Kotei_Up, 10},      {&Setup.Cmd_Kotei_Down, 11},    {&Setup.Cmd_Kotei_Sort[0], 12},
        {&Setup.Cmd_Kotei_Sort[1], 13}, {&Paste.Cmd_Paste_End, 4},      {&Paste.Cmd_Take_Back, 14},
        {&Paste.Cmd_New_Sheet, 15},     {&Paste.Cmd_Paste_History, 16},
    };
    for (const Role& r : roles) Registry.Set_Object(*r.Binding, (*this)(L"Cmd_Control", r.Index), bind);
}

void CellDrop_F::Set_Pic_Container(bool bind) {
    Registry.Set_Object(Paste.Pic_Container_Paste, (*this)(L"Pic_Container", 0), bind);
    Registry.Set_Object(Paste.Pic_Container_Move, (*this)(L"Pic_Container", 1), bind);
    Registry.Set_Object(Paste.Pic_Container_Picture[0], (*this)(L"Pic_Container", 2), bind);
    Registry.Set_Object(Paste.Pic_Container_Text[0], (*this)(L"Pic_Container", 3), bind);
    Registry.Set_Object(Paste.Pic_Container_Text[1], (*this)(L"Pic_Container", 4), bind);
    Registry.Set_Object(Paste.Pic_Container_Picture[1], (*this)(L"Pic_Container", 5), bind);
}

void CellDrop_F::Set_Label1(bool bind) {
    Registry.Set_Object(Paste.Label1_Target, (*this)(L"Label1", 13), bind);
    Registry.Set_Object(Paste.Label1_Folder, (*this)(L"Label1", 9), bind);
    Registry.Set_Object(Paste.Label1_Hot_Keys, (*this)(L"Label1", 20), bind);
    Registry.Set_Object(Paste.Label1_Waiting, (*this)(L"Label1", 21), bind);
}

void CellDrop_F::Set_Lst_Select(bool bind) {
    Registry.Set_Object(Setup.Lst_Kotei_Setup, (*this)(L"Lst_Select", 3), bind);
    Registry.Set_Object(Paste.Lst_File, (*this)(L"Lst_Select", 0), bind);
    Registry.Set_Object(Paste.Lst_Url, (*this)(L"Lst_Select", 1), bind);
    Registry.Set_Object(Paste.Lst_Rireki, (*this)(L"Lst_Select", 2), bind);
    Registry.Set_Object(Paste.Lst_Kotei_Paste, (*this)(L"Lst_Select", 4), bind);
}

void CellDrop_F::Set_Txt_Value3(bool bind) {
    Registry.Set_Object(Setup.Txt_File_List, (*this)(L"Txt_Value3", 0), bind);
    Registry.Set_Object(Setup.Txt_Url_List, (*this)(L"Txt_Value3", 1), bind);
    Registry.Set_Object(Setup.Txt_Kotei, (*this)(L"Txt_Value3", 2), bind);
}

void CellDrop_F::Set_Txt_File(bool bind) {
    Registry.Set_Object(Setup.Txt_Target, (*this)(L"Txt_File", 0), bind);
    Registry.Set_Object(Setup.Txt_Folder, (*this)(L"Txt_File", 1), bind);
    Registry.Set_Object(Paste.Txt_Picture_Number, (*this)(L"Txt_File", 2), bind);
}

void CellDrop_F::Set_Opt_Joken(bool bind) {
    auto bind_table = [&](std::span<Control*> table, int first_index) {
        for (std::size_t slot = 0; slot < table.size(); ++slot)
            Registry.Set_Object(table[slot], (*this)(L"Opt_Joken", first_index + static_cast<int>(slot)), bind);
    };
    bind_table(Paste.Opt_Table_Paste, 0);
    bind_table(Paste.Opt_Table_Move, 2);
    bind_table(Paste.Opt_Table_Text, 4);
    bind_table(Paste.Opt_Table_Picture, 7);
    bind_table(Paste.Opt_Table_Zoom, 16);
}

void CellDrop_F::Set_Timer(bool bind) {
    Control& timer = (*this)(L"Timer1", 0);
    if (!bind) timer.Set_Enabled(false);
    Registry.Set_Object(Setup.Tim_エラーチェック, timer, bind);
}
