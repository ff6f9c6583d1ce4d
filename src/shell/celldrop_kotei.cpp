// The fixed-string editor of the set-up screen: the list and the text box follow the table.
#include "celldrop_f.h"

#include "message_pump.h"
#include "scoped_value.h"
#include "ui_text.h"

void CellDrop_F::Kotei_Apply_Edit() {
    const int i = Kotei.Kotei_Index;
    if (i < 0 || i > Kotei.Kotei_Max || !Txt_Kotei || !Lst_Kotei_Setup) return;
    const std::wstring text = Txt_Kotei->Caption();
    if (text == Kotei.Kotei_Data[static_cast<std::size_t>(i)]) return;
    Kotei.Kotei_Data[static_cast<std::size_t>(i)] = text;
    Lst_Kotei_Setup->Set_List_Item(i, Kotei.Lst_AddItem_Kotei(i));
}

void CellDrop_F::Cmd_Control_Excel1_Kotei_New() {
    Kotei_Apply_Edit();
    const Scoped_Value no_checks(Flg_Check, false);
    Do_Events();
    if (!Kotei.New()) {
        MsgBox_Process(Ui_Text(Text_Id::Fixed_Text_Limit));
    } else {
        Txt_Kotei->Set_Caption(Kotei.Kotei_Data[static_cast<std::size_t>(Kotei.Kotei_Max)]);
        Lst_Kotei_Setup->Add_Item(Kotei.Lst_AddItem_Kotei(Kotei.Kotei_Max));
        Lst_Kotei_Setup->Set_List_Index(Kotei.Kotei_Max);
    }
}

void CellDrop_F::Cmd_Control_Excel1_Kotei_Del() {
    Kotei_Apply_Edit();
    const int deleted = Kotei.Kotei_Index;
    const Scoped_Value no_checks(Flg_Check, false);
    Do_Events();
    if (Kotei.Delete()) {
        Lst_Kotei_Setup->Remove_Item(deleted);
        if (Kotei.Kotei_Index >= 0) {
            Txt_Kotei->Set_Caption(Kotei.Kotei_Data[static_cast<std::size_t>(Kotei.Kotei_Index)]);
            Lst_Kotei_Setup->Set_List_Index(Kotei.Kotei_Index);
        } else {
            // Nothing left to show or to delete.
            Txt_Kotei->Set_Caption(L"");
            for (Control* c : {Cmd_Kotei_Delete, Cmd_Kotei_Up, Cmd_Kotei_Down}) c->Set_Enabled(false);
        }
    }
}

void CellDrop_F::Cmd_Control_Excel1_Kotei_Up() { Kotei_Move(-1); }

void CellDrop_F::Cmd_Control_Excel1_Kotei_Down() { Kotei_Move(1); }

void CellDrop_F::Kotei_Move(int step) {
    Kotei_Apply_Edit();
    const int from = Kotei.Kotei_Index;
    const Scoped_Value no_checks(Flg_Check, false);
    Do_Events();
    if (Kotei.Move(step)) {
        Lst_Kotei_Setup->Set_List_Item(from, Kotei.Lst_AddItem_Kotei(from));
        Lst_Kotei_Setup->Set_List_Item(Kotei.Kotei_Index, Kotei.Lst_AddItem_Kotei(Kotei.Kotei_Index));
        Lst_Kotei_Setup->Set_List_Index(Kotei.Kotei_Index);
    }
}

void CellDrop_F::Cmd_Control_Excel1_Kotei_Sort(int order) {
    Kotei_Apply_Edit();
    const Scoped_Value no_checks(Flg_Check, false);
    Do_Events();
    Kotei.Sort(order);
    Lst_Kotei_Setup->Set_List(Kotei_Lines());
}
