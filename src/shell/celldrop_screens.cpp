// Showing the two screens of the main form.
#include "celldrop_f.h"

#include "layout.h"

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

std::vector<std::wstring> CellDrop_F::Kotei_Lines() const {
    std::vector<std::wstring> lines;
    lines.reserve(static_cast<std::size_t>(Kotei.Kotei_Max + 1));
    for (int i = 0; i <= Kotei.Kotei_Max; ++i) lines.push_back(Kotei.Lst_AddItem_Kotei(i));
    return lines;
}

void CellDrop_F::List_Process() {
    if (Is_Screen(Screen_Paste)) Make_Paste_Screen();
    Pic_Visble_False();
    Tim_エラーチェック_Enabled(true);
    Opt_Joken_Click(0);

    if (Is_Screen(Screen_Setup)) {
        Txt_Target->Set_Visible(true);
        Label1_Target->Set_Visible(false);
        for (Control* c : {Cmd_Target_Pc, Cmd_Target_Open, Cmd_Target_History}) c->Set_Enabled(true);
        (*this)(L"Cmd_Cancel").Set_Enabled(true);
        for (Control* c : Cmd_Kotei_Sort) c->Set_Enabled(Kotei.Kotei_Max > 0);
        Kotei.Kotei_Index = -1;
        Lst_Kotei_Setup->Set_List(Kotei_Lines());
        Container_Pic_Control(*Pic_Control_Setup);
        Container_Pic_Control(*Pic_Control_Target);
        Form_Fit(*this, *Pic_Control_Setup, *Pic_Control_Setup);
    } else if (Is_Screen(Screen_Paste)) {
        Txt_Target->Set_Visible(false);
        Label1_Target->Set_Visible(true);
        for (Control* c : {Cmd_Target_Pc, Cmd_Target_Open, Cmd_Target_History}) c->Set_Enabled(false);
        Pic_Control_Target->Set_Visible(true);
        (*this)(L"Cmd_Cancel").Set_Enabled(false);
        Kotei.Kotei_Index = -1;
        Lst_Kotei_Paste->Set_List(Kotei_Lines());
        Label1_Target->Set_Caption(Txt_Target->Caption());
        Container_Pic_Control(*Pic_Control_Target);
        Container_Pic_Control(*Pic_Control_Paste);
        Form_Fit(*this, *Pic_Control_Paste, *Pic_Control_Paste);
    }
}
