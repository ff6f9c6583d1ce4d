#pragma once
// The start of a paste run for the benchmarks that time copies: CellDrop.exe started in a fresh folder
// with the given paste options, the start button pressed and its message answered, and the new
// workbook open in the stand-in Excel.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "driver.h"
#include "test_files.h"
#include "wait.h"

// options: the contents of Para2_1.txt (the paste options' positions). Nothing when any step failed.
inline std::optional<App_Process> Start_Paste_Run(const std::wstring& folder, const std::wstring& state_file,
                                                  std::string_view options) {
    Write_Bytes(folder + L"\\Para2_1.txt", std::string(options));
    auto app = App_Process::Start(Wine_Path(CELLDROP_EXE), folder);
    if (!app) return std::nullopt;
    HWND main = app->Wait_For_Main_Window(L"Excelへの貼付コントロール", 30000);
    HWND start = main ? Find_Control(main, 1900) : nullptr;
    if (!start || !Wait_Until([&] { return Is_Enabled(start); }, 30000) || !Click(start)) return std::nullopt;
    const auto box = Wait_For_Message_Box(app->Pid(), 30000);
    if (!box || !Answer_Message_Box(*box)) return std::nullopt;
    if (!Wait_Until([&] { return Read_Bytes(state_file).find("Book1") != std::string::npos; }, 30000))
        return std::nullopt;
    return app;
}
