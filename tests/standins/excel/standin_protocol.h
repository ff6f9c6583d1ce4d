#pragma once
// How tests talk to the stand-in Excel: the environment variables it reads and the commands a test
// sends, as the user would act in Excel, through WM_COPYDATA to its "XLMAIN" window. That window is
// shown while Application.Visible is True and titled as Excel titles its main window; the state file
// counts how often it was brought forward (see state_json.h).
// The command's text (UTF-16, no terminating zero needed) is in lpData; dwData holds the command.
// SendMessage answers TRUE when the command was done, FALSE when it made no sense (no such sheet,
// a taken sheet name, no book open, the book's last sheet, an unknown command). The state file is
// rewritten before the answer. A client finds the window through Application.Hwnd, or FindWindowW
// with Window_Class when only one stand-in runs.
//
// The variables are read when the stand-in starts. Under Wine, COM starts a local server from the
// client's own process, so the server inherits the client's environment as it is at CoCreateInstance:
// a test sets them in its own process before it starts CellDrop.exe (or creates Excel.Application
// itself), and CellDrop.exe passes them on. (Windows would start the server from its COM launcher
// instead; the stand-in runs only under Wine.)
//
// The state file and the call log are UTF-8 JSON; their layout is described in state_json.h. Each
// call in the log names the object by Excel's class: Application, Workbooks, Workbook, Sheets,
// Worksheet, Range, Shapes, Shape, Picture or ShapeRange. Fail_Member takes the same names (any
// letter case).

namespace standin {

// Full path of the JSON state file, rewritten after every change.
constexpr wchar_t State_Variable[] = L"CELLDROP_STANDIN_STATE";
// Full path of the call log: one JSON line appended per automation call.
constexpr wchar_t Log_Variable[] = L"CELLDROP_STANDIN_LOG";
// "1": each line of the call log ends with the moment the call ended ("at_ms", milliseconds of the
// performance counter, which every process of the machine reads alike), for the benchmarks.
constexpr wchar_t Log_Times_Variable[] = L"CELLDROP_STANDIN_LOG_TIMES";
// "1": the window title leaves out the workbook's extension from the start, as Excel's does when the
// system hides extensions (the Windows default). Hide_Extensions switches it later.
constexpr wchar_t Hide_Extensions_Variable[] = L"CELLDROP_STANDIN_HIDE_EXTENSIONS";

// Excel's user-interface language as an LCID, e.g. "1033" for English: Application.LanguageSettings
// answers it, and PasteSpecial knows its formats by the names of that language only (Japanese, 1041,
// when unset; any other language takes the English names).
constexpr wchar_t Language_Variable[] = L"CELLDROP_STANDIN_LANGUAGE";

// Full path of a marker file holding a count n (empty: 1): the next n stand-ins that start each refuse
// their creation with CO_E_SERVER_EXEC_FAILURE and end, as Excel does for a while after a client was
// killed while starting it; each counts the file down and the last one deletes it.
constexpr wchar_t Fail_Start_Variable[] = L"CELLDROP_STANDIN_FAIL_START";

constexpr wchar_t Window_Class[] = L"XLMAIN";

enum Command : unsigned {
    Select_Cell = 1,       // text: an A1 address on the active sheet, e.g. "B3"
    Activate_Sheet = 2,    // text: sheet name in the active workbook
    Rename_Sheet = 3,      // text: new name of the active sheet
    Delete_Sheet = 4,      // text: sheet name in the active workbook
    Close_Workbook = 5,    // text ignored: the user closes the active workbook (no save question)
    Quit = 6,              // text ignored: the user closes Excel; the process ends
    Busy = 7,              // text: milliseconds during which incoming calls are rejected
    Add_Sheet = 8,         // text: name of a new sheet added to the active workbook (it becomes active)
    Fail_Member = 9,       // text: "Object.Member:count": the next count calls of it fail with an Excel error
    Hide_Extensions = 10,  // text: "1": window title "帳票 - Excel"; "0": "帳票.xlsx - Excel"
    // text ignored: the user closes Excel's window while programs hold its objects, as with Excel: the
    // workbooks close and the window hides; the process ends only once no client holds an object.
    // (Quit ends it at once, whoever holds what: the tests' tidying up.)
    User_Quit = 16,
    // text: another program copies this text just before Excel's next Worksheet.Paste or PasteSpecial
    // reads the clipboard, as when the user's next copy races a paste.
    Copy_Before_Paste = 17,
    // The user copies in Excel (see excel_copy.h): Copy_Cells the range of the active sheet named by
    // the text ("A1", "A1:B2"), Copy_Chart a chart (text ignored). Excel's window owns the copy.
    Copy_Cells = 18,
    Copy_Chart = 19,
    // text: "B3=value": the user types the value into that cell of the active sheet (read as Excel
    // reads typing: numbers, dates, a leading quote for text, "B3==1+2" a formula).
    Type_Cell = 20,
};

}  // namespace standin
