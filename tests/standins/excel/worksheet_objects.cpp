// Excel's Worksheet.
#include <cstring>

#include "automation_objects.h"
#include "clipboard_reader.h"
#include "paste_choice.h"
#include "stand_in.h"

namespace {

// Another program's copy racing a paste, put on the clipboard the way a program copies.
void Copy_Racing_Paste(Stand_In& stand_in) {
    const std::optional<std::wstring> text = stand_in.Take_Copy_Before_Paste();
    if (!text || !OpenClipboard(nullptr)) return;
    const std::size_t bytes = (text->size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (void* p = memory ? GlobalLock(memory) : nullptr) {
        std::memcpy(p, text->c_str(), bytes);
        GlobalUnlock(memory);
        if (EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory)) memory = nullptr;
    }
    if (memory) GlobalFree(memory);
    CloseClipboard();
}

// Puts the copy on the sheet at the cell the way the paste chose, or fails as Excel does when the
// copy cannot supply what was asked for.
void Paste_At(Sheet& sheet, Call& call, Cell_Ref at, Paste_As as, const Clipboard_Offer& offer) {
    switch (as) {
        case Paste_As::Text:
            sheet.Select(sheet.Paste_Text(at, *offer.Text));
            return;
        case Paste_As::Ansi_Text:
            sheet.Select(sheet.Paste_Text(at, *offer.Ansi_Text));
            return;
        case Paste_As::Picture:
            if (!offer.Picture) {
                call.Not_Supported(L"a picture copied without a bitmap or metafile to give its size");
                return;
            }
            sheet.Add_Picture(at, offer.Picture->Width * Points_Per_Pixel, offer.Picture->Height * Points_Per_Pixel);
            return;
        case Paste_As::Nothing:
            call.Fail();
            return;
    }
}

}  // namespace

bool Is_Active_Sheet(Excel_Model& model, Object_Id book, Object_Id sheet) {
    const Workbook* active = model.Active_Workbook();
    return active && active->Id == book && active->Active_Sheet == sheet;
}

std::optional<Range_Ref> Range_Arg(const Call& call, std::size_t position) {
    const VARIANT* v = call.Arg(position);
    if (!v || (v->vt != VT_DISPATCH && v->vt != VT_UNKNOWN) || !v->punkVal) return std::nullopt;
    Dispatch_Object* ours = Dispatch_Object::From(v->punkVal);
    if (!ours) return std::nullopt;
    std::optional<Range_Ref> ref;
    if (const auto* range = dynamic_cast<const Range_Object*>(ours))
        ref = Range_Ref{range->Book(), range->Sheet_Id(), range->Rect()};
    ours->Release();
    return ref;
}

std::optional<std::pair<Object_Id, Object_Id>> Sheet_Arg(const Call& call, std::size_t position) {
    const VARIANT* v = call.Arg(position);
    if (!v || (v->vt != VT_DISPATCH && v->vt != VT_UNKNOWN) || !v->punkVal) return std::nullopt;
    Dispatch_Object* ours = Dispatch_Object::From(v->punkVal);
    if (!ours) return std::nullopt;
    std::optional<std::pair<Object_Id, Object_Id>> ref;
    if (const auto* sheet = dynamic_cast<const Worksheet_Object*>(ours))
        ref = std::pair{sheet->Book(), sheet->Sheet_Id()};
    ours->Release();
    return ref;
}

// --- Worksheet ---

namespace {

enum : DISPID {
    Id_Name = 1,
    Id_Index,
    Id_Activate,
    Id_Cells,
    Id_Range,
    Id_Paste,
    Id_Paste_Special,
    Id_Shapes,
};

const Member_Table& Worksheet_Members() {
    static const Member_Table table{
        {
            {Id_Name, L"Name", Member_Kind::Property, {}},
            {Id_Index, L"Index", Member_Kind::Read_Only, {}},
            {Id_Activate, L"Activate", Member_Kind::Method, {}},
            {Id_Cells, L"Cells", Member_Kind::Read_Only, {L"RowIndex", L"ColumnIndex"}},
            {Id_Range, L"Range", Member_Kind::Read_Only, {L"Cell1", L"Cell2"}},
            {Id_Paste, L"Paste", Member_Kind::Method, {L"Destination", L"Link"}},
            {Id_Paste_Special,
             L"PasteSpecial",
             Member_Kind::Method,
             {L"Format", L"Link", L"DisplayAsIcon", L"IconFileName", L"IconIndex", L"IconLabel", L"NoHTMLFormatting"}},
            {Id_Shapes, L"Shapes", Member_Kind::Read_Only, {L"Index"}},
        },
        Id_Name};
    return table;
}

}  // namespace

Worksheet_Object::Worksheet_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet)
    : Dispatch_Object(stand_in, Worksheet_Members(), L"Worksheet"), book_(book), sheet_(sheet) {}

Worksheet_Object* Worksheet_Object::Of(Stand_In& stand_in, Object_Id book, Object_Id sheet) {
    if (Worksheet_Object* held = stand_in.Find_Live<Worksheet_Object>(
            [&](const Worksheet_Object& w) { return w.book_ == book && w.sheet_ == sheet; })) {
        held->AddRef();
        return held;
    }
    return new Worksheet_Object(stand_in, book, sheet);
}

std::wstring Worksheet_Object::Describe() const {
    const Sheet* sheet = stand_in_.Model().Find_Sheet(book_, sheet_);
    return L"Worksheet " + (sheet ? sheet->Name : L"(deleted)");
}

void Worksheet_Object::Invoke_Member(DISPID id, Call& call) {
    Excel_Model& model = stand_in_.Model();
    Workbook* book = model.Find_Workbook(book_);
    Sheet* sheet = book ? book->Find_Sheet(sheet_) : nullptr;
    if (!sheet) {
        call.Fail_Deleted();
        return;
    }
    switch (id) {
        case Id_Name:
            if (call.Kind() != Call_Kind::Put) {
                call.Return(Unique_Variant::Text(sheet->Name));
            } else if (const auto name = call.Value_Text()) {
                switch (model.Check_Sheet_Name(*book, *name, sheet_)) {
                    case Name_Check::Ok:
                        sheet->Name = *name;
                        break;
                    case Name_Check::Invalid:
                        call.Fail(Xl_Error_1004, L"入力されたシートまたはグラフの名前が正しくありません。");
                        break;
                    case Name_Check::Taken:
                        call.Fail(Xl_Error_1004, L"その名前は既に使用されています。別の名前を入力してください。");
                        break;
                }
            }
            return;
        case Id_Index:
            call.Return(Unique_Variant::Long(static_cast<long>(sheet - book->Sheets.data()) + 1));
            return;
        case Id_Activate:
            model.Activate_Workbook(book_);
            book->Active_Sheet = sheet_;
            return;
        case Id_Cells:
            Cells(call);
            return;
        case Id_Range:
            Range(call);
            return;
        case Id_Paste:
            Paste(*sheet, call);
            return;
        case Id_Paste_Special:
            Paste_Special(*sheet, call);
            return;
        case Id_Shapes:
            if (!call.Has(0)) {
                call.Return_Object(new Shapes_Object(stand_in_, book_, sheet_));
            } else if (const Shape* shape = Find_Shape_Arg(*sheet, call, 0)) {
                call.Return_Object(new Shape_Object(stand_in_, book_, sheet_, shape->Id));
            }
            return;
    }
}

void Worksheet_Object::Cells(Call& call) {
    Cell_Rect rect{1, 1, Max_Rows, Max_Columns};  // Cells without arguments: the whole sheet
    if (call.Has(0) && call.Has(1)) {
        const auto row = call.Long(0);
        const VARIANT* column_arg = call.Arg(1);
        std::optional<long> column;
        if (column_arg->vt == VT_BSTR) {
            const auto letters =
                Column_From_Letters(std::wstring_view(column_arg->bstrVal, SysStringLen(column_arg->bstrVal)));
            column = letters ? std::optional<long>(*letters) : call.Long(1);
        } else {
            column = call.Long(1);
        }
        if (!row || !column) return;
        rect = Cell_Rect::Of({static_cast<int>(*row), static_cast<int>(*column)});
        if (*row < 1 || *row > Max_Rows || *column < 1 || *column > Max_Columns) {
            call.Fail();
            return;
        }
    } else if (call.Has(0) || call.Has(1)) {
        call.Not_Supported(L"Cells with one argument");
        return;
    }
    call.Return_Object(new Range_Object(stand_in_, book_, sheet_, rect));
}

void Worksheet_Object::Range(Call& call) {
    // Each corner is an A1 text or one of our ranges on this sheet.
    auto corner = [&](std::size_t position) -> std::optional<Cell_Rect> {
        const VARIANT* v = call.Arg(position);
        if (v && v->vt == VT_BSTR) return Parse_Address(std::wstring_view(v->bstrVal, SysStringLen(v->bstrVal)));
        const auto range = Range_Arg(call, position);
        if (range && range->Book == book_ && range->Sheet == sheet_) return range->Rect;
        return std::nullopt;
    };
    if (!call.Has(0)) {
        call.Fail_Hresult(DISP_E_PARAMNOTOPTIONAL, L"引数は省略できません。");
        return;
    }
    auto rect = corner(0);
    if (rect && call.Has(1)) {
        const auto second = corner(1);
        rect = second ? std::optional<Cell_Rect>(Bounding(*rect, *second)) : std::nullopt;
    }
    if (!rect) {
        call.Fail();
        return;
    }
    call.Return_Object(new Range_Object(stand_in_, book_, sheet_, *rect));
}

void Worksheet_Object::Paste(Sheet& sheet, Call& call) {
    if (call.Optional_Bool(1).value_or(false)) call.Not_Supported(L"Worksheet.Paste Link:=True");
    if (call.Failed()) return;
    Cell_Ref at = sheet.Active_Cell;
    if (call.Has(0)) {
        const auto destination = Range_Arg(call, 0);
        if (!destination || destination->Book != book_ || destination->Sheet != sheet_) {
            call.Fail();
            return;
        }
        at = destination->Rect.Top_Left();
    } else if (!Is_Active_Sheet(stand_in_.Model(), book_, sheet_)) {
        call.Fail();
        return;
    }
    Copy_Racing_Paste(stand_in_);
    const Clipboard_Offer offer = Read_Clipboard(stand_in_.Window());
    Paste_At(sheet, call, at, Default_Paste(offer), offer);
}

void Worksheet_Object::Paste_Special(Sheet& sheet, Call& call) {
    const auto format = call.Optional_Text(0);
    const bool link = call.Optional_Bool(1).value_or(false);
    const bool icon = call.Optional_Bool(2).value_or(false);
    if (call.Failed()) return;
    if (link || icon) {
        call.Not_Supported(L"Worksheet.PasteSpecial Link / DisplayAsIcon");
        return;
    }
    // Excel pastes at the active cell of the sheet on screen; any other sheet fails.
    if (!Is_Active_Sheet(stand_in_.Model(), book_, sheet_)) {
        call.Fail();
        return;
    }
    Copy_Racing_Paste(stand_in_);
    const Clipboard_Offer offer = Read_Clipboard(stand_in_.Window());
    Paste_At(sheet, call, sheet.Active_Cell,
             format ? Paste_Special_As(*format, offer, stand_in_.Model().Ui_Language) : Default_Paste(offer), offer);
}
