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
    book.Kind_Ids = workbook_ids_;
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
    return errors.Record(As_Range(Xl_App.Get(L"ActiveCell"))).Object();
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
        errors.Record(As_Range(Active_Sheet(errors).Get(L"Cells", {Variant::Long(row), Variant::Long(column)})))
            .Object();
    errors.Record(cell.Call(L"Select"));
}

void Excel_Session::Select_Offset(const Automation_Object& cell, long rows, long columns, Error_State& errors) const {
    errors.Record(errors.Record(Offset(cell, rows, columns)).Object().Call(L"Select"));
}

Call_Result Excel_Session::Offset(const Automation_Object& range, long rows, long columns) const {
    return As_Range(range.Get(L"Offset", {Variant::Long(rows), Variant::Long(columns)}));
}

Call_Result Excel_Session::Resize(const Automation_Object& range, long rows, long columns) const {
    return As_Range(range.Get(L"Resize", {Variant::Long(rows), Variant::Long(columns)}));
}

namespace {

const wchar_t* Member_Of(Cell_Content what) { return what == Cell_Content::Formula ? L"Formula" : L"Value"; }

// The cells of a block (rows x columns) from one read, row by row: a single value for one cell, an
// array from 1 for several.
std::optional<std::vector<Variant>> Cells_Of(const Call_Result& value, long rows, long columns) {
    std::vector<Variant> cells;
    if (rows <= 0 || columns <= 0) return cells;
    if (!value.Ok()) return std::nullopt;
    const VARIANT& v = value.Value.Get();
    if (!(v.vt & VT_ARRAY)) {
        if (rows != 1 || columns != 1) return std::nullopt;
        cells.push_back(value.Value);
        return cells;
    }
    SAFEARRAY* array = v.parray;
    LONG low_row = 0, low_column = 0;
    if (v.vt != (VT_ARRAY | VT_VARIANT) || !array || SafeArrayGetDim(array) != 2 ||
        FAILED(SafeArrayGetLBound(array, 1, &low_row)) || FAILED(SafeArrayGetLBound(array, 2, &low_column)))
        return std::nullopt;
    for (long i = 0; i < rows; ++i)
        for (long j = 0; j < columns; ++j) {
            LONG index[2] = {low_row + i, low_column + j};
            Variant cell;
            if (FAILED(SafeArrayGetElement(array, index, cell.Put()))) return std::nullopt;
            cells.push_back(std::move(cell));
        }
    return cells;
}

double Number_Of(const Call_Result& r) {
    double v = 0;
    return r.Value.To_Double(v) ? v : 0;
}

}  // namespace

Block_Read Excel_Session::Read_Block(const Automation_Object& range, Cell_Content what, long rows, long columns) const {
    Block_Read block;
    block.Read = range.Get(Member_Of(what));
    block.Cells = Cells_Of(block.Read, rows, columns);
    return block;
}

Call_Result Excel_Session::Put(const Automation_Object& range, Cell_Content what, const Variant& value) const {
    return range.Put(Member_Of(what), value);
}

Call_Result Excel_Session::Put_Block(const Automation_Object& range, Cell_Content what, long rows, long columns,
                                     const std::vector<Variant>& values) const {
    return range.Put(Member_Of(what), Variant::Array(rows, columns, values));
}

bool Excel_Session::Same_Value(const Variant& a, const Variant& b) {
    if (a.Type() != b.Type()) return false;
    if (a.Type() == VT_EMPTY) return true;
    return VarCmp(const_cast<VARIANT*>(&a.Get()), const_cast<VARIANT*>(&b.Get()), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}

bool Excel_Session::Column_Width(const Automation_Object& range, double& width) const {
    return range.Get(L"ColumnWidth").Value.To_Double(width);
}

Call_Result Excel_Session::Set_Column_Width(const Automation_Object& range, double width) const {
    return range.Put(L"ColumnWidth", Variant::Double(width));
}

double Excel_Session::Height(const Automation_Object& object) const { return Number_Of(object.Get(L"Height")); }

double Excel_Session::Width(const Automation_Object& object) const { return Number_Of(object.Get(L"Width")); }

Call_Result Excel_Session::Paste(const Automation_Object& sheet) const { return sheet.Call(L"Paste"); }

Call_Result Excel_Session::Paste_Special(const Automation_Object& sheet, const wchar_t* format) const {
    return sheet.Call(L"PasteSpecial", {},
                      {{L"Format", Variant::Text(format)},
                       {L"Link", Variant::Bool(false)},
                       {L"DisplayAsIcon", Variant::Bool(false)}});
}

Call_Result Excel_Session::Paste_Values_Into_Selection() const {
    return Selection().Object().Call(L"PasteSpecial", {},
                                     {{L"Paste", Variant::Long(xl::Paste_Values)},
                                      {L"Operation", Variant::Long(xl::Operation_None)},
                                      {L"SkipBlanks", Variant::Bool(false)},
                                      {L"Transpose", Variant::Bool(false)}});
}

// Of no one kind (a range, a picture, a chart…): each selection keeps its own member IDs.
Call_Result Excel_Session::Selection() const { return Xl_App.Get(L"Selection"); }

Call_Result Excel_Session::Shape_Range(const Automation_Object& selection) const {
    Call_Result shapes = selection.Get(L"ShapeRange");
    shapes.Kind_Ids = shape_range_ids_;
    return shapes;
}

namespace {
constexpr long Scale_From_Top_Left = 0;  // msoScaleFromTopLeft
}

Call_Result Excel_Session::Scale_Width(const Automation_Object& shapes, double factor) const {
    return shapes.Call(L"ScaleWidth",
                       {Variant::Double(factor), Variant::Bool(false), Variant::Long(Scale_From_Top_Left)});
}

Call_Result Excel_Session::Scale_Height(const Automation_Object& shapes, double factor) const {
    return shapes.Call(L"ScaleHeight",
                       {Variant::Double(factor), Variant::Bool(false), Variant::Long(Scale_From_Top_Left)});
}

Call_Result Excel_Session::Lock_Aspect_Ratio(const Automation_Object& shapes) const {
    return shapes.Get(L"LockAspectRatio");
}

Call_Result Excel_Session::Name_Of(const Automation_Object& object) const { return object.Get(L"Name"); }

Call_Result Excel_Session::Select(const Automation_Object& object) const { return object.Call(L"Select"); }

Call_Result Excel_Session::Activate(const Automation_Object& object) const { return object.Call(L"Activate"); }

Call_Result Excel_Session::Delete(const Automation_Object& object) const { return object.Call(L"Delete"); }

Call_Result Excel_Session::First_Shape(const Automation_Object& shapes) const {
    Call_Result shape = shapes.Call(L"Item", {Variant::Long(1)});
    shape.Kind_Ids = shape_ids_;
    return shape;
}

Call_Result Excel_Session::Set_Alternative_Text(const Automation_Object& shape, const std::wstring& text) const {
    return shape.Put(L"AlternativeText", Variant::Text(text));
}

Call_Result Excel_Session::Bottom_Right_Cell(const Automation_Object& shape) const {
    return As_Range(shape.Get(L"BottomRightCell"));
}

bool Excel_Session::Position(const Automation_Object& range, long& row, long& column) const {
    return range.Get(L"Row").Value.To_Long(row) && range.Get(L"Column").Value.To_Long(column);
}

std::optional<std::vector<std::wstring>> Excel_Session::Sheet_Names() const {
    Error_State errors;
    const Automation_Object book = errors.Record(Xl_App.Get(L"ActiveWorkbook")).Object();
    const Automation_Object sheets = errors.Record(book.Get(L"Sheets")).Object();
    long count = 0;
    if (errors.Failed() || !sheets.Get(L"Count").Value.To_Long(count)) return std::nullopt;
    std::vector<std::wstring> names;
    for (long i = 1; i <= count; ++i) {
        Call_Result sheet = sheets.Get(L"Item", {Variant::Long(i)});
        sheet.Kind_Ids = sheet_ids_;
        if (!sheet.Object().Get(L"Name").Value.To_Text(names.emplace_back())) return std::nullopt;
    }
    return names;
}

Call_Result Excel_Session::Add_Sheet_After(const Automation_Object& sheet) const {
    Error_State errors;
    const Automation_Object book = errors.Record(Xl_App.Get(L"ActiveWorkbook")).Object();
    const Automation_Object sheets = errors.Record(book.Get(L"Sheets")).Object();
    if (errors.Failed()) {
        Call_Result failed;
        failed.Hr = errors.Number();
        failed.Description = errors.Description();
        return failed;
    }
    Call_Result added = sheets.Call(L"Add", {}, {{L"After", Variant::Object(sheet.Raw())}});
    added.Kind_Ids = sheet_ids_;
    return added;
}

Call_Result Excel_Session::Rename(const Automation_Object& sheet, const std::wstring& name) const {
    return sheet.Put(L"Name", Variant::Text(name));
}

Call_Result Excel_Session::Cell(const Automation_Object& sheet, long row, long column) const {
    return As_Range(sheet.Get(L"Cells", {Variant::Long(row), Variant::Long(column)}));
}
