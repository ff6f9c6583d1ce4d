#pragma once
// CellDrop.exe started from a fresh program folder, with the IDs of the controls the scenarios use.
#include <gtest/gtest.h>

#include <memory>

#include "driver.h"
#include "temp_folder.h"

namespace ids {
constexpr int Cmd_Cancel = 100;
constexpr int Lbl_Error_Check = 101;
constexpr int Txt_File_0 = 1200;
constexpr int Txt_File_1 = 1201;
constexpr int Txt_Value3_0 = 1300;
constexpr int Txt_Value3_1 = 1301;
constexpr int Label1_16 = 1116;
constexpr int Che_Control_3 = 1603;
constexpr int Cmd_Update2_Start = 1900;
constexpr int Cmd_Update2_Save = 1901;
}  // namespace ids

constexpr int Start_Timeout_Ms = 20000;

class CellDrop_App {
public:
    // Starts the program in folder; the test fails when it does not show its window.
    explicit CellDrop_App(const Temp_Folder& folder) {
        std::wstring failure;
        process_ = App_Process::Start(Wine_Path(CELLDROP_EXE), folder.Path(), &failure);
        EXPECT_TRUE(process_) << std::string(failure.begin(), failure.end());
        if (process_) main_ = process_->Wait_For_Main_Window(L"Excelへの貼付コントロール", Start_Timeout_Ms);
        EXPECT_NE(main_, nullptr);
    }

    bool Started() const { return main_ != nullptr; }
    HWND Main() const { return main_; }
    HWND Control(int id) const { return Find_Control(main_, id); }
    App_Process& Process() { return *process_; }

    // Waits for the set-up screen to finish starting: the first validation tick enables the start button.
    bool Wait_Ready() const {
        return Wait_Until([this] { return Is_Enabled(Control(ids::Cmd_Update2_Start)); }, Start_Timeout_Ms);
    }

private:
    std::optional<App_Process> process_;
    HWND main_ = nullptr;
};
