#pragma once
// The stand-in's two records for the tests, both UTF-8 JSON: the state file (the whole of Excel's
// state, rewritten after every change) and the call log (one line per automation call).
//
//   {"visible":false,"displayAlerts":true,"windowState":-4143,"automationSecurity":1,
//    "activeWorkbook":"Book1","workbooks":[{"name":"Book1","path":"","openedUnderAutomationSecurity":0,
//    "activeSheet":"Sheet1","sheets":[{"name":"Sheet1",
//    "activeCell":"B3","cells":{"A1":{"type":"string","value":"ab"},
//    "A2":{"type":"number","value":"123"},"A3":{"type":"date","value":"2021-05-31T00:00:00"}},
//    "columnWidths":{"A":12},"shapes":[{"name":"図 1","kind":"picture","left":66.75,"top":37.5,
//    "width":75,"height":37.5,"topLeftCell":"B3"}],"selectedShape":"図 1","selection":"B3"}]}],
//    "running":true,"window":{"title":"Book1 - Excel","activations":0},"renderedFormats":["CF_UNICODETEXT"]}
//
// Cells are listed row by row; an empty cell has no entry; a text typed with a leading apostrophe
// carries "prefixed":true; a formula's cell its "formula" ("=1+2") beside the value it shows; a bool's value is "TRUE"
// or "FALSE". Shapes are in the order they were added, in points, with the cell under their top-left corner;
// "selectedShape" is the name of the shape selected instead of the cells, or null. "activeWorkbook" is null with no
// book open; "running" turns false when Excel quits (by Quit, the user, or its last client letting go).
// "openedUnderAutomationSecurity" is Application.AutomationSecurity at the Workbooks.Open that opened
// the book (0 for a new one). "window" is Excel's main window: its title and how often it was brought
// forward. "renderedFormats" names the formats of the user's copies (standin::Copy_Cells, Copy_Chart)
// that readers had Excel make.
// The compact layout is fixed, so a test may look for exact pieces.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "excel_model.h"

// Builds JSON text with the separators in the right places; values are escaped UTF-8.
class Json_Writer {
public:
    void Begin_Object();
    void End_Object();
    void Begin_Array();
    void End_Array();
    void Key(std::wstring_view name);
    void String(std::wstring_view text);
    void Number(double number);
    void Bool(bool value);
    void Null();

    const std::string& Text() const { return out_; }

private:
    void Before_Value();

    std::string out_;
    bool need_comma_ = false;
};

std::string State_Json(const Excel_Model& model);

// One call of the log. Args are the positional arguments in order (a property put's value last);
// Named are the named arguments by their parameter names. An omitted argument is JSON null.
struct Call_Record {
    std::wstring Object;
    std::wstring Member;
    std::wstring Kind;  // "get", "put" or "method"
    std::vector<std::optional<std::wstring>> Args;
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> Named;
    long Result = 0;     // the HRESULT Invoke returned
    std::wstring Error;  // the error description of an Excel error, when there was one
};

std::string Call_Json(const Call_Record& call);

std::string To_Utf8(std::wstring_view text);
