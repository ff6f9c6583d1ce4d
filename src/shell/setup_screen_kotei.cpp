// The fixed-string editor of the set-up screen: the list and the text box follow the table.
#include "message_box.h"
#include "message_pump.h"
#include "scoped_value.h"
#include "setup_screen.h"
#include "ui_text.h"

void Setup_Screen::Kotei_Apply_Edit() {
    const int i = Kotei.Kotei_Index;
    if (i < 0 || i > Kotei.Kotei_Max || !Txt_Kotei || !Lst_Kotei_Setup) return;
    const std::wstring text = Txt_Kotei->Caption();
    if (text == Kotei.Kotei_Data[static_cast<std::size_t>(i)]) return;
    Kotei.Kotei_Data[static_cast<std::size_t>(i)] = text;
    Lst_Kotei_Setup->Set_List_Item(i, Kotei.Lst_AddItem_Kotei(i));
}

void Setup_Screen::Cmd_Control_Excel1_Kotei_New() {
    Kotei_Apply_Edit();
    const Scoped_Value no_checks(Flg_Check, false);
    Do_Events();
    if (!Kotei.New()) {
        Show_Message(Ui_Text(Text_Id::Fixed_Text_Limit));
    } else {
        Txt_Kotei->Set_Caption(Kotei.Kotei_Data[static_cast<std::size_t>(Kotei.Kotei_Max)]);
        Lst_Kotei_Setup->Add_Item(Kotei.Lst_AddItem_Kotei(Kotei.Kotei_Max));
        Lst_Kotei_Setup->Set_List_Index(Kotei.Kotei_Max);
    }
}

void Setup_Screen::Cmd_Control_Excel1_Kotei_Del() {
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

void Setup_Screen::Cmd_Control_Excel1_Kotei_Up() { Kotei_Move(-1); }

void Setup_Screen::Cmd_Control_Excel1_Kotei_Down() { Kotei_Move(1); }

void Setup_Screen::Kotei_Move(int step) {
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

void Setup_Screen::Cmd_Control_Excel1_Kotei_Sort(int order) {
    Kotei_Apply_Edit();
    const Scoped_Value no_checks(Flg_Check, false);
    Do_Events();
    Kotei.Sort(order);
    Lst_Kotei_Setup->Set_List(Kotei_Lines());
}

void Setup_Screen::Lst_Select_ツール_CellDrop() {
    Kotei_Apply_Edit();  // to the entry selected until now
    const Scoped_Value no_checks(Flg_Check, false);
    Do_Events();
    Kotei.Kotei_Index = Lst_Kotei_Setup->List_Index();
    if (Kotei.Kotei_Index >= 0 && static_cast<std::size_t>(Kotei.Kotei_Index) < Kotei.Kotei_Data.size())
        Txt_Kotei->Set_Caption(Kotei.Kotei_Data[static_cast<std::size_t>(Kotei.Kotei_Index)]);
    Cmd_Kotei_Delete->Set_Enabled(true);
    Lst_Select_ツール_CellDrop_UpDown();
}

void Setup_Screen::Lst_Select_ツール_CellDrop_UpDown() {
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

std::vector<std::wstring> Setup_Screen::Kotei_Lines() const {
    std::vector<std::wstring> lines;
    lines.reserve(static_cast<std::size_t>(Kotei.Kotei_Max + 1));
    for (int i = 0; i <= Kotei.Kotei_Max; ++i) lines.push_back(Kotei.Lst_AddItem_Kotei(i));
    return lines;
}
