#pragma once
// A paste run of CellDrop.exe against the stand-in Excel, with the stand-in's state file to read.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "celldrop_app.h"
#include "clipboard_copy.h"
#include "json_value.h"
#include "standin_protocol.h"
#include "test_files.h"

inline const std::wstring Start_Message = L"コピーを開始してください。\r\n自動でExcelへ貼付します。";
inline const std::wstring Closed_Message = L"Excelが閉じられました。\r\n「Excelへの貼付コントロール」を止めます。";
constexpr int Paste_Timeout_Ms = 15000;

class Paste_Run_Test : public ::testing::Test {
protected:
    void SetUp() override {
        state_file = folder / L"standin_state.json";
        log_file = folder / L"standin_log.jsonl";
        // The stand-in is started by COM from CellDrop.exe, which inherits these from the test.
        SetEnvironmentVariableW(standin::State_Variable, state_file.c_str());
        SetEnvironmentVariableW(standin::Log_Variable, log_file.c_str());
    }
    void TearDown() override {
        if (FindWindowW(standin::Window_Class, nullptr)) Send(standin::Quit, L"");
        (void)Wait_Until([] { return FindWindowW(standin::Window_Class, nullptr) == nullptr; }, 10000);
        SetEnvironmentVariableW(standin::State_Variable, nullptr);
        SetEnvironmentVariableW(standin::Log_Variable, nullptr);
        SetEnvironmentVariableW(standin::Hide_Extensions_Variable, nullptr);
        SetEnvironmentVariableW(standin::Language_Variable, nullptr);
        SetEnvironmentVariableW(standin::Fail_Start_Variable, nullptr);
    }

    // Para2_1.txt and Para2_2.txt in the program folder: option positions and check-box states.
    void Options(int move, int picture, int text, int zoom) {
        ASSERT_TRUE(Write_Bytes(folder / L"Para2_1.txt", Number_Lines({move, picture, text, zoom})));
    }
    void Checks(int widen, int number, int date) {
        ASSERT_TRUE(Write_Bytes(folder / L"Para2_2.txt", Number_Lines({widen, number, date})));
    }
    // " 1\r\n 0\r\n": numbers as the settings files hold them.
    static std::string Number_Lines(std::initializer_list<int> numbers) {
        std::string lines;
        for (int n : numbers) {
            lines += ' ';
            lines += static_cast<char>('0' + n);
            lines += "\r\n";
        }
        return lines;
    }

    // Starts the program, presses the start button and answers the start message.
    void Start(const std::wstring& target = L"") {
        app = std::make_unique<CellDrop_App>(folder);
        ASSERT_TRUE(app->Started());
        if (!target.empty()) {
            ASSERT_TRUE(Type_Text(app->Control(ids::Txt_File_0), target));
        }
        ASSERT_TRUE(app->Wait_Ready());
        ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
        Expect_Message(Start_Message);
        ASSERT_TRUE(Wait_Until([&] { return !State()["activeWorkbook"].Is_Null(); }, Paste_Timeout_Ms));
    }

    void Expect_Message(const std::wstring& text) {
        const auto box = Wait_For_Message_Box(app->Process().Pid(), Paste_Timeout_Ms);
        ASSERT_TRUE(box) << "no message box";
        EXPECT_EQ(box->Text, text);
        ASSERT_TRUE(Answer_Message_Box(*box));
    }

    // A failed paste is said on the paste screen's notice line, and no message box holds the run.
    void Expect_Notice(const std::wstring& text) {
        const HWND line = app->Control(ids::Label1 + 21);
        EXPECT_TRUE(Wait_Until([&] { return Text_Of(line) == text; }, Paste_Timeout_Ms))
            << "notice line: " << Text_Of(line).size();
        EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
    }

    Json_Value State() const { return Json_Value::Parse(Read_Bytes(state_file)); }
    std::string Log() const { return Read_Bytes(log_file); }
    // The calls made on Excel since the log held `from` of them, one line each.
    std::vector<std::string> Calls_Since(std::size_t from) const {
        std::vector<std::string> calls;
        const std::string log = Log();
        std::size_t at = 0;
        for (std::size_t line = 0; at < log.size(); ++line) {
            const std::size_t end = std::min(log.find('\n', at), log.size());
            if (line >= from) calls.push_back(log.substr(at, end - at));
            at = end + 1;
        }
        return calls;
    }

    // The sheet of the active workbook with that name (the first sheet when no name is given).
    Json_Value Sheet(const std::wstring& name = L"Sheet1") const {
        const Json_Value state = State();
        for (const Json_Value& book : state["workbooks"].Items()) {
            if (book["name"].Text() != state["activeWorkbook"].Text()) continue;
            for (const Json_Value& sheet : book["sheets"].Items())
                if (sheet["name"].Text() == name) return sheet;
        }
        return Json_Value();
    }
    std::wstring Cell(const std::string& address, const std::wstring& sheet = L"Sheet1") const {
        return Sheet(sheet)["cells"][address]["value"].Text();
    }
    std::wstring Cell_Type(const std::string& address) const { return Sheet()["cells"][address]["type"].Text(); }
    std::wstring Active_Cell() const { return Sheet()["activeCell"].Text(); }
    bool Wait_Cell(const std::string& address, const std::wstring& value) const {
        return Wait_Until([&] { return Cell(address) == value; }, Paste_Timeout_Ms);
    }

    // Copies a text as another program would.
    static bool Copy(const std::wstring& text) { return Copy_Text(text); }

    // Acts in Excel as the user would; false unless Excel did it (a copy fails while another program
    // holds the clipboard).
    static bool Send(standin::Command command, const std::wstring& text) {
        HWND excel = FindWindowW(standin::Window_Class, nullptr);
        if (!excel) return false;
        COPYDATASTRUCT data{command, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                            const_cast<wchar_t*>(text.data())};
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(excel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                                   &result) != 0 &&
               result == TRUE;
    }

    bool Back_On_Setup_Screen() const {
        return Wait_Until(
            [&] { return Is_Visible(app->Control(ids::Txt_File_0)) && Is_Enabled(app->Control(ids::Cmd_Cancel)); },
            Paste_Timeout_Ms);
    }

    Temp_Folder folder;
    std::wstring state_file, log_file;
    std::unique_ptr<CellDrop_App> app;
};
