#pragma once
// The Excel objects a client reaches: Application, Workbooks, Workbook, Sheets, Worksheet, Range,
// Shapes, Shape, LanguageSettings, and for a selected picture Picture and ShapeRange, each named as Excel's class is
// (the name shows in error texts, the call log and in Fail_Member). An object holds ids into the
// model, never pointers, and checks on every call that its book, sheet or shape still exists.
#include <optional>
#include <utility>

#include "dispatch_object.h"
#include "excel_model.h"

class Application_Object final : public Dispatch_Object {
public:
    explicit Application_Object(Stand_In& stand_in);

private:
    void Invoke_Member(DISPID id, Call& call) override;
    void Intersect(Call& call);
};

// Application.LanguageSettings: LanguageID(Id) answers the language Excel's user interface speaks.
class Language_Settings_Object final : public Dispatch_Object {
public:
    explicit Language_Settings_Object(Stand_In& stand_in);

private:
    void Invoke_Member(DISPID id, Call& call) override;
};

class Workbooks_Object final : public Dispatch_Object {
public:
    explicit Workbooks_Object(Stand_In& stand_in);

private:
    void Invoke_Member(DISPID id, Call& call) override;
    void Open(Call& call);
};

class Workbook_Object final : public Dispatch_Object {
public:
    Workbook_Object(Stand_In& stand_in, Object_Id book);
    std::wstring Describe() const override;
    Object_Id Book() const { return book_; }

private:
    void Invoke_Member(DISPID id, Call& call) override;

    Object_Id book_;
};

class Sheets_Object final : public Dispatch_Object {
public:
    Sheets_Object(Stand_In& stand_in, Object_Id book);

private:
    void Invoke_Member(DISPID id, Call& call) override;
    void Add(Workbook& book, Call& call);

    Object_Id book_;
};

class Worksheet_Object final : public Dispatch_Object {
public:
    Worksheet_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet);
    // The same sheet is the same object, as in Excel: a client holding it can tell it by its identity.
    // Returned with a reference for the caller.
    static Worksheet_Object* Of(Stand_In& stand_in, Object_Id book, Object_Id sheet);
    std::wstring Describe() const override;
    Object_Id Book() const { return book_; }
    Object_Id Sheet_Id() const { return sheet_; }

private:
    void Invoke_Member(DISPID id, Call& call) override;
    void Cells(Call& call);
    void Range(Call& call);
    void Paste(Sheet& sheet, Call& call);
    void Paste_Special(Sheet& sheet, Call& call);

    Object_Id book_;
    Object_Id sheet_;
};

class Range_Object final : public Dispatch_Object {
public:
    Range_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet, Cell_Rect rect);
    std::wstring Describe() const override;

    Object_Id Book() const { return book_; }
    Object_Id Sheet_Id() const { return sheet_; }
    const Cell_Rect& Rect() const { return rect_; }

private:
    void Invoke_Member(DISPID id, Call& call) override;
    // A Value get, or with Formula_Text a Formula get: one cell's own, a 1-based array for a rectangle.
    void Get_Value(const Sheet& sheet, Call& call,
                   Unique_Variant (*read)(const Cell_Value&) = Variant_From_Value) const;
    void Put_Value(Sheet& sheet, Call& call);
    // A rectangle of typed values: a two-dimensional array (rows first) the size of the range.
    void Put_Values(Sheet& sheet, Call& call);
    // Range.Offset and Range.Resize: the range moved, or grown from its top-left cell.
    void Moved(Call& call, bool resize);
    void Column_Width(Sheet& sheet, Call& call);
    void Address(Call& call);

    Object_Id book_;
    Object_Id sheet_;
    Cell_Rect rect_;
};

class Shapes_Object final : public Dispatch_Object {
public:
    Shapes_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet);

private:
    void Invoke_Member(DISPID id, Call& call) override;

    Object_Id book_;
    Object_Id sheet_;
};

class Shape_Object final : public Dispatch_Object {
public:
    Shape_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet, Object_Id shape);
    std::wstring Describe() const override;

private:
    void Invoke_Member(DISPID id, Call& call) override;
    void Select(Sheet& sheet, Call& call);

    Object_Id book_;
    Object_Id sheet_;
    Object_Id shape_;
};

// What Application.Selection answers while a picture is selected.
class Picture_Object final : public Dispatch_Object {
public:
    Picture_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet, Object_Id shape);

private:
    void Invoke_Member(DISPID id, Call& call) override;

    Object_Id book_;
    Object_Id sheet_;
    Object_Id shape_;
};

// A selected picture's ShapeRange: the one shape, with Excel's scaling.
class Shape_Range_Object final : public Dispatch_Object {
public:
    Shape_Range_Object(Stand_In& stand_in, Object_Id book, Object_Id sheet, Object_Id shape);

private:
    void Invoke_Member(DISPID id, Call& call) override;

    Object_Id book_;
    Object_Id sheet_;
    Object_Id shape_;
};

// Collection lookups shared by the objects that offer Workbooks(…), Worksheets(…) and Shapes(…): by name for a
// text, by 1-based position for a number; the call fails with Excel's out-of-range error otherwise.
Workbook* Find_Workbook_Arg(Excel_Model& model, Call& call, std::size_t position);
Sheet* Find_Sheet_Arg(Workbook& book, Call& call, std::size_t position);
Shape* Find_Shape_Arg(Sheet& sheet, Call& call, std::size_t position);

// Where a range a client passed back to us (for Intersect, Paste's Destination) points; nothing
// when the argument is omitted or is not one of our ranges.
struct Range_Ref {
    Object_Id Book;
    Object_Id Sheet;
    Cell_Rect Rect;
};
std::optional<Range_Ref> Range_Arg(const Call& call, std::size_t position);
// The same for a sheet (Sheets.Add's Before and After): its book and its own id.
std::optional<std::pair<Object_Id, Object_Id>> Sheet_Arg(const Call& call, std::size_t position);

// Whether a sheet is the one the user sees: the active sheet of the active book. Excel refuses to
// select cells or paste through Worksheet.Paste on any other.
bool Is_Active_Sheet(Excel_Model& model, Object_Id book, Object_Id sheet);

// Beyond this many cells a Value read or write would be Excel-sized work for no test's benefit.
constexpr long long Max_Cells_Per_Value = 65536;
inline long long Cell_Count(const Cell_Rect& rect) { return static_cast<long long>(rect.Rows()) * rect.Columns(); }
