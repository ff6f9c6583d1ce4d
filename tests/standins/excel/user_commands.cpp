#include "user_commands.h"

#include <string>

#include "cell_value.h"
#include "stand_in.h"
#include "standin_protocol.h"

namespace {

bool Run(Stand_In& stand_in, ULONG_PTR command, std::wstring_view text) {
    Excel_Model& model = stand_in.Model();
    Workbook* book = model.Active_Workbook();
    switch (command) {
        case standin::Select_Cell: {
            Sheet* sheet = model.Active_Sheet();
            const auto rect = Parse_Address(text);
            if (!sheet || !rect) return false;
            sheet->Select(*rect);
            return true;
        }
        case standin::Activate_Sheet: {
            Sheet* sheet = book ? book->Find_Sheet(text) : nullptr;
            if (!sheet) return false;
            book->Active_Sheet = sheet->Id;
            return true;
        }
        case standin::Rename_Sheet: {
            Sheet* sheet = model.Active_Sheet();
            if (!sheet || model.Check_Sheet_Name(*book, text, sheet->Id) != Name_Check::Ok) return false;
            sheet->Name = text;
            return true;
        }
        case standin::Delete_Sheet: {
            Sheet* sheet = book ? book->Find_Sheet(text) : nullptr;
            return sheet && model.Delete_Sheet(*book, sheet->Id);
        }
        case standin::Add_Sheet:
            if (!book || model.Check_Sheet_Name(*book, text, 0) != Name_Check::Ok) return false;
            model.Add_Sheet(*book, text);
            return true;
        case standin::Close_Workbook:
            return book && model.Close_Workbook(book->Id);
        case standin::Quit:
            stand_in.Request_Quit();
            return true;
        case standin::User_Quit:
            stand_in.User_Quit();
            return true;
        case standin::Type_Cell: {
            Sheet* sheet = model.Active_Sheet();
            const std::size_t equals = text.find(L'=');
            const auto rect = equals == std::wstring_view::npos ? std::nullopt : Parse_Address(text.substr(0, equals));
            if (!sheet || !rect || rect->Rows() != 1 || rect->Columns() != 1) return false;
            // Typed as into the cell, a formula included ("B3==1+2").
            Cell_Value value;
            if (!Value_From_Variant(Unique_Variant::Text(text.substr(equals + 1)).Get(), value)) return false;
            sheet->Set_Value(rect->Top_Left(), std::move(value));
            return true;
        }
        case standin::Busy: {
            const std::wstring digits(text);
            if (digits.empty() || digits.size() > 9 || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
                return false;
            stand_in.Busy_For(static_cast<DWORD>(std::stoul(digits)));
            return true;
        }
        case standin::Fail_Member:
            return stand_in.Fail_Member(text);
        case standin::Copy_Before_Paste:
            if (text.empty()) return false;
            stand_in.Copy_Before_Next_Paste(std::wstring(text));
            return true;
        case standin::Copy_Cells: {
            const Sheet* sheet = model.Active_Sheet();
            const auto range = Parse_Address(text);
            return sheet && range && stand_in.Copy().Copy_Cells(stand_in.Window(), *sheet, *range);
        }
        case standin::Copy_Chart:
            return stand_in.Copy().Copy_Chart(stand_in.Window());
        case standin::Hide_Extensions:
            if (text != L"0" && text != L"1") return false;
            model.Extensions_Hidden = text == L"1";
            return true;
        default:
            return false;
    }
}

}  // namespace

bool Run_User_Command(Stand_In& stand_in, ULONG_PTR command, std::wstring_view text) {
    const bool done = Run(stand_in, command, text);
    stand_in.Save_State();
    return done;
}
