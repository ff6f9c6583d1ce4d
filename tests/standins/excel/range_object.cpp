// Excel's Range.
#include "automation_objects.h"
#include "stand_in.h"

namespace {

enum : DISPID {
    Id_Row = 1,
    Id_Column,
    Id_Value,
    Id_Column_Width,
    Id_Height,
    Id_Width,
    Id_Left,
    Id_Top,
    Id_Select,
    Id_Range_Activate,
    Id_Address,
    Id_Range_Paste_Special,
    Id_Offset,
    Id_Resize,
    Id_Formula,
};

const Member_Table& Range_Members() {
    static const Member_Table table{
        {
            {Id_Row, L"Row", Member_Kind::Read_Only, {}},
            {Id_Column, L"Column", Member_Kind::Read_Only, {}},
            {Id_Value, L"Value", Member_Kind::Property, {L"RangeValueDataType"}},
            {Id_Column_Width, L"ColumnWidth", Member_Kind::Property, {}},
            {Id_Height, L"Height", Member_Kind::Read_Only, {}},
            {Id_Width, L"Width", Member_Kind::Read_Only, {}},
            {Id_Left, L"Left", Member_Kind::Read_Only, {}},
            {Id_Top, L"Top", Member_Kind::Read_Only, {}},
            {Id_Select, L"Select", Member_Kind::Method, {}},
            {Id_Range_Activate, L"Activate", Member_Kind::Method, {}},
            {Id_Address,
             L"Address",
             Member_Kind::Read_Only,
             {L"RowAbsolute", L"ColumnAbsolute", L"ReferenceStyle", L"External", L"RelativeTo"}},
            {Id_Range_Paste_Special,
             L"PasteSpecial",
             Member_Kind::Method,
             {L"Paste", L"Operation", L"SkipBlanks", L"Transpose"}},
            {Id_Offset, L"Offset", Member_Kind::Read_Only, {L"RowOffset", L"ColumnOffset"}},
            {Id_Resize, L"Resize", Member_Kind::Read_Only, {L"RowSize", L"ColumnSize"}},
            {Id_Formula, L"Formula", Member_Kind::Property, {}},
        },
        Id_Value};
    return table;
}

constexpr long Xl_Range_Value_Default = 10;
constexpr long Xl_A1 = 1;

}  // namespace

Range_Object::Range_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet, Cell_Rect rect)
    : Dispatch_Object(stand_in, Range_Members(), L"Range"), book_(book), sheet_(sheet), rect_(rect) {}

std::wstring Range_Object::Describe() const { return L"Range " + Address_Text(rect_); }

void Range_Object::Invoke_Member(DISPID id, Call& call) {
    Excel_Model& model = stand_in_.Model();
    Sheet* sheet = model.Find_Sheet(book_, sheet_);
    if (!sheet) {
        call.Fail_Deleted();
        return;
    }
    switch (id) {
        case Id_Row:
            call.Return(Unique_Variant::Long(rect_.Top));
            return;
        case Id_Column:
            call.Return(Unique_Variant::Long(rect_.Left));
            return;
        case Id_Value:
            if (call.Optional_Long(0).value_or(Xl_Range_Value_Default) != Xl_Range_Value_Default)
                call.Not_Supported(L"Range.Value RangeValueDataType");
            if (call.Failed()) return;
            if (call.Kind() == Call_Kind::Put)
                Put_Value(*sheet, call);
            else
                Get_Value(*sheet, call);
            return;
        case Id_Formula:
            // A put is typing, as a Value put is: "=1+2" a formula, "'0123" a text, a number a number.
            if (call.Kind() == Call_Kind::Put)
                Put_Value(*sheet, call);
            else
                Get_Value(*sheet, call,
                          [](const Cell_Value& cell) { return Unique_Variant::Text(Formula_Text(cell)); });
            return;
        case Id_Column_Width:
            Column_Width(*sheet, call);
            return;
        case Id_Height:
            call.Return(Unique_Variant::Double(rect_.Rows() * Default_Row_Height));
            return;
        case Id_Width: {
            double points = 0;
            for (int column = rect_.Left; column <= rect_.Right; ++column)
                points += Column_Points(sheet->Column_Width(column));
            call.Return(Unique_Variant::Double(points));
            return;
        }
        case Id_Left:
            call.Return(Unique_Variant::Double(sheet->Column_Left(rect_.Left)));
            return;
        case Id_Top:
            call.Return(Unique_Variant::Double(sheet->Row_Top(rect_.Top)));
            return;
        case Id_Select:
        case Id_Range_Activate:
            // Excel selects only on the sheet on screen.
            if (!Is_Active_Sheet(model, book_, sheet_)) {
                call.Fail();
            } else if (id == Id_Range_Activate && rect_.Rows() == 1 && rect_.Columns() == 1 && !sheet->Selected_Shape &&
                       sheet->Selection.Contains(rect_.Top_Left())) {
                sheet->Active_Cell = rect_.Top_Left();  // moving inside the selected cells keeps them
            } else {
                sheet->Select(rect_);
            }
            return;
        case Id_Address:
            Address(call);
            return;
        case Id_Range_Paste_Special:
            // Range.PasteSpecial pastes Excel's own copied cells; a plain-text clipboard makes it fail.
            call.Fail();
            return;
        case Id_Offset:
        case Id_Resize:
            Moved(call, id == Id_Resize);
            return;
    }
}

void Range_Object::Get_Value(const Sheet& sheet, Call& call, Unique_Variant (*read)(const Cell_Value&)) const {
    if (rect_.Rows() == 1 && rect_.Columns() == 1) {
        call.Return(read(sheet.Value(rect_.Top_Left())));
        return;
    }
    if (Cell_Count(rect_) > Max_Cells_Per_Value) {
        call.Not_Supported(L"Range.Value of more than 65536 cells");
        return;
    }
    // A rectangle reads as a 1-based two-dimensional array, rows first.
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rect_.Rows()), 1}, {static_cast<ULONG>(rect_.Columns()), 1}};
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (!array) {
        call.Fail_Hresult(E_OUTOFMEMORY, L"メモリが不足しています。");
        return;
    }
    for (int row = rect_.Top; row <= rect_.Bottom; ++row) {
        for (int column = rect_.Left; column <= rect_.Right; ++column) {
            LONG index[2] = {row - rect_.Top + 1, column - rect_.Left + 1};
            Unique_Variant value = read(sheet.Value({row, column}));
            SafeArrayPutElement(array, index, value.Address());
        }
    }
    Unique_Variant result;
    result.Put()->vt = VT_ARRAY | VT_VARIANT;
    result.Address()->parray = array;
    call.Return(std::move(result));
}

void Range_Object::Put_Value(Sheet& sheet, Call& call) {
    Cell_Value value;
    if (call.Value().vt & VT_ARRAY) {
        Put_Values(sheet, call);
        return;
    }
    if (!Value_From_Variant(call.Value(), value)) {
        call.Fail();
        return;
    }
    if (Cell_Count(rect_) > Max_Cells_Per_Value) {
        call.Not_Supported(L"Range.Value of more than 65536 cells");
        return;
    }
    for (int row = rect_.Top; row <= rect_.Bottom; ++row)
        for (int column = rect_.Left; column <= rect_.Right; ++column) sheet.Set_Value({row, column}, value);
}

void Range_Object::Put_Values(Sheet& sheet, Call& call) {
    const VARIANT& value = call.Value();
    SAFEARRAY* array = (value.vt & VT_BYREF) ? (value.pparray ? *value.pparray : nullptr) : value.parray;
    VARTYPE type = VT_EMPTY;
    if (!array || FAILED(SafeArrayGetVartype(array, &type)) || type != VT_VARIANT) {
        call.Fail();
        return;
    }
    if (SafeArrayGetDim(array) != 2) {
        call.Not_Supported(L"Range.Value に二次元でない配列を入れること");
        return;
    }
    LONG row_low = 0, row_high = -1, column_low = 0, column_high = -1;
    SafeArrayGetLBound(array, 1, &row_low);
    SafeArrayGetUBound(array, 1, &row_high);
    SafeArrayGetLBound(array, 2, &column_low);
    SafeArrayGetUBound(array, 2, &column_high);
    if (row_high - row_low + 1 != rect_.Rows() || column_high - column_low + 1 != rect_.Columns()) {
        call.Not_Supported(L"Range.Value に範囲と大きさの違う配列を入れること");
        return;
    }
    if (Cell_Count(rect_) > Max_Cells_Per_Value) {
        call.Not_Supported(L"Range.Value of more than 65536 cells");
        return;
    }
    // Every element is read as typed before any cell changes: one that a cell cannot take fails the
    // whole put, as in Excel.
    std::vector<Cell_Value> values;
    for (int row = 0; row < rect_.Rows(); ++row) {
        for (int column = 0; column < rect_.Columns(); ++column) {
            LONG index[2] = {row_low + row, column_low + column};
            Unique_Variant element;
            Cell_Value cell;
            if (FAILED(SafeArrayGetElement(array, index, element.Put())) || !Value_From_Variant(element.Get(), cell)) {
                call.Fail();
                return;
            }
            values.push_back(std::move(cell));
        }
    }
    std::size_t at = 0;
    for (int row = rect_.Top; row <= rect_.Bottom; ++row)
        for (int column = rect_.Left; column <= rect_.Right; ++column) sheet.Set_Value({row, column}, values[at++]);
}

void Range_Object::Moved(Call& call, bool resize) {
    const long first = call.Optional_Long(0).value_or(resize ? rect_.Rows() : 0);
    const long second = call.Optional_Long(1).value_or(resize ? rect_.Columns() : 0);
    if (call.Failed()) return;
    const long long top = resize ? rect_.Top : static_cast<long long>(rect_.Top) + first;
    const long long left = resize ? rect_.Left : static_cast<long long>(rect_.Left) + second;
    const long long bottom = resize ? top + first - 1 : static_cast<long long>(rect_.Bottom) + first;
    const long long right = resize ? left + second - 1 : static_cast<long long>(rect_.Right) + second;
    // Off the sheet, or a size below one cell: Excel's error 1004.
    if (top < 1 || left < 1 || bottom < top || right < left || bottom > Max_Rows || right > Max_Columns) {
        call.Fail();
        return;
    }
    call.Return_Object(new Range_Object(
        stand_in_, book_, sheet_,
        Cell_Rect{static_cast<int>(top), static_cast<int>(left), static_cast<int>(bottom), static_cast<int>(right)}));
}

void Range_Object::Column_Width(Sheet& sheet, Call& call) {
    if (call.Kind() != Call_Kind::Put) {
        // Columns of different widths read as Null, as in Excel.
        const double first = sheet.Column_Width(rect_.Left);
        for (int column = rect_.Left + 1; column <= rect_.Right; ++column) {
            if (sheet.Column_Width(column) != first) {
                Unique_Variant null;
                null.Put()->vt = VT_NULL;
                call.Return(std::move(null));
                return;
            }
        }
        call.Return(Unique_Variant::Double(first));
        return;
    }
    const auto width = call.Value_Double();
    if (!width) return;
    if (*width < 0 || *width > 255) {
        call.Fail();
        return;
    }
    for (int column = rect_.Left; column <= rect_.Right; ++column) sheet.Set_Column_Width(column, *width);
}

void Range_Object::Address(Call& call) {
    const bool row_absolute = call.Optional_Bool(0).value_or(true);
    const bool column_absolute = call.Optional_Bool(1).value_or(true);
    const long style = call.Optional_Long(2).value_or(Xl_A1);
    const bool external = call.Optional_Bool(3).value_or(false);
    if (call.Failed()) return;
    if (style != Xl_A1 || external || call.Has(4)) {
        call.Not_Supported(L"Range.Address ReferenceStyle / External / RelativeTo");
        return;
    }
    call.Return(Unique_Variant::Text(Address_Text(rect_, row_absolute, column_absolute)));
}
