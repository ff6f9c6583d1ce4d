#include "excel_session.h"

#include "message_pump.h"
#include "wait.h"

namespace {

// An Excel left half-started by a program that was killed refuses the next creation or two: a few
// tries over about 3 s before giving up. A class that is not registered at all is not tried again.
constexpr int Create_Attempts = 4;
constexpr int Create_Retry_Ms = 1000;

Call_Result Create_Excel() {
    Call_Result created;
    for (int attempt = 0; attempt < Create_Attempts; ++attempt) {
        if (attempt > 0) {
            Wait_Time(Create_Retry_Ms);
            if (Quit_Requested()) break;  // the program is closing: no Excel to leave behind
        }
        created = Create_Automation_Object(L"Excel.Application");
        if (created.Ok()) break;
        // The versioned name is the fallback; the plain name's failure tells whether to try again.
        if (Call_Result versioned = Create_Automation_Object(L"Excel.Application.15"); versioned.Ok()) return versioned;
        if (created.Hr == CO_E_CLASSSTRING || created.Hr == REGDB_E_CLASSNOTREG) break;
    }
    return created;
}

}  // namespace

bool Excel_Session::Xl_Create() {
    Last_Workbook = Automation_Object();
    Last_Sheet = Automation_Object();
    Target_Sheet = Automation_Object();
    Pasted_Aspect_Locked.clear();
    Xl_App = Automation_Object();
    Xl_App = Create_Excel().Object();
    if (Xl_App.Is_Nothing()) return false;
    (void)Xl_App.Put(L"Visible", Variant::Bool(true));
    (void)Xl_App.Put(L"DisplayAlerts", Variant::Bool(false));
    (void)Xl_App.Put(L"WindowState", Variant::Long(xl::Minimized));
    // An Excel that cannot tell its language is taken as Japanese, the users' own.
    const Automation_Object settings = Xl_App.Get(L"LanguageSettings").Object();
    long language = xl::Language_Japanese;
    if (!settings.Get(L"LanguageID", {Variant::Long(xl::Language_Id_Ui)}).Value.To_Long(language))
        language = xl::Language_Japanese;
    Japanese_Ui = language == xl::Language_Japanese;
    return true;
}

void Excel_Session::Open_Target(const std::wstring& path) {
    // From here on Excel asks its own questions, the save question on closing included.
    (void)Xl_App.Put(L"DisplayAlerts", Variant::Bool(true));
    (void)Xl_App.Put(L"WindowState", Variant::Long(xl::Maximized));
    if (!path.empty())
        (void)Open_Workbook(path);
    else
        (void)Xl_App.Get(L"Workbooks").Object().Call(L"Add");
    Wb_Name.clear();
    Ws_Name.clear();
    (void)Xl_App.Get(L"ActiveWorkbook").Object().Get(L"Name").Value.To_Text(Wb_Name);
    (void)Xl_App.Get(L"ActiveSheet").Object().Get(L"Name").Value.To_Text(Ws_Name);
}

Call_Result Excel_Session::Open_Workbook(const std::wstring& path) const {
    Error_State errors;
    // An Excel started through automation runs every macro of what it opens; a workbook opened here
    // must be as safe as one the user opens, or not be opened.
    if (const Call_Result secured = Xl_App.Put(L"AutomationSecurity", Variant::Long(xl::Automation_Security_By_Ui));
        !secured.Ok())
        return secured;
    const Automation_Object books = errors.Record(Xl_App.Get(L"Workbooks")).Object();
    Call_Result opened = books.Call(
        L"Open", {},
        {{L"FileName", Variant::Text(path)}, {L"ReadOnly", Variant::Bool(false)}, {L"UpdateLinks", Variant::Long(0)}});
    if (errors.Failed()) opened.Hr = errors.Number();
    return opened;
}

Error_State Excel_Session::Excel_ツール_CellDrop2_Activate() const {
    Error_State errors;
    const Automation_Object books = errors.Record(Xl_App.Get(L"Workbooks")).Object();
    errors.Record(errors.Record(books.Get(L"Item", {Variant::Text(Wb_Name)})).Object().Call(L"Activate"));
    const Automation_Object sheets = errors.Record(Xl_App.Get(L"Worksheets")).Object();
    errors.Record(errors.Record(sheets.Get(L"Item", {Variant::Text(Ws_Name)})).Object().Call(L"Activate"));
    Do_Events();
    errors.Record(Active_Cell(errors).Call(L"Select"));
    Do_Events();
    return errors;
}

Error_State Excel_Session::Ensure_Target(const Automation_Object& active_sheet) {
    Error_State errors;
    // Excel answers the same object for the same sheet: the sheet the last paste went to, still active,
    // is the target without its names being read.
    if (!active_sheet.Is_Nothing() && active_sheet.Same_As(Target_Sheet)) return errors;
    Automation_Object sheet = active_sheet;
    const Automation_Object workbook = errors.Record(Active_Workbook()).Object();
    std::wstring book_name, sheet_name;
    (void)errors.Record(workbook.Get(L"Name")).Value.To_Text(book_name);
    if (book_name == Wb_Name) (void)errors.Record(sheet.Get(L"Name")).Value.To_Text(sheet_name);
    if (book_name != Wb_Name || sheet_name != Ws_Name || errors.Failed()) {
        errors = Excel_ツール_CellDrop2_Activate();
        sheet = errors.Record(Xl_App.Get(L"ActiveSheet")).Object();
    }
    Target_Sheet = sheet;
    return errors;
}

Call_Result Excel_Session::Check_Active_Sheet() {
    Call_Result sheet = Xl_App.Get(L"ActiveSheet");
    Last_Sheet = sheet.Object();
    if (sheet.Ok() && sheet.Object().Is_Nothing()) {
        // Excel answers Nothing when no workbook is open: as good as an error here.
        sheet.Hr = E_POINTER;
        sheet.Description = L"No active sheet";
    }
    return sheet;
}

Call_Result Excel_Session::Active_Workbook() {
    Call_Result book = Xl_App.Get(L"ActiveWorkbook");
    Last_Workbook = book.Object();
    if (book.Ok() && book.Object().Is_Nothing()) {
        // Excel answers Nothing when no workbook is open: as good as an error here.
        book.Hr = E_POINTER;
        book.Description = L"No active workbook";
    }
    return book;
}

void Excel_Session::Close_Active_Workbook() const { (void)Xl_App.Get(L"ActiveWorkbook").Object().Call(L"Close"); }

void Excel_Session::Xl_Quit() {
    (void)Xl_App.Call(L"Quit");
    Let_Go();
}

void Excel_Session::Let_Go() {
    Last_Workbook = Automation_Object();
    Last_Sheet = Automation_Object();
    Target_Sheet = Automation_Object();
    Xl_App = Automation_Object();
}

Automation_Object Excel_Session::Active_Cell(Error_State& errors) const {
    return errors.Record(Xl_App.Get(L"ActiveCell")).Object();
}

Automation_Object Excel_Session::Active_Sheet(Error_State& errors) const {
    if (!Target_Sheet.Is_Nothing()) return Target_Sheet;
    return errors.Record(Xl_App.Get(L"ActiveSheet")).Object();
}

bool Excel_Session::Active_Cell_Position(long& row, long& column) const {
    Error_State errors;
    const Automation_Object cell = Active_Cell(errors);
    return cell.Get(L"Row").Value.To_Long(row) && cell.Get(L"Column").Value.To_Long(column);
}

void Excel_Session::Select_Cell(long row, long column, Error_State& errors) const {
    const Automation_Object cell =
        errors.Record(Active_Sheet(errors).Get(L"Cells", {Variant::Long(row), Variant::Long(column)})).Object();
    errors.Record(cell.Call(L"Select"));
}

void Excel_Session::Select_Offset(const Automation_Object& cell, long rows, long columns, Error_State& errors) const {
    errors.Record(
        errors.Record(cell.Get(L"Offset", {Variant::Long(rows), Variant::Long(columns)})).Object().Call(L"Select"));
}
