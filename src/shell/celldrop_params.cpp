// The settings passes of the set-up screen: which file holds which control.
#include "celldrop_f.h"

#include "message_pump.h"
#include "target_choice.h"
#include "text.h"

void CellDrop_F::Text_Update(const std::wstring& mode) {
    if (mode != L"R" && mode != L"W") return;
    params_.Begin();
    Text_Update_ツール_CellDrop0(mode);
    Text_Update_ツール_CellDrop1(mode);
}

void CellDrop_F::Text_Update_ツール_CellDrop0(const std::wstring& mode) {
    const bool read = mode == L"R";
    const std::wstring target = Txt_Target->Caption();
    const bool names_file = Check_ツール_CellDrop0_File(target);

    params_.Text_Update_ParamFileName_Process(L"Para0_1.txt");
    if (read) {
        Do_Events();
        Txt_Target->Set_Caption(Read_Single_Value(params_.Param_File_Path()));
    } else {
        // The new-workbook choice leaves the file empty.
        (void)Write_Single_Value(params_.Param_File_Path(), names_file ? target : L"");
    }

    params_.Text_Update_ParamFileName_Process(L"Para0_1_T.txt");
    if (read)
        Text_Update_Tb_R(params_.Param_File_Path(), Tb_Rireki_ExcelFile);
    else if (names_file)
        (void)Text_Update_Tb_W(params_.Param_File_Path(), Tb_Rireki_ExcelFile, target);
}

void CellDrop_F::Text_Update_ツール_CellDrop1(const std::wstring& mode) {
    const bool read = mode == L"R";

    params_.Text_Update_ParamFileName_Process(L"Para1_1.txt");
    if (read) {
        Do_Events();
        const std::vector<std::wstring> values = Read_Values(params_.Param_File_Path(), 2);
        Txt_Folder->Set_Caption(values[0]);
        Che_Sub_Folder->Set_Value(static_cast<int>(Number_In_Text(values[1]).Whole()));
    } else {
        (void)Write_Lines_File(params_.Param_File_Path(), {Txt_Folder->Caption(), Number_Line(Che_Sub_Folder->Value())});
    }

    params_.Text_Update_ParamFileName_Process(L"Para1_1_T.txt");
    if (read)
        Text_Update_Tb_R(params_.Param_File_Path(), Tb_Rireki_Folder);
    else
        (void)Text_Update_Tb_W(params_.Param_File_Path(), Tb_Rireki_Folder, Txt_Folder->Caption());

    params_.Text_Update_ParamFileName_Process(L"Para1_2.txt");
    if (read)
        Txt_File_List->Set_Caption(Read_Value_List(params_.Param_File_Path()));
    else
        (void)Write_Value_List(params_.Param_File_Path(), Txt_File_List->Caption());

    params_.Text_Update_ParamFileName_Process(L"Para1_3.txt");
    if (read)
        Txt_Url_List->Set_Caption(Read_Value_List(params_.Param_File_Path()));
    else
        (void)Write_Value_List(params_.Param_File_Path(), Txt_Url_List->Caption());
}
