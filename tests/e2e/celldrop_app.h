#pragma once
// CellDrop.exe started from a fresh program folder, with the IDs of the controls the scenarios use.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "control_ids.h"
#include "driver.h"
#include "temp_folder.h"

// The program's own control IDs: an array's base plus the element's index.
namespace ids {
using namespace control_ids;
constexpr int Txt_File_0 = Txt_File + 0;
constexpr int Txt_File_1 = Txt_File + 1;
constexpr int Txt_Value3_1 = Txt_Value3 + 1;
constexpr int Label1_16 = Label1 + 16;
constexpr int Cmd_Update2_Start = Cmd_Update2 + 0;
constexpr int Cmd_Update2_Save = Cmd_Update2 + 1;
}  // namespace ids

constexpr int Start_Timeout_Ms = 20000;

class CellDrop_App {
public:
    // Starts the program in folder; the test fails when it does not show its window (of that title). The
    // messages the start shows before its window are answered and kept in Start_Messages.
    explicit CellDrop_App(const Temp_Folder& folder, int messages_before_window = 0,
                          const std::wstring& title = L"Excelへの貼付コントロール") {
        std::wstring failure;
        process_ = App_Process::Start(Wine_Path(CELLDROP_EXE), folder.Path(), &failure);
        EXPECT_TRUE(process_) << std::string(failure.begin(), failure.end());
        for (int i = 0; process_ && i < messages_before_window; ++i) {
            const auto box = Wait_For_Message_Box(process_->Pid(), Start_Timeout_Ms);
            EXPECT_TRUE(box) << "message " << i;
            if (!box) break;
            Start_Messages.push_back(box->Text);
            EXPECT_TRUE(Answer_Message_Box(*box));
        }
        if (process_) main_ = process_->Wait_For_Main_Window(title, Start_Timeout_Ms);
        EXPECT_NE(main_, nullptr);
    }
    std::vector<std::wstring> Start_Messages;

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
