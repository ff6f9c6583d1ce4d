#pragma once
// The Excel side of a paste run: the application object, the target workbook and sheet, and the
// calls the paste run makes on them.
#include <map>
#include <optional>
#include <string>

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
};
