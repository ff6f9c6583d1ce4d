#include "state_json.h"

#include <windows.h>

#include <cstdio>

std::string To_Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// --- Json_Writer ---

void Json_Writer::Before_Value() {
    if (need_comma_) out_ += ',';
    need_comma_ = true;
}

void Json_Writer::Begin_Object() {
    Before_Value();
    out_ += '{';
    need_comma_ = false;
}

void Json_Writer::End_Object() {
    out_ += '}';
    need_comma_ = true;
}

void Json_Writer::Begin_Array() {
    Before_Value();
    out_ += '[';
    need_comma_ = false;
}

void Json_Writer::End_Array() {
    out_ += ']';
    need_comma_ = true;
}

void Json_Writer::Key(std::wstring_view name) {
    String(name);
    out_ += ':';
    need_comma_ = false;
}

void Json_Writer::String(std::wstring_view text) {
    Before_Value();
    out_ += '"';
    for (char c : To_Utf8(text)) {
        switch (c) {
            case '"':
                out_ += "\\\"";
                break;
            case '\\':
                out_ += "\\\\";
                break;
            case '\n':
                out_ += "\\n";
                break;
            case '\r':
                out_ += "\\r";
                break;
            case '\t':
                out_ += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out_ += escaped;
                } else {
                    out_ += c;
                }
        }
    }
    out_ += '"';
}

void Json_Writer::Number(double number) {
    Before_Value();
    out_ += To_Utf8(Number_Text(number));
}

void Json_Writer::Bool(bool value) {
    Before_Value();
    out_ += value ? "true" : "false";
}

void Json_Writer::Null() {
    Before_Value();
    out_ += "null";
}

// --- state ---

namespace {

const wchar_t* Type_Name(Cell_Value::Kind kind) {
    switch (kind) {
        case Cell_Value::Kind::String:
            return L"string";
        case Cell_Value::Kind::Number:
            return L"number";
        case Cell_Value::Kind::Date:
            return L"date";
        case Cell_Value::Kind::Bool:
            return L"bool";
        case Cell_Value::Kind::Error:
            return L"error";
        case Cell_Value::Kind::Empty:
            break;
    }
    return L"empty";
}

std::wstring Value_Text(const Cell_Value& value) {
    switch (value.Type) {
        case Cell_Value::Kind::String:
        case Cell_Value::Kind::Error:
            return value.Text;
        case Cell_Value::Kind::Number:
            return Number_Text(value.Number);
        case Cell_Value::Kind::Date:
            return Date_Text(value.Number);
        case Cell_Value::Kind::Bool:
            return value.Number != 0 ? L"TRUE" : L"FALSE";
        case Cell_Value::Kind::Empty:
            break;
    }
    return L"";
}

void Write_Sheet(Json_Writer& json, const Sheet& sheet) {
    json.Begin_Object();
    json.Key(L"name");
    json.String(sheet.Name);
    json.Key(L"activeCell");
    json.String(Cell_Name(sheet.Active_Cell));
    json.Key(L"cells");
    json.Begin_Object();
    for (const auto& [cell, value] : sheet.Cells) {
        json.Key(Cell_Name(cell));
        json.Begin_Object();
        json.Key(L"type");
        json.String(Type_Name(value.Type));
        json.Key(L"value");
        json.String(Value_Text(value));
        if (value.Prefixed) {
            json.Key(L"prefixed");
            json.Bool(true);
        }
        if (!value.Formula.empty()) {
            json.Key(L"formula");
            json.String(value.Formula);
        }
        json.End_Object();
    }
    json.End_Object();
    json.Key(L"columnWidths");
    json.Begin_Object();
    for (const auto& [column, width] : sheet.Column_Widths) {
        json.Key(Column_Letters(column));
        json.Number(width);
    }
    json.End_Object();
    json.Key(L"shapes");
    json.Begin_Array();
    for (const Shape& shape : sheet.Shapes) {
        json.Begin_Object();
        json.Key(L"name");
        json.String(shape.Name);
        json.Key(L"kind");
        json.String(shape.Kind);
        json.Key(L"left");
        json.Number(shape.Left);
        json.Key(L"top");
        json.Number(shape.Top);
        json.Key(L"width");
        json.Number(shape.Width);
        json.Key(L"height");
        json.Number(shape.Height);
        json.Key(L"topLeftCell");
        json.String(Cell_Name(sheet.Cell_At(shape.Left, shape.Top)));
        json.Key(L"bottomRightCell");
        json.String(Cell_Name(Bottom_Right_Cell(sheet, shape)));
        json.Key(L"alternativeText");
        json.String(shape.Alternative_Text);
        json.End_Object();
    }
    json.End_Array();
    json.Key(L"selectedShape");
    if (const Shape* selected = sheet.Find_Shape(sheet.Selected_Shape))
        json.String(selected->Name);
    else
        json.Null();
    json.Key(L"selection");
    json.String(Address_Text(sheet.Selection, false, false));
    json.End_Object();
}

}  // namespace

std::string State_Json(const Excel_Model& model) {
    Json_Writer json;
    json.Begin_Object();
    json.Key(L"visible");
    json.Bool(model.Visible);
    json.Key(L"displayAlerts");
    json.Bool(model.Display_Alerts);
    json.Key(L"windowState");
    json.Number(model.Window_State);
    json.Key(L"automationSecurity");
    json.Number(model.Automation_Security);
    json.Key(L"activeWorkbook");
    const Workbook* active = nullptr;
    for (const Workbook& book : model.Workbooks())
        if (book.Id == model.Active_Workbook_Id()) active = &book;
    if (active)
        json.String(active->Name);
    else
        json.Null();
    json.Key(L"workbooks");
    json.Begin_Array();
    for (const Workbook& book : model.Workbooks()) {
        json.Begin_Object();
        json.Key(L"name");
        json.String(book.Name);
        json.Key(L"path");
        json.String(book.Path);
        json.Key(L"openedUnderAutomationSecurity");
        json.Number(book.Opened_Under_Security);
        json.Key(L"activeSheet");
        std::wstring active_sheet;
        for (const Sheet& sheet : book.Sheets)
            if (sheet.Id == book.Active_Sheet) active_sheet = sheet.Name;
        json.String(active_sheet);
        json.Key(L"sheets");
        json.Begin_Array();
        for (const Sheet& sheet : book.Sheets) Write_Sheet(json, sheet);
        json.End_Array();
        json.End_Object();
    }
    json.End_Array();
    json.Key(L"running");
    json.Bool(model.Running);
    json.Key(L"window");
    json.Begin_Object();
    json.Key(L"title");
    json.String(Window_Title(model));
    json.Key(L"activations");
    json.Number(model.Window_Activations);
    json.End_Object();
    json.Key(L"renderedFormats");
    json.Begin_Array();
    for (const std::wstring& format : model.Rendered_Formats) json.String(format);
    json.End_Array();
    json.End_Object();
    return json.Text();
}

std::string Call_Json(const Call_Record& call) {
    auto optional_string = [](Json_Writer& json, const std::optional<std::wstring>& text) {
        if (text)
            json.String(*text);
        else
            json.Null();
    };
    Json_Writer json;
    json.Begin_Object();
    json.Key(L"object");
    json.String(call.Object);
    json.Key(L"member");
    json.String(call.Member);
    json.Key(L"kind");
    json.String(call.Kind);
    json.Key(L"args");
    json.Begin_Array();
    for (const auto& arg : call.Args) optional_string(json, arg);
    json.End_Array();
    json.Key(L"named");
    json.Begin_Object();
    for (const auto& [name, value] : call.Named) {
        json.Key(name);
        optional_string(json, value);
    }
    json.End_Object();
    json.Key(L"hr");
    char hr[16];
    std::snprintf(hr, sizeof hr, "0x%08lX", static_cast<unsigned long>(call.Result));
    json.String(std::wstring(hr, hr + std::char_traits<char>::length(hr)));
    if (!call.Error.empty()) {
        json.Key(L"error");
        json.String(call.Error);
    }
    json.End_Object();
    return json.Text();
}
