// The settings pass of the set-up screen: which file holds which control.
#include "message_box.h"
#include "message_pump.h"
#include "paths.h"
#include "setup_screen.h"
#include "target_choice.h"
#include "text.h"
#include "ui_text.h"

void Setup_Screen::Text_Update(const std::wstring& mode) {
    if (mode != L"R" && mode != L"W") return;
    params_.Begin();
    Text_Update_ツール_CellDrop0(mode);
    Text_Update_ツール_CellDrop1(mode);
    saves_.Report_Save_Failures();
}

void Setup_Screen::Text_Update_ツール_CellDrop0(const std::wstring& mode) {
    const bool read = mode == L"R";
    const std::wstring target = Txt_Target->Caption();
    const bool names_file = Check_ツール_CellDrop0_File(target);

    params_.Text_Update_ParamFileName_Process(L"Para0_1.txt");
    const std::wstring value_file = params_.Param_File_Path();
    if (read) {
        Do_Events();
        Txt_Target->Set_Caption(Read_Single_Value(value_file));
    } else {
        // The new-workbook choice leaves the file empty.
        saves_.Note_Save(Write_Single_Value(value_file, names_file ? target : L""), value_file);
    }

    params_.Text_Update_ParamFileName_Process(L"Para0_1_T.txt");
    const std::wstring history_file = params_.Param_File_Path();
    if (read)
        Text_Update_Tb_R(history_file, Tb_Rireki_ExcelFile);
    else if (names_file)
        saves_.Note_Save(Text_Update_Tb_W(history_file, Tb_Rireki_ExcelFile, target), history_file);
}

void Setup_Screen::Text_Update_ツール_CellDrop1(const std::wstring& mode) {
    const bool read = mode == L"R";

    params_.Text_Update_ParamFileName_Process(L"Para1_1.txt");
    std::wstring file = params_.Param_File_Path();
    if (read) {
        Do_Events();
        const std::vector<std::wstring> values = Read_Values(file, 2);
        Txt_Folder->Set_Caption(values[0]);
        Che_Sub_Folder->Set_Value(Number_Value(values[1]));
    } else {
        saves_.Note_Save(Write_Lines_File(file, {Txt_Folder->Caption(), Number_Line(Che_Sub_Folder->Value())}), file);
    }

    params_.Text_Update_ParamFileName_Process(L"Para1_1_T.txt");
    file = params_.Param_File_Path();
    if (read)
        Text_Update_Tb_R(file, Tb_Rireki_Folder);
    else
        saves_.Note_Save(Text_Update_Tb_W(file, Tb_Rireki_Folder, Txt_Folder->Caption()), file);

    const std::pair<const wchar_t*, Control*> lists[] = {{L"Para1_2.txt", Txt_File_List},
                                                         {L"Para1_3.txt", Txt_Url_List}};
    for (std::size_t i = 0; i < std::size(lists); ++i) {
        const auto& [name, box] = lists[i];
        Value_List_As_Read& as_read = value_lists_read_[i];
        params_.Text_Update_ParamFileName_Process(name);
        file = params_.Param_File_Path();
        if (read) {
            // The box may show less than the file holds (it ends at a NUL): what it did not show is
            // written back as it was read.
            Value_List_File list = Read_Value_List_File(file);
            as_read = {std::move(list.Text), {}, list.Too_Large};
            if (as_read.Refused) Show_Message(Ui_Format(Text_Id::List_File_Too_Large, {file}));
            value_list_fills_[i].Start(*box, as_read.Read);
            // A box still filling will hold the whole text.
            as_read.Shown = value_list_fills_[i].Filling() ? as_read.Read : box->Caption();
        } else if (!as_read.Refused) {
            const std::wstring text = box->Caption();
            const std::vector<std::wstring> lines = Value_List_Lines(i);
            saves_.Note_Save(Write_Lines_File(file, lines), file);
            std::wstring written;
            for (std::size_t k = 0; k < lines.size(); ++k) written += (k ? Get_CrLf() : std::wstring()) + lines[k];
            // A box still filling is locked: what was written is what it will hold.
            as_read = {written, value_list_fills_[i].Filling() ? written : text};
        }
    }

    if (read) {
        Lst_Kotei_Setup->Clear_List();
        Kotei.Load(path_kotei_);
        Report_Moved_Aside(Kotei.Moved_Aside);
    } else {
        Text_Update_ツール_CellDrop1_Kotei_Write();
    }
}

std::vector<std::wstring> Setup_Screen::Value_List_Lines(std::size_t i) const {
    const Control* box = i == 0 ? Txt_File_List : Txt_Url_List;
    const Value_List_As_Read& as_read = value_lists_read_[i];
    const Text_Box_Fill& fill = value_list_fills_[i];
    return Value_List_Lines_To_Write(as_read.Read, fill.Filling() ? fill.Shown() : std::wstring_view(as_read.Shown),
                                     box->Caption());
}

void Setup_Screen::Text_Update_ツール_CellDrop1_Kotei_Write() {
    Kotei_Apply_Edit();
    for (const std::wstring& path : Kotei.Write(path_kotei_)) saves_.Add(path);
}
