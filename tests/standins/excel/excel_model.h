#pragma once
// The stand-in's Excel as data: workbooks, their sheets, cells, column widths and shapes, and the
// operations both the automation objects and the test's user commands perform on them. No COM
// here; automation objects refer to books and sheets by id, so a book the user closed or a sheet
// the user deleted is noticed as gone instead of being used after it was freed.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cell_address.h"
#include "cell_value.h"

using Object_Id = unsigned;

// Excel's XlWindowState values.
constexpr long Xl_Maximized = -4137;
constexpr long Xl_Minimized = -4140;
constexpr long Xl_Normal = -4143;

// Excel's user-interface languages (LCIDs) the stand-in speaks. Excel knows its paste formats only by
// the names its Paste Special dialog shows, which are in that language.
constexpr long Language_Japanese = 1041;
constexpr long Language_English = 1033;

// MsoAutomationSecurity.
constexpr long Mso_Automation_Security_Low = 1;
constexpr long Mso_Automation_Security_By_Ui = 2;
constexpr long Mso_Automation_Security_Force_Disable = 3;

constexpr double Default_Column_Width = 8.43;  // characters of the standard font
constexpr double Default_Row_Height = 18.75;   // points, Excel's default row with the Japanese UI font
constexpr double Points_Per_Pixel = 0.75;      // at 96 dpi

// A picture or other drawing object placed on a sheet, in points from the sheet's top-left corner.
struct Shape {
    Object_Id Id = 0;  // the number in its name; automation objects refer to the shape by it
    std::wstring Name;
    std::wstring Kind;
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    bool Lock_Aspect_Ratio = false;
    std::wstring Alternative_Text;  // what screen readers say for it

    // Excel's Width and Height: the top-left corner stays where it is, and with the aspect ratio
    // locked the other side changes by the same factor.
    void Set_Width(double width);
    void Set_Height(double height);
};

struct Sheet {
    Object_Id Id = 0;
    std::wstring Name;
    Cell_Rect Selection;                   // the cells Application.Selection answers
    Cell_Ref Active_Cell;                  // always inside Selection
    Object_Id Selected_Shape = 0;          // a shape selected instead of the cells, or 0
    std::map<Cell_Ref, Cell_Value> Cells;  // no entry for an empty cell
    std::map<int, double> Column_Widths;   // columns whose width differs from the default
    std::vector<Shape> Shapes;
    Object_Id Last_Shape_Id = 0;  // shapes are numbered per sheet; a number is never used twice

    const Cell_Value& Value(Cell_Ref cell) const;
    void Set_Value(Cell_Ref cell, Cell_Value value);
    double Column_Width(int column) const;
    void Set_Column_Width(int column, double width);
    // Points from the sheet's left edge to the column's, and from its top edge to the row's.
    double Column_Left(int column) const;
    double Row_Top(int row) const;
    // The cell under a point, as Shape.TopLeftCell: a point on a border belongs to the cell right of
    // it or below it.
    Cell_Ref Cell_At(double left, double top) const;
    // Moves the cursor as a click would: the rectangle becomes the selection, its first cell active.
    void Select(const Cell_Rect& rect);
    // Excel's text paste: from the given cell, one row per line (CR LF, a lone CR and a lone LF each
    // end one; a final break adds no row), one column per tab, a quoted piece ("a""b" + line breaks)
    // as one cell, each piece entered as typed. Returns the block it filled.
    Cell_Rect Paste_Text(Cell_Ref at, std::wstring_view text);
    // Excel's picture paste: "図 n" with its top-left corner on the cell's and its aspect ratio
    // locked; the new picture becomes the selection while the active cell stays.
    Shape& Add_Picture(Cell_Ref at, double width, double height);
    Shape* Find_Shape(Object_Id id);
    const Shape* Find_Shape(Object_Id id) const;
    // A deleted shape that was selected leaves the cells selected; false when there is no such shape.
    bool Delete_Shape(Object_Id id);
};

struct Workbook {
    Object_Id Id = 0;
    std::wstring Name;
    std::wstring Path;  // folder of an opened file, without the trailing backslash; empty for a new book
    std::vector<Sheet> Sheets;
    Object_Id Active_Sheet = 0;
    // Application.AutomationSecurity when Workbooks.Open opened the file (its macros ran or not by
    // it); 0 for a new book.
    long Opened_Under_Security = 0;

    Sheet* Find_Sheet(Object_Id id);
    Sheet* Find_Sheet(std::wstring_view name);
    // 1-based, as Sheets(1).
    Sheet* Sheet_At(long index);
    Sheet* Active();
};

// Why a sheet could not be added or renamed.
enum class Name_Check { Ok, Invalid, Taken };

class Excel_Model {
public:
    bool Visible = false;
    bool Display_Alerts = true;
    long Window_State = Xl_Normal;
    bool Running = true;  // false once Excel has quit
    // Excel's main window: whether its title leaves out the workbook's extension, as Excel's does
    // when the system hides extensions, and how often the window was brought forward.
    bool Extensions_Hidden = false;
    int Window_Activations = 0;
    long Ui_Language = Language_Japanese;
    // Excel started through automation runs every macro of the books it opens until told otherwise.
    long Automation_Security = Mso_Automation_Security_Low;
    // The clipboard formats of the user's copies that readers had Excel render, in order.
    std::vector<std::wstring> Rendered_Formats;

    const std::vector<Workbook>& Workbooks() const { return workbooks_; }
    Object_Id Active_Workbook_Id() const { return active_workbook_; }

    Workbook* Find_Workbook(Object_Id id);
    Workbook* Find_Workbook(std::wstring_view name);
    Workbook* Workbook_At(long index);
    Workbook* Active_Workbook();
    Sheet* Active_Sheet();
    Sheet* Find_Sheet(Object_Id book, Object_Id sheet);

    // Book1, Book2, … : one number per new book in this process, never reused.
    Workbook& Add_Workbook();
    // A file's book, named after the file; it becomes the active book.
    Workbook& Open_Workbook(std::wstring_view folder, std::wstring_view file_name);
    // The most recently active of the other books takes over; false when the book is not open.
    bool Close_Workbook(Object_Id id);
    void Close_All();
    void Activate_Workbook(Object_Id id);

    Name_Check Check_Sheet_Name(const Workbook& book, std::wstring_view name, Object_Id renamed) const;
    // Inserted after the book's active sheet and made active.
    Sheet& Add_Sheet(Workbook& book, std::wstring_view name);
    // Sheets.Add: inserted at the 0-based position and made active, named as Excel names a new sheet
    // ("Sheet" and the first free number from the count of sheets on).
    Sheet& Insert_Sheet(Workbook& book, std::size_t position);
    // False for the book's last sheet: a book always keeps one.
    bool Delete_Sheet(Workbook& book, Object_Id sheet);

private:
    Workbook& Add_Book(std::wstring name, std::wstring path);
    Sheet New_Sheet(std::wstring_view name);

    std::vector<Workbook> workbooks_;
    std::vector<Object_Id> activation_order_;  // most recently active last
    Object_Id active_workbook_ = 0;
    Object_Id next_id_ = 1;
    int books_added_ = 0;
};

// Excel's window title: "帳票.xlsx - Excel", "帳票 - Excel" with extensions hidden, "Excel" with no book.
std::wstring Window_Title(const Excel_Model& model);

bool Same_Name(std::wstring_view a, std::wstring_view b);
// Shape.BottomRightCell: the cell under the shape's bottom-right corner (on a border, the cell right
// of it or below it, as for the top-left corner).
Cell_Ref Bottom_Right_Cell(const Sheet& sheet, const Shape& shape);
// Points of a column: (width * 7 + 5) pixels at 96 dpi, rounded to a whole pixel.
double Column_Points(double width);
