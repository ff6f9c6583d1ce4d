// Excel's Workbooks collection, Workbook, and a book's Sheets collection.
#include "automation_objects.h"
#include "stand_in.h"

namespace {

// How an Item(index) argument picks from a collection: a text by name, anything else by number.
bool Is_Name(const VARIANT& v) { return v.vt == VT_BSTR; }

std::wstring Bstr_Text(const VARIANT& v) { return std::wstring(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal)); }

}  // namespace

Workbook* Find_Workbook_Arg(Excel_Model& model, Call& call, std::size_t position) {
    const VARIANT* index = call.Arg(position);
    Workbook* book = nullptr;
    if (index && Is_Name(*index)) {
        book = model.Find_Workbook(Bstr_Text(*index));
    } else if (const auto number = call.Long(position)) {
        book = model.Workbook_At(*number);
    } else {
        return nullptr;
    }
    if (!book) call.Fail_Index();
    return book;
}

Sheet* Find_Sheet_Arg(Workbook& book, Call& call, std::size_t position) {
    const VARIANT* index = call.Arg(position);
    Sheet* sheet = nullptr;
    if (index && Is_Name(*index)) {
        sheet = book.Find_Sheet(Bstr_Text(*index));
    } else if (const auto number = call.Long(position)) {
        sheet = book.Sheet_At(*number);
    } else {
        return nullptr;
    }
    if (!sheet) call.Fail_Index();
    return sheet;
}

// --- Workbooks ---

namespace {

enum : DISPID { Id_Count = 1, Id_Item, Id_Add, Id_Open };

const Member_Table& Workbooks_Members() {
    static const Member_Table table{{
                                        {Id_Count, L"Count", Member_Kind::Read_Only, {}},
                                        {Id_Item, L"Item", Member_Kind::Read_Only, {L"Index"}},
                                        {Id_Add, L"Add", Member_Kind::Method, {L"Template"}},
                                        {Id_Open,
                                         L"Open",
                                         Member_Kind::Method,
                                         {L"FileName", L"UpdateLinks", L"ReadOnly", L"Format", L"Password",
                                          L"WriteResPassword", L"IgnoreReadOnlyRecommended", L"Origin", L"Delimiter",
                                          L"Editable", L"Notify", L"Converter", L"AddToMru", L"Local", L"CorruptLoad"}},
                                    },
                                    Id_Item};
    return table;
}

}  // namespace

Workbooks_Object::Workbooks_Object(Stand_In& stand_in) : Dispatch_Object(stand_in, Workbooks_Members(), L"Workbooks") {}

void Workbooks_Object::Invoke_Member(DISPID id, Call& call) {
    Excel_Model& model = stand_in_.Model();
    switch (id) {
        case Id_Count:
            call.Return(Unique_Variant::Long(static_cast<long>(model.Workbooks().size())));
            return;
        case Id_Item:
            if (Workbook* book = Find_Workbook_Arg(model, call, 0))
                call.Return_Object(new Workbook_Object(stand_in_, book->Id));
            return;
        case Id_Add:
            if (call.Has(0)) {
                call.Not_Supported(L"Workbooks.Add Template");
                return;
            }
            call.Return_Object(new Workbook_Object(stand_in_, model.Add_Workbook().Id));
            return;
        case Id_Open:
            Open(call);
            return;
    }
}

namespace {

bool Ends_With_No_Case(const std::wstring& name, std::wstring_view ending) {
    return name.size() >= ending.size() &&
           Same_Name(std::wstring_view(name).substr(name.size() - ending.size()), ending);
}

// An .xlsx or .xlsm file is a zip package, an .xls file a compound file; Excel refuses one that is not.
// Other extensions are not checked.
bool Holds_Its_Format(const wchar_t* path, const std::wstring& name) {
    std::string_view signature;
    if (Ends_With_No_Case(name, L".xlsx") || Ends_With_No_Case(name, L".xlsm"))
        signature = "PK";
    else if (Ends_With_No_Case(name, L".xls"))
        signature = std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    else
        return true;
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char head[8] = {};
    DWORD read = 0;
    const bool ok = ReadFile(file, head, sizeof head, &read, nullptr) && read >= signature.size() &&
                    std::string_view(head, signature.size()) == signature;
    CloseHandle(file);
    if (!ok || signature != "PK") return ok;
    // A zip starts with a local file header, or is an empty archive of its end record alone.
    return (head[2] == '\x03' && head[3] == '\x04') || (head[2] == '\x05' && head[3] == '\x06');
}

}  // namespace

void Workbooks_Object::Open(Call& call) {
    const auto file = call.Text(0);
    call.Optional_Long(1);  // UpdateLinks
    call.Optional_Bool(2);  // ReadOnly
    if (call.Failed()) return;
    wchar_t full[MAX_PATH * 4];
    wchar_t* name_part = nullptr;
    const DWORD length = GetFullPathNameW(file->c_str(), MAX_PATH * 4, full, &name_part);
    const DWORD attributes = length > 0 && length < MAX_PATH * 4 ? GetFileAttributesW(full) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) || !name_part) {
        call.Fail(Xl_Error_1004, L"'" + *file +
                                     L"' が見つかりません。ファイル名およびファイルの保存場所が正しいかどうかを確認して"
                                     L"ください。");
        return;
    }
    const std::wstring name = name_part;
    if (!Holds_Its_Format(full, name)) {
        call.Fail(Xl_Error_1004,
                  L"ファイル形式またはファイル拡張子が正しくないため、'" + name +
                      L"' を開くことができません。ファイルが破損しておらず、ファイル拡張子とファイル形式が一致"
                      L"していることを確認してください。");
        return;
    }
    const std::wstring folder(full, name_part - 1);
    Excel_Model& model = stand_in_.Model();
    if (Workbook* open = model.Find_Workbook(name)) {
        // The same file again just comes to the front; another file of the same name cannot open.
        if (!Same_Name(open->Path, folder)) {
            call.Fail(Xl_Error_1004, L"'" + name + L"' と同じ名前のブックを同時に開くことはできません。");
            return;
        }
        model.Activate_Workbook(open->Id);
        call.Return_Object(new Workbook_Object(stand_in_, open->Id));
        return;
    }
    Workbook& opened = model.Open_Workbook(folder, name);
    opened.Opened_Under_Security = model.Automation_Security;
    call.Return_Object(new Workbook_Object(stand_in_, opened.Id));
}

// --- Workbook ---

namespace {

enum : DISPID {
    Id_Book_Name = 1,
    Id_Path,
    Id_Full_Name,
    Id_Activate,
    Id_Close,
    Id_Worksheets,
    Id_Sheets,
    Id_Active_Sheet,
};

const Member_Table& Workbook_Members() {
    static const Member_Table table{
        {
            {Id_Book_Name, L"Name", Member_Kind::Read_Only, {}},
            {Id_Path, L"Path", Member_Kind::Read_Only, {}},
            {Id_Full_Name, L"FullName", Member_Kind::Read_Only, {}},
            {Id_Activate, L"Activate", Member_Kind::Method, {}},
            {Id_Close, L"Close", Member_Kind::Method, {L"SaveChanges", L"Filename", L"RouteWorkbook"}},
            {Id_Worksheets, L"Worksheets", Member_Kind::Read_Only, {L"Index"}},
            {Id_Sheets, L"Sheets", Member_Kind::Read_Only, {L"Index"}},
            {Id_Active_Sheet, L"ActiveSheet", Member_Kind::Read_Only, {}},
        },
        Id_Book_Name};
    return table;
}

}  // namespace

Workbook_Object::Workbook_Object(Stand_In& stand_in, Object_Id book)
    : Dispatch_Object(stand_in, Workbook_Members(), L"Workbook"), book_(book) {}

std::wstring Workbook_Object::Describe() const {
    const Workbook* book = stand_in_.Model().Find_Workbook(book_);
    return L"Workbook " + (book ? book->Name : L"(closed)");
}

void Workbook_Object::Invoke_Member(DISPID id, Call& call) {
    Excel_Model& model = stand_in_.Model();
    Workbook* book = model.Find_Workbook(book_);
    if (!book) {
        call.Fail_Deleted();
        return;
    }
    switch (id) {
        case Id_Book_Name:
            call.Return(Unique_Variant::Text(book->Name));
            return;
        case Id_Path:
            call.Return(Unique_Variant::Text(book->Path));
            return;
        case Id_Full_Name:
            call.Return(Unique_Variant::Text(book->Path.empty() ? book->Name : book->Path + L"\\" + book->Name));
            return;
        case Id_Activate:
            model.Activate_Workbook(book_);
            return;
        case Id_Close:
            if (call.Optional_Bool(0).value_or(false) || call.Has(1)) {
                call.Not_Supported(L"Workbook.Close で保存すること");
                return;
            }
            if (!call.Failed()) model.Close_Workbook(book_);
            return;
        case Id_Worksheets:
        case Id_Sheets:
            if (!call.Has(0)) {
                call.Return_Object(new Sheets_Object(stand_in_, book_));
            } else if (Sheet* sheet = Find_Sheet_Arg(*book, call, 0)) {
                call.Return_Object(Worksheet_Object::Of(stand_in_, book_, sheet->Id));
            }
            return;
        case Id_Active_Sheet:
            call.Return_Object(Worksheet_Object::Of(stand_in_, book_, book->Active_Sheet));
            return;
    }
}

// --- Sheets ---

namespace {

enum : DISPID { Id_Sheets_Count = 1, Id_Sheets_Item, Id_Sheets_Add };

const Member_Table& Sheets_Members() {
    static const Member_Table table{
        {
            {Id_Sheets_Count, L"Count", Member_Kind::Read_Only, {}},
            {Id_Sheets_Item, L"Item", Member_Kind::Read_Only, {L"Index"}},
            {Id_Sheets_Add, L"Add", Member_Kind::Method, {L"Before", L"After", L"Count", L"Type"}},
        },
        Id_Sheets_Item};
    return table;
}

}  // namespace

Sheets_Object::Sheets_Object(Stand_In& stand_in, Object_Id book)
    : Dispatch_Object(stand_in, Sheets_Members(), L"Sheets"), book_(book) {}

void Sheets_Object::Invoke_Member(DISPID id, Call& call) {
    Workbook* book = stand_in_.Model().Find_Workbook(book_);
    if (!book) {
        call.Fail_Deleted();
        return;
    }
    switch (id) {
        case Id_Sheets_Count:
            call.Return(Unique_Variant::Long(static_cast<long>(book->Sheets.size())));
            return;
        case Id_Sheets_Item:
            if (Sheet* sheet = Find_Sheet_Arg(*book, call, 0))
                call.Return_Object(Worksheet_Object::Of(stand_in_, book_, sheet->Id));
            return;
        case Id_Sheets_Add:
            Add(*book, call);
            return;
    }
}

void Sheets_Object::Add(Workbook& book, Call& call) {
    if (call.Has(2) || call.Has(3)) {
        call.Not_Supported(L"Sheets.Add with Count or Type");
        return;
    }
    if (call.Has(0) && call.Has(1)) {
        call.Fail();  // Excel takes Before or After, not both
        return;
    }
    // Before the active sheet unless told otherwise; the sheet named must be one of this book's.
    std::size_t position = 0;
    const auto at = [&](Object_Id id) {
        for (std::size_t i = 0; i < book.Sheets.size(); ++i)
            if (book.Sheets[i].Id == id) return std::optional<std::size_t>(i);
        return std::optional<std::size_t>();
    };
    if (call.Has(0) || call.Has(1)) {
        const auto sheet = Sheet_Arg(call, call.Has(1) ? 1 : 0);
        const auto index = sheet && sheet->first == book_ ? at(sheet->second) : std::nullopt;
        if (!index) {
            call.Fail();
            return;
        }
        position = *index + (call.Has(1) ? 1 : 0);
    } else {
        position = at(book.Active_Sheet).value_or(0);
    }
    const Sheet& added = stand_in_.Model().Insert_Sheet(book, position);
    call.Return_Object(Worksheet_Object::Of(stand_in_, book_, added.Id));
}
