// Excel's Shapes, Shape, and a selected picture's Picture and ShapeRange.
#include <algorithm>

#include "automation_objects.h"
#include "stand_in.h"

namespace {

// MsoTriState, as Excel answers LockAspectRatio.
constexpr long Mso_True = -1;
constexpr long Mso_False = 0;
constexpr long Mso_C_True = 1;
// MsoScaleFrom: the corner that stays in place.
constexpr long Mso_Scale_From_Top_Left = 0;

void Out_Of_Range(Call& call) { call.Fail(E_INVALIDARG, L"指定された値は範囲外です。"); }

// Width and Height: a put resizes as Excel does (Shape::Set_Width, Set_Height).
void Size(Call& call, Shape& shape, bool width) {
    if (call.Kind() != Call_Kind::Put) {
        call.Return(Unique_Variant::Double(width ? shape.Width : shape.Height));
        return;
    }
    const auto points = call.Value_Double();
    if (!points) return;
    if (*points < 0)
        Out_Of_Range(call);
    else if (width)
        shape.Set_Width(*points);
    else
        shape.Set_Height(*points);
}

void Lock_Aspect_Ratio(Call& call, Shape& shape) {
    if (call.Kind() != Call_Kind::Put) {
        call.Return(Unique_Variant::Long(shape.Lock_Aspect_Ratio ? Mso_True : Mso_False));
        return;
    }
    const auto value = call.Value_Long();
    if (!value) return;
    if (*value != Mso_True && *value != Mso_False && *value != Mso_C_True)
        Out_Of_Range(call);
    else
        shape.Lock_Aspect_Ratio = *value != Mso_False;
}

// ScaleWidth and ScaleHeight (Factor, RelativeToOriginalSize, Scale), relative to the current size.
void Scale(Call& call, Shape& shape, bool width) {
    const auto factor = call.Double(0);
    const auto to_original = call.Bool(1);
    const long corner = call.Optional_Long(2).value_or(Mso_Scale_From_Top_Left);
    if (call.Failed()) return;
    if (*to_original || corner != Mso_Scale_From_Top_Left) {
        call.Not_Supported(std::wstring(L"ShapeRange.") + call.Target().Name +
                           L" relative to the original size or from another corner than the top-left");
    } else if (*factor < 0) {
        Out_Of_Range(call);
    } else if (width) {
        shape.Set_Width(shape.Width * *factor);
    } else {
        shape.Set_Height(shape.Height * *factor);
    }
}

// AlternativeText: any text, as Excel keeps it.
void Alternative_Text(Call& call, Shape& shape) {
    if (call.Kind() != Call_Kind::Put) {
        call.Return(Unique_Variant::Text(shape.Alternative_Text));
        return;
    }
    if (const auto text = call.Value_Text()) shape.Alternative_Text = *text;
}

}  // namespace

Shape* Find_Shape_Arg(Sheet& sheet, Call& call, std::size_t position) {
    const VARIANT* index = call.Arg(position);
    Shape* shape = nullptr;
    if (index && index->vt == VT_BSTR) {
        const std::wstring_view name(index->bstrVal, SysStringLen(index->bstrVal));
        const auto found = std::find_if(sheet.Shapes.begin(), sheet.Shapes.end(),
                                        [&](const Shape& s) { return Same_Name(s.Name, name); });
        if (found != sheet.Shapes.end()) shape = &*found;
    } else if (const auto number = call.Long(position)) {
        if (*number >= 1 && *number <= static_cast<long>(sheet.Shapes.size())) shape = &sheet.Shapes[*number - 1];
    } else {
        return nullptr;
    }
    if (!shape) call.Fail_Index();
    return shape;
}

// --- Shapes ---

namespace {

enum : DISPID { Id_Shapes_Count = 1, Id_Shapes_Item };

const Member_Table& Shapes_Members() {
    static const Member_Table table{{
                                        {Id_Shapes_Count, L"Count", Member_Kind::Read_Only, {}},
                                        {Id_Shapes_Item, L"Item", Member_Kind::Read_Only, {L"Index"}},
                                    },
                                    Id_Shapes_Item};
    return table;
}

}  // namespace

Shapes_Object::Shapes_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet)
    : Dispatch_Object(stand_in, Shapes_Members(), L"Shapes"), book_(book), sheet_(sheet) {}

void Shapes_Object::Invoke_Member(DISPID id, Call& call) {
    Sheet* sheet = stand_in_.Model().Find_Sheet(book_, sheet_);
    if (!sheet) {
        call.Fail_Deleted();
        return;
    }
    switch (id) {
        case Id_Shapes_Count:
            call.Return(Unique_Variant::Long(static_cast<long>(sheet->Shapes.size())));
            return;
        case Id_Shapes_Item:
            if (const Shape* shape = Find_Shape_Arg(*sheet, call, 0))
                call.Return_Object(new Shape_Object(stand_in_, book_, sheet_, shape->Id));
            return;
    }
}

// --- Shape ---

namespace {

enum : DISPID {
    Id_Shape_Name = 1,
    Id_Left,
    Id_Top,
    Id_Width,
    Id_Height,
    Id_Lock_Aspect_Ratio,
    Id_Top_Left_Cell,
    Id_Bottom_Right_Cell,
    Id_Alternative_Text,
    Id_Select,
    Id_Delete,
};

const Member_Table& Shape_Members() {
    static const Member_Table table{{
        {Id_Shape_Name, L"Name", Member_Kind::Read_Only, {}},
        {Id_Left, L"Left", Member_Kind::Property, {}},
        {Id_Top, L"Top", Member_Kind::Property, {}},
        {Id_Width, L"Width", Member_Kind::Property, {}},
        {Id_Height, L"Height", Member_Kind::Property, {}},
        {Id_Lock_Aspect_Ratio, L"LockAspectRatio", Member_Kind::Property, {}},
        {Id_Top_Left_Cell, L"TopLeftCell", Member_Kind::Read_Only, {}},
        {Id_Bottom_Right_Cell, L"BottomRightCell", Member_Kind::Read_Only, {}},
        {Id_Alternative_Text, L"AlternativeText", Member_Kind::Property, {}},
        {Id_Select, L"Select", Member_Kind::Method, {L"Replace"}},
        {Id_Delete, L"Delete", Member_Kind::Method, {}},
    }};
    return table;
}

}  // namespace

Shape_Object::Shape_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet, Object_Id shape)
    : Dispatch_Object(stand_in, Shape_Members(), L"Shape"), book_(book), sheet_(sheet), shape_(shape) {}

std::wstring Shape_Object::Describe() const {
    const Sheet* sheet = stand_in_.Model().Find_Sheet(book_, sheet_);
    const Shape* shape = sheet ? sheet->Find_Shape(shape_) : nullptr;
    return L"Shape " + (shape ? shape->Name : L"(deleted)");
}

void Shape_Object::Invoke_Member(DISPID id, Call& call) {
    Sheet* sheet = stand_in_.Model().Find_Sheet(book_, sheet_);
    Shape* shape = sheet ? sheet->Find_Shape(shape_) : nullptr;
    if (!shape) {
        call.Fail_Deleted();
        return;
    }
    switch (id) {
        case Id_Shape_Name:
            call.Return(Unique_Variant::Text(shape->Name));
            return;
        case Id_Left:
        case Id_Top: {
            double& corner = id == Id_Left ? shape->Left : shape->Top;
            if (call.Kind() != Call_Kind::Put)
                call.Return(Unique_Variant::Double(corner));
            else if (const auto points = call.Value_Double())
                corner = std::max(*points, 0.0);  // Excel keeps a shape on the sheet
            return;
        }
        case Id_Width:
        case Id_Height:
            Size(call, *shape, id == Id_Width);
            return;
        case Id_Lock_Aspect_Ratio:
            Lock_Aspect_Ratio(call, *shape);
            return;
        case Id_Top_Left_Cell:
            call.Return_Object(
                new Range_Object(stand_in_, book_, sheet_, Cell_Rect::Of(sheet->Cell_At(shape->Left, shape->Top))));
            return;
        case Id_Bottom_Right_Cell:
            call.Return_Object(
                new Range_Object(stand_in_, book_, sheet_, Cell_Rect::Of(Bottom_Right_Cell(*sheet, *shape))));
            return;
        case Id_Alternative_Text:
            Alternative_Text(call, *shape);
            return;
        case Id_Select:
            Select(*sheet, call);
            return;
        case Id_Delete:
            sheet->Delete_Shape(shape_);
            return;
    }
}

void Shape_Object::Select(Sheet& sheet, Call& call) {
    const bool replace = call.Optional_Bool(0).value_or(true);
    if (call.Failed()) return;
    if (!replace) {
        call.Not_Supported(L"Shape.Select Replace:=False (several shapes selected)");
    } else if (!Is_Active_Sheet(stand_in_.Model(), book_, sheet_)) {
        call.Fail();  // as for cells, Excel selects only on the sheet on screen
    } else {
        sheet.Selected_Shape = shape_;
    }
}

// --- Picture ---

namespace {

enum : DISPID { Id_Picture_Name = 1, Id_Shape_Range, Id_Picture_Delete };

const Member_Table& Picture_Members() {
    static const Member_Table table{{
        {Id_Picture_Name, L"Name", Member_Kind::Read_Only, {}},
        {Id_Shape_Range, L"ShapeRange", Member_Kind::Read_Only, {}},
        {Id_Picture_Delete, L"Delete", Member_Kind::Method, {}},
    }};
    return table;
}

}  // namespace

Picture_Object::Picture_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet, Object_Id shape)
    : Dispatch_Object(stand_in, Picture_Members(), L"Picture"), book_(book), sheet_(sheet), shape_(shape) {}

void Picture_Object::Invoke_Member(DISPID id, Call& call) {
    Sheet* sheet = stand_in_.Model().Find_Sheet(book_, sheet_);
    const Shape* shape = sheet ? sheet->Find_Shape(shape_) : nullptr;
    if (!shape) {
        call.Fail_Deleted();
        return;
    }
    switch (id) {
        case Id_Picture_Name:
            call.Return(Unique_Variant::Text(shape->Name));
            return;
        case Id_Shape_Range:
            call.Return_Object(new Shape_Range_Object(stand_in_, book_, sheet_, shape_));
            return;
        case Id_Picture_Delete:
            sheet->Delete_Shape(shape_);
            return;
    }
}

// --- ShapeRange ---

namespace {

enum : DISPID {
    Id_Range_Count = 1,
    Id_Range_Name,
    Id_Range_Width,
    Id_Range_Height,
    Id_Range_Lock_Aspect_Ratio,
    Id_Scale_Width,
    Id_Scale_Height,
    Id_Range_Item,
    Id_Range_Alternative_Text,
};

const Member_Table& Shape_Range_Members() {
    static const Member_Table table{{
        {Id_Range_Count, L"Count", Member_Kind::Read_Only, {}},
        {Id_Range_Name, L"Name", Member_Kind::Read_Only, {}},
        {Id_Range_Width, L"Width", Member_Kind::Property, {}},
        {Id_Range_Height, L"Height", Member_Kind::Property, {}},
        {Id_Range_Lock_Aspect_Ratio, L"LockAspectRatio", Member_Kind::Property, {}},
        {Id_Scale_Width, L"ScaleWidth", Member_Kind::Method, {L"Factor", L"RelativeToOriginalSize", L"Scale"}},
        {Id_Scale_Height, L"ScaleHeight", Member_Kind::Method, {L"Factor", L"RelativeToOriginalSize", L"Scale"}},
        {Id_Range_Item, L"Item", Member_Kind::Method, {L"Index"}},
        {Id_Range_Alternative_Text, L"AlternativeText", Member_Kind::Property, {}},
    }};
    return table;
}

}  // namespace

Shape_Range_Object::Shape_Range_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet, Object_Id shape)
    : Dispatch_Object(stand_in, Shape_Range_Members(), L"ShapeRange"), book_(book), sheet_(sheet), shape_(shape) {}

void Shape_Range_Object::Invoke_Member(DISPID id, Call& call) {
    Sheet* sheet = stand_in_.Model().Find_Sheet(book_, sheet_);
    Shape* shape = sheet ? sheet->Find_Shape(shape_) : nullptr;
    if (!shape) {
        call.Fail_Deleted();
        return;
    }
    switch (id) {
        case Id_Range_Count:
            call.Return(Unique_Variant::Long(1));
            return;
        case Id_Range_Name:
            call.Return(Unique_Variant::Text(shape->Name));
            return;
        case Id_Range_Width:
        case Id_Range_Height:
            Size(call, *shape, id == Id_Range_Width);
            return;
        case Id_Range_Lock_Aspect_Ratio:
            Lock_Aspect_Ratio(call, *shape);
            return;
        case Id_Scale_Width:
        case Id_Scale_Height:
            Scale(call, *shape, id == Id_Scale_Width);
            return;
        case Id_Range_Item:
            // The one shape, by its 1-based place or its name.
            if (const auto index = call.Long(0); index && *index != 1)
                call.Fail_Index();
            else if (index)
                call.Return_Object(new Shape_Object(stand_in_, book_, sheet_, shape_));
            return;
        case Id_Range_Alternative_Text:
            Alternative_Text(call, *shape);
            return;
    }
}
