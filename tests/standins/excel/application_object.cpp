// Excel's Application: the object CoCreateInstance("Excel.Application") hands out, and its
// LanguageSettings.
#include "automation_objects.h"
#include "stand_in.h"

namespace {

enum : DISPID {
    Id_Name = 1,
    Id_Hwnd,
    Id_Visible,
    Id_Display_Alerts,
    Id_Window_State,
    Id_Workbooks,
    Id_Worksheets,
    Id_Sheets,
    Id_Active_Workbook,
    Id_Active_Sheet,
    Id_Active_Cell,
    Id_Selection,
    Id_Intersect,
    Id_Quit,
    Id_Language_Settings,
    Id_Automation_Security,
};

const Member_Table& Members() {
    static const Member_Table table{
        {
            {Id_Name, L"Name", Member_Kind::Read_Only, {}},
            {Id_Hwnd, L"Hwnd", Member_Kind::Read_Only, {}},
            {Id_Visible, L"Visible", Member_Kind::Property, {}},
            {Id_Display_Alerts, L"DisplayAlerts", Member_Kind::Property, {}},
            {Id_Window_State, L"WindowState", Member_Kind::Property, {}},
            {Id_Workbooks, L"Workbooks", Member_Kind::Read_Only, {L"Index"}},
            {Id_Worksheets, L"Worksheets", Member_Kind::Read_Only, {L"Index"}},
            {Id_Sheets, L"Sheets", Member_Kind::Read_Only, {L"Index"}},
            {Id_Active_Workbook, L"ActiveWorkbook", Member_Kind::Read_Only, {}},
            {Id_Active_Sheet, L"ActiveSheet", Member_Kind::Read_Only, {}},
            {Id_Active_Cell, L"ActiveCell", Member_Kind::Read_Only, {}},
            {Id_Selection, L"Selection", Member_Kind::Read_Only, {}},
            {Id_Intersect,
             L"Intersect",
             Member_Kind::Method,
             {L"Arg1",  L"Arg2",  L"Arg3",  L"Arg4",  L"Arg5",  L"Arg6",  L"Arg7",  L"Arg8",  L"Arg9",  L"Arg10",
              L"Arg11", L"Arg12", L"Arg13", L"Arg14", L"Arg15", L"Arg16", L"Arg17", L"Arg18", L"Arg19", L"Arg20",
              L"Arg21", L"Arg22", L"Arg23", L"Arg24", L"Arg25", L"Arg26", L"Arg27", L"Arg28", L"Arg29", L"Arg30"}},
            {Id_Quit, L"Quit", Member_Kind::Method, {}},
            {Id_Language_Settings, L"LanguageSettings", Member_Kind::Read_Only, {}},
            {Id_Automation_Security, L"AutomationSecurity", Member_Kind::Property, {}},
        },
        Id_Name};
    return table;
}

// A get returns the flag; a put sets it.
void Flag(Call& call, bool& flag) {
    if (call.Kind() != Call_Kind::Put) {
        call.Return(Unique_Variant::Bool(flag));
    } else if (const auto value = call.Value_Bool()) {
        flag = *value;
    }
}

}  // namespace

Application_Object::Application_Object(Stand_In& stand_in) : Dispatch_Object(stand_in, Members(), L"Application") {}

void Application_Object::Invoke_Member(DISPID id, Call& call) {
    Excel_Model& model = stand_in_.Model();
    Workbook* book = model.Active_Workbook();
    Sheet* sheet = model.Active_Sheet();
    switch (id) {
        case Id_Name:
            call.Return(Unique_Variant::Text(L"Microsoft Excel"));
            return;
        case Id_Hwnd:
            call.Return(Unique_Variant::Long(static_cast<long>(reinterpret_cast<LONG_PTR>(stand_in_.Window()))));
            return;
        case Id_Visible:
            Flag(call, model.Visible);
            return;
        case Id_Display_Alerts:
            Flag(call, model.Display_Alerts);
            return;
        case Id_Window_State:
            if (call.Kind() != Call_Kind::Put) {
                call.Return(Unique_Variant::Long(model.Window_State));
            } else if (const auto state = call.Value_Long()) {
                if (*state == Xl_Maximized || *state == Xl_Minimized || *state == Xl_Normal)
                    model.Window_State = *state;
                else
                    call.Fail();
            }
            return;
        case Id_Workbooks:
            if (!call.Has(0)) {
                call.Return_Object(new Workbooks_Object(stand_in_));
            } else if (Workbook* found = Find_Workbook_Arg(model, call, 0)) {
                call.Return_Object(new Workbook_Object(stand_in_, found->Id));
            }
            return;
        case Id_Worksheets:
        case Id_Sheets:
            if (!book) {
                call.Fail();
            } else if (!call.Has(0)) {
                call.Return_Object(new Sheets_Object(stand_in_, book->Id));
            } else if (Sheet* found = Find_Sheet_Arg(*book, call, 0)) {
                call.Return_Object(Worksheet_Object::Of(stand_in_, book->Id, found->Id));
            }
            return;
        // With no book open Excel answers Nothing for these, not an error.
        case Id_Active_Workbook:
            if (!book) {
                call.Return_Object(nullptr);
            } else if (Workbook_Object* held = stand_in_.Find_Live<Workbook_Object>(
                           [&](const Workbook_Object& w) { return w.Book() == book->Id; })) {
                // The same workbook is the same object, as in Excel.
                held->AddRef();
                call.Return_Object(held);
            } else {
                call.Return_Object(new Workbook_Object(stand_in_, book->Id));
            }
            return;
        case Id_Active_Sheet:
            call.Return_Object(sheet ? Worksheet_Object::Of(stand_in_, book->Id, sheet->Id) : nullptr);
            return;
        case Id_Active_Cell:
            call.Return_Object(
                sheet ? new Range_Object(stand_in_, book->Id, sheet->Id, Cell_Rect::Of(sheet->Active_Cell)) : nullptr);
            return;
        case Id_Selection:
            if (!sheet)
                call.Return_Nothing();
            else if (sheet->Find_Shape(sheet->Selected_Shape))
                call.Return_Object(new Picture_Object(stand_in_, book->Id, sheet->Id, sheet->Selected_Shape));
            else
                call.Return_Object(new Range_Object(stand_in_, book->Id, sheet->Id, sheet->Selection));
            return;
        case Id_Intersect:
            Intersect(call);
            return;
        case Id_Quit:
            stand_in_.Request_Quit();
            return;
        case Id_Language_Settings:
            call.Return_Object(new Language_Settings_Object(stand_in_));
            return;
        case Id_Automation_Security:
            if (call.Kind() != Call_Kind::Put) {
                call.Return(Unique_Variant::Long(model.Automation_Security));
            } else if (const auto level = call.Value_Long()) {
                // MsoAutomationSecurity: 1 low, 2 as the user's settings, 3 force disable.
                if (*level >= Mso_Automation_Security_Low && *level <= Mso_Automation_Security_Force_Disable)
                    model.Automation_Security = *level;
                else
                    call.Fail(E_INVALIDARG, L"指定された値は範囲外です。");
            }
            return;
    }
}

void Application_Object::Intersect(Call& call) {
    std::optional<Range_Ref> common;
    int ranges = 0;
    for (std::size_t i = 0; i < call.Target().Params.size(); ++i) {
        if (!call.Has(i)) continue;
        const auto range = Range_Arg(call, i);
        if (!range) {
            call.Fail_Hresult(DISP_E_TYPEMISMATCH, L"型が一致しません。");
            return;
        }
        ++ranges;
        if (!common) {
            common = range;
            continue;
        }
        // Ranges on different sheets have no intersection Excel can express: it fails.
        if (range->Book != common->Book || range->Sheet != common->Sheet) {
            call.Fail();
            return;
        }
        const auto overlap = Overlap(common->Rect, range->Rect);
        if (!overlap) {
            call.Return_Nothing();
            return;
        }
        common->Rect = *overlap;
    }
    if (ranges < 2) {
        call.Fail_Hresult(DISP_E_PARAMNOTOPTIONAL, L"引数は省略できません。");
        return;
    }
    if (!stand_in_.Model().Find_Sheet(common->Book, common->Sheet)) {
        call.Fail_Deleted();
        return;
    }
    call.Return_Object(new Range_Object(stand_in_, common->Book, common->Sheet, common->Rect));
}

namespace {

enum : DISPID { Id_Language_Id = 1 };

const Member_Table& Language_Settings_Members() {
    static const Member_Table table{{{Id_Language_Id, L"LanguageID", Member_Kind::Read_Only, {L"Id"}}}, Id_Language_Id};
    return table;
}

// MsoAppLanguageID: install, user interface, help, executable mode, previous user interface. The
// stand-in is one language throughout.
constexpr long Mso_Language_Id_First = 1;
constexpr long Mso_Language_Id_Last = 5;

}  // namespace

Language_Settings_Object::Language_Settings_Object(Stand_In& stand_in)
    : Dispatch_Object(stand_in, Language_Settings_Members(), L"LanguageSettings") {}

void Language_Settings_Object::Invoke_Member(DISPID id, Call& call) {
    if (id != Id_Language_Id) return;
    const auto which = call.Long(0);
    if (!which) return;
    if (*which < Mso_Language_Id_First || *which > Mso_Language_Id_Last)
        call.Fail(E_INVALIDARG, L"指定された値は範囲外です。");
    else
        call.Return(Unique_Variant::Long(stand_in_.Model().Ui_Language));
}
