#pragma once
// The Excel side of a paste run: the application object, the target workbook and sheet, and every
// call the program makes on Excel, each as a typed operation. Only here are Excel's members named.
// Ranges and shape ranges made by these operations share one set of member IDs per kind, so that a
// fresh cell each pass costs its calls and no name lookups.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation.h"
#include "paste_options.h"

// Excel's constants.
namespace xl {
constexpr long Minimized = -4140;
constexpr long Maximized = -4137;
constexpr long Paste_Values = -4163;
constexpr long Operation_None = -4142;
constexpr long Language_Id_Ui = 2;  // msoLanguageIDUI
constexpr long Language_Japanese = 1041;
constexpr long Automation_Security_By_Ui = 2;  // msoAutomationSecurityByUI
}  // namespace xl

// What a block of cells holds: the values Excel shows, or the formulas typed into it.
enum class Cell_Content { Value, Formula };

// A block's read: the call, and its cells row by row (nothing when the call failed or answered
// something other than the block's shape).
struct Block_Read {
    Call_Result Read;
    std::optional<std::vector<Variant>> Cells;
};

class Excel_Session {
public:
    Automation_Object Xl_App;
    // The workbook the last check saw. Held between checks, so that COM finds its proxy still there
    // when Excel answers with the same workbook, instead of building and tearing down one per check.
    Automation_Object Last_Workbook;
    // The sheet the last check saw active, held for the same reason.
    Automation_Object Last_Sheet;
    // The target sheet as the last paste found it active: the pastes of a pass use it rather than
    // asking Excel for it again.
    Automation_Object Target_Sheet;
    std::wstring Wb_Name;  // target workbook, as Excel names it
    std::wstring Ws_Name;  // target sheet
    // Excel knows its paste formats only by the names in its own user-interface language; read once
    // per run by Xl_Create.
    bool Japanese_Ui = true;
    // Whether Excel locks the aspect ratio of the pictures it pastes, by paste format: the same for
    // every picture of one format, so read at the first fit of each in a run.
    std::map<Picture_Format, std::optional<bool>> Pasted_Aspect_Locked;

    // Creates the application object ("Excel.Application", else "Excel.Application.15"), shows it
    // minimised without alerts. False when neither class could be created.
    bool Xl_Create();
    // Alerts on, maximised; opens the workbook (or adds a new blank one when path is empty) and
    // remembers the names of the active workbook and sheet.
    void Open_Target(const std::wstring& path);
    // The name PasteSpecial knows a format by in this Excel: the Japanese one, or the English one for
    // an Excel in any other language.
    const wchar_t* Format_Name(const wchar_t* japanese, const wchar_t* english) const {
        return Japanese_Ui ? japanese : english;
    }
    // Opens a workbook file in this Excel (links not updated, not read-only), its macros run or not
    // as the user's own macro setting says.
    Call_Result Open_Workbook(const std::wstring& path) const;
    // Activates the target workbook and sheet and selects their active cell; the first failure.
    Error_State Excel_ツール_CellDrop2_Activate() const;
    // Before a paste, with the sheet the check found active: activates the target only when the user
    // has gone to another workbook or sheet, and keeps the active sheet as Target_Sheet. No call while
    // the active sheet is still Target_Sheet; else the names tell.
    Error_State Ensure_Target(const Automation_Object& sheet);
    // The one call that tells whether Excel and a workbook are still there: Excel's active sheet; fails
    // when there is none (Excel answers Nothing when no workbook is open) or Excel is gone.
    Call_Result Check_Active_Sheet();
    // Excel's active workbook; fails when there is none (Excel answers Nothing) or Excel is gone.
    Call_Result Active_Workbook();
    void Close_Active_Workbook() const;
    // Asks Excel to quit and lets the object go.
    void Xl_Quit();
    // Lets go of every reference to Excel without a call: an Excel the user quit can end, and one
    // that does not answer keeps its workbook open for the user.
    void Let_Go();

    Automation_Object Active_Cell(Error_State& errors) const;
    Automation_Object Active_Sheet(Error_State& errors) const;
    // Row and column of the active cell; false when Excel could not tell.
    bool Active_Cell_Position(long& row, long& column) const;
    // Selects the cell of the active sheet.
    void Select_Cell(long row, long column, Error_State& errors) const;
    // Selects the cell that many rows down and columns right of the given one, in one call chain.
    void Select_Offset(const Automation_Object& cell, long rows, long columns, Error_State& errors) const;

    // Cells and blocks. A range is a cell or a block of them, as these operations answer it.
    // The cell that many rows down and columns right of the range's first.
    Call_Result Offset(const Automation_Object& range, long rows, long columns) const;
    // The block of rows x columns cells from the range's first.
    Call_Result Resize(const Automation_Object& range, long rows, long columns) const;
    // What the block holds, in one read: a single value for one cell, an array for several.
    Block_Read Read_Block(const Automation_Object& range, Cell_Content what, long rows, long columns) const;
    // One value (or formula) into the range: every cell of it gets it.
    Call_Result Put(const Automation_Object& range, Cell_Content what, const Variant& value) const;
    // The block's cells, row by row, in one write.
    Call_Result Put_Block(const Automation_Object& range, Cell_Content what, long rows, long columns,
                          const std::vector<Variant>& values) const;
    // Whether a cell still holds the value read earlier (as Excel compares: a number to a number).
    static bool Same_Value(const Variant& a, const Variant& b);
    // The width of the range's column, in Excel's character units; false when Excel could not tell.
    bool Column_Width(const Automation_Object& range, double& width) const;
    Call_Result Set_Column_Width(const Automation_Object& range, double width) const;
    // Height and width in points of a range or a shape range; 0 when Excel could not tell.
    double Height(const Automation_Object& object) const;
    double Width(const Automation_Object& object) const;

    // Pastes and what they leave.
    // The clipboard into the sheet at its active cell, as Excel's own paste.
    Call_Result Paste(const Automation_Object& sheet) const;
    // The clipboard into the sheet at its active cell in the format, by the name this Excel gives it.
    Call_Result Paste_Special(const Automation_Object& sheet, const wchar_t* format) const;
    // The clipboard's values into the selected cells, as Excel's "paste values".
    Call_Result Paste_Values_Into_Selection() const;
    // Excel's selection: after a picture's paste, that picture.
    Call_Result Selection() const;
    // The shapes of a selection of shapes.
    Call_Result Shape_Range(const Automation_Object& selection) const;
    // Scales shapes by the factor from their top-left corner, in width or in height.
    Call_Result Scale_Width(const Automation_Object& shapes, double factor) const;
    Call_Result Scale_Height(const Automation_Object& shapes, double factor) const;
    // Whether the shapes' aspect ratio is locked (Excel's msoTrue -1, msoFalse 0).
    Call_Result Lock_Aspect_Ratio(const Automation_Object& shapes) const;
    // The first shape of a shape range, as a shape of its own.
    Call_Result First_Shape(const Automation_Object& shapes) const;
    // The text screen readers and Excel's "代替テキスト" pane give a shape.
    Call_Result Set_Alternative_Text(const Automation_Object& shape, const std::wstring& text) const;
    // The cell under a shape's bottom-right corner, as Excel reports it.
    Call_Result Bottom_Right_Cell(const Automation_Object& shape) const;
    // Row and column of a range's first cell; false when Excel could not tell.
    bool Position(const Automation_Object& range, long& row, long& column) const;

    // Sheets of the active workbook.
    // Their names, in order; nothing when Excel could not tell them all.
    std::optional<std::vector<std::wstring>> Sheet_Names() const;
    // A new sheet right after the given one, which Excel makes the active sheet.
    Call_Result Add_Sheet_After(const Automation_Object& sheet) const;
    // Fails when Excel refuses the name (taken in the book, too long, or a character it forbids).
    Call_Result Rename(const Automation_Object& sheet, const std::wstring& name) const;
    // The cell of the sheet (1-based).
    Call_Result Cell(const Automation_Object& sheet, long row, long column) const;

    // Any object that has them: a sheet, a workbook, a picture.
    Call_Result Name_Of(const Automation_Object& object) const;
    Call_Result Select(const Automation_Object& object) const;
    Call_Result Activate(const Automation_Object& object) const;
    Call_Result Delete(const Automation_Object& object) const;

private:
    // Shared by every object of one kind, as Excel's types keep their IDs.
    std::shared_ptr<Member_Ids> range_ids_ = std::make_shared<Member_Ids>();
    std::shared_ptr<Member_Ids> shape_range_ids_ = std::make_shared<Member_Ids>();
    std::shared_ptr<Member_Ids> workbook_ids_ = std::make_shared<Member_Ids>();
    std::shared_ptr<Member_Ids> shape_ids_ = std::make_shared<Member_Ids>();
    std::shared_ptr<Member_Ids> sheet_ids_ = std::make_shared<Member_Ids>();
    Call_Result As_Range(Call_Result r) const {
        r.Kind_Ids = range_ids_;
        return r;
    }
};
