// celldrop_demo.exe: the main job of CellDrop shown end to end, for tools/run on a machine without a
// display. It starts the program as a user would, presses the start button, answers the start
// message, copies a two-line text and a picture, takes screenshots of both screens and of the
// stand-in Excel's sheet, ends the run, and writes what landed in the workbook to report.txt.
//
//     celldrop_demo.exe <CellDrop.exe> <program folder> <output folder>
//
// The stand-in's state file comes from CELLDROP_STANDIN_STATE, which the program passes on to it.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "clipboard_copy.h"
#include "control_ids.h"
#include "driver.h"
#include "json_value.h"
#include "screenshot.h"
#include "standin_protocol.h"
#include "test_files.h"

namespace {

constexpr int Timeout_Ms = 20000;

bool Clipboard_Empty() { return CountClipboardFormats() == 0; }
const std::wstring Caption = L"Excelへの貼付コントロール";
const std::wstring Demo_Text = L"CellDrop のデモ\r\nコピーした 2 行目";
constexpr int Picture_Width = 240, Picture_Height = 120;

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The stand-in's sheet on the screen: its green bar, and the fill it draws for a pasted picture.
bool Shows_Sheet_And_Picture(HWND excel) {
    const std::optional<Screen_Picture> shown = Picture_On_Screen(excel);
    if (!shown) return false;
    const auto has = [&](std::uint32_t colour) {
        return std::find(shown->Pixels.begin(), shown->Pixels.end(), colour) != shown->Pixels.end();
    };
    return has(0x217346) && has(0xE3EEFB);
}

class Demo {
public:
    Demo(std::wstring exe, std::wstring program, std::wstring output)
        : exe_(std::move(exe)), program_(std::move(program)), output_(std::move(output)) {
        wchar_t state[MAX_PATH] = {};
        GetEnvironmentVariableW(standin::State_Variable, state, MAX_PATH);
        state_file_ = state;
    }

    // Every step in order; the first that fails is reported and ends the demo.
    bool Run() {
        std::wstring failure;
        app_ = App_Process::Start(exe_, program_, &failure);
        if (!app_) return Fail("the program did not start: " + Utf8(failure));
        main_ = app_->Wait_For_Main_Window(Caption, Timeout_Ms);
        if (!main_) return Fail("the window did not appear");
        if (!Wait_Until([&] { return Is_Enabled(Control(control_ids::Cmd_Update2)); }, Timeout_Ms))
            return Fail("the start button was not enabled");
        if (!Shot(main_, L"setup-screen")) return false;

        Say("press \"" + Utf8(Text_Of(Control(control_ids::Cmd_Update2))) + "\"");
        if (!Click(Control(control_ids::Cmd_Update2))) return Fail("the start button could not be pressed");
        const auto box = Wait_For_Message_Box(app_->Pid(), Timeout_Ms);
        if (!box) return Fail("no start message");
        Say("answer the message \"" + Utf8(box->Text) + "\"");
        if (!Answer_Message_Box(*box)) return Fail("the start message could not be answered");
        if (!Wait_Until([&] { return !State()["activeWorkbook"].Is_Null(); }, Timeout_Ms))
            return Fail("no workbook was opened in the stand-in Excel");
        Move_Excel_Beside_The_Program();

        Say("copy a two-line text");
        if (!Copy_Text(Demo_Text)) return Fail("the text could not be copied");
        if (!Wait_Until([&] { return !Sheet()["cells"].Members().empty() && Sheet()["activeCell"].Text() != L"A1"; },
                        Timeout_Ms))
            return Fail("the text did not land");
        Say("copy a picture of " + std::to_string(Picture_Width) + "x" + std::to_string(Picture_Height) + " pixels");
        if (!Copy_Picture(Picture_Width, Picture_Height)) return Fail("the picture could not be copied");
        if (!Wait_Until([&] { return !Sheet()["shapes"].Items().empty() && Clipboard_Empty(); }, Timeout_Ms))
            return Fail("the picture did not land");
        // The history shows both copies once the pass is over.
        (void)Wait_Until([&] { return List_Items(Control(control_ids::Lst_Select + 2)).size() >= 1; }, Timeout_Ms);
        if (!Shot(main_, L"paste-screen")) return false;
        if (HWND excel = FindWindowW(standin::Window_Class, nullptr); excel) {
            // The stand-in redraws its sheet on a timer, and Wine puts a window's pixels on the screen
            // a little after it painted them: the shot waits until the sheet and the picture show.
            if (!Wait_Until([&] { return Shows_Sheet_And_Picture(excel); }, Timeout_Ms))
                return Fail("the stand-in's window did not show its sheet and the picture");
            if (!Shot(excel, L"excel-standin")) return false;
        }
        landed_ = Sheet();
        book_ = State()["activeWorkbook"].Text();

        Say("press \"" + Utf8(Text_Of(Control(control_ids::Cmd_Control + 4))) + "\"");
        if (!Click(Control(control_ids::Cmd_Control + 4))) return Fail("the end button could not be pressed");
        if (!Wait_Until(
                [&] {
                    return Is_Visible(Control(control_ids::Txt_File)) && Is_Enabled(Control(control_ids::Cmd_Cancel));
                },
                Timeout_Ms))
            return Fail("the set-up screen did not come back");
        if (!Close_Window(main_) || !app_->Wait_For_Exit(Timeout_Ms)) return Fail("the program did not close");
        Report_Landed();
        return true;
    }

    const std::string& Report() const { return report_; }

private:
    HWND Control(int id) const { return Find_Control(main_, id); }
    Json_Value State() const { return Json_Value::Parse(Read_Bytes(state_file_)); }
    Json_Value Sheet() const {
        const Json_Value state = State();
        for (const Json_Value& book : state["workbooks"].Items()) {
            if (book["name"].Text() != state["activeWorkbook"].Text()) continue;
            for (const Json_Value& sheet : book["sheets"].Items())
                if (sheet["name"].Text() == book["activeSheet"].Text()) return sheet;
            return book["sheets"][0];
        }
        return Json_Value();
    }

    void Say(const std::string& line) { report_ += "- " + line + "\n"; }
    bool Fail(const std::string& why) {
        report_ += "FAILED: " + why + "\n";
        return false;
    }

    // The stand-in opens where Windows puts a new window, over the program: the program goes to the
    // screen's top-left corner and the stand-in beside it, 800 pixels wide at 96 dpi, so both show in
    // full on the screenshots.
    void Move_Excel_Beside_The_Program() {
        HWND excel = nullptr;
        if (!Wait_Until([&] { return (excel = FindWindowW(standin::Window_Class, nullptr)) != nullptr; }, Timeout_Ms))
            return;
        RECT main{};
        GetWindowRect(main_, &main);
        SetWindowPos(main_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        const int left = main.right - main.left + 8;
        const int width =
            std::min(MulDiv(800, static_cast<int>(GetDpiForSystem()), 96), GetSystemMetrics(SM_CXSCREEN) - left);
        SetWindowPos(excel, nullptr, left, 0, width, main.bottom - main.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Whether the window shows in full: nothing covers it and it lies inside the screen, tried on a
    // grid of points over it.
    static bool Shows_In_Full(HWND window) {
        RECT rect{};
        if (!GetWindowRect(window, &rect) || rect.left < 0 || rect.top < 0 ||
            rect.right > GetSystemMetrics(SM_CXSCREEN) || rect.bottom > GetSystemMetrics(SM_CYSCREEN))
            return false;
        for (int i = 1; i < 8; ++i) {
            for (int j = 1; j < 8; ++j) {
                const POINT point{rect.left + (rect.right - rect.left) * i / 8,
                                  rect.top + (rect.bottom - rect.top) * j / 8};
                if (GetAncestor(WindowFromPoint(point), GA_ROOT) != window) return false;
            }
        }
        return true;
    }

    bool Shot(HWND window, const std::wstring& name) {
        const std::wstring path = output_ + L"\\" + name + L".bmp";
        if (!Shows_In_Full(window))
            return Fail("the window of the screenshot " + Utf8(name) + " does not show in full");
        if (!Save_Window_Picture(window, path)) return Fail("the screenshot " + Utf8(path) + " could not be saved");
        report_ += "screenshot: " + Utf8(path) + "\n";
        return true;
    }

    void Report_Landed() {
        report_ += "landed in " + Utf8(book_) + ", sheet " + Utf8(landed_["name"].Text()) + ":\n";
        for (const auto& [address, cell] : landed_["cells"].Members())
            report_ += "  cell " + address + " = \"" + Utf8(cell["value"].Text()) + "\"\n";
        for (const Json_Value& shape : landed_["shapes"].Items())
            report_ += "  picture " + Utf8(shape["name"].Text()) + " " + Number(shape["width"].Number()) + "x" +
                       Number(shape["height"].Number()) + " pt at cell " + Utf8(shape["topLeftCell"].Text()) + "\n";
    }

    std::wstring exe_, program_, output_, state_file_, book_;
    std::optional<App_Process> app_;
    HWND main_ = nullptr;
    Json_Value landed_;
    std::string report_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Window places and screenshots in the screen's own pixels, whatever its DPI (one screen here).
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE);
    if (argc != 4) {
        std::fputs("usage: celldrop_demo.exe <CellDrop.exe> <program folder> <output folder>\n", stderr);
        return 2;
    }
    Demo demo(argv[1], argv[2], argv[3]);
    const bool done = demo.Run();
    const std::wstring report_file = std::wstring(argv[3]) + L"\\report.txt";
    if (!Write_Bytes(report_file, demo.Report())) return 3;
    return done ? 0 : 1;
}
