// The file list built into its box while messages run: what reads the list waits for all of it.
#include "file_list_build.h"

#include <gtest/gtest.h>

#include "control.h"
#include "form.h"
#include "temp_folder.h"

namespace {

class Build_Form : public Form {
public:
    Build_Form() : Form(L"CellDropBuildTestForm", L"テスト") {}

protected:
    void On_Load() override {
        static constexpr Control_Def table[] = {
            {L"Txt_Value3", 0, Control_Kind::Multi_Line_Text_Box, nullptr, 120, 120, 3000, 1500, nullptr, -1, 1300},
            {L"Cmd_Update2", 0, Control_Kind::Button, L"開始", 120, 1800, 1200, 400, nullptr, -1, 1900},
            {L"Cmd_Update2", 1, Control_Kind::Button, L"登録のみ", 1500, 1800, 1200, 400, nullptr, -1, 1901},
        };
        Add_Controls(table);
    }
};

}  // namespace

TEST(FileListBuild, ReadersAreDisabledUntilTheListIsWhole) {
    Temp_Folder dir;
    ASSERT_TRUE(Write_Bytes(dir / L"b.txt", "x"));
    ASSERT_TRUE(Write_Bytes(dir / L"a.txt", "x"));
    Build_Form form;
    ASSERT_TRUE(form.Load());
    Control &start = form(L"Cmd_Update2", 0), &save = form(L"Cmd_Update2", 1);
    start.Set_Enabled(false);  // held back by a fault before the build

    File_List_Build build;
    std::vector<bool> usable_at_start;
    const bool alive = build.Run(form(L"Txt_Value3", 0), {&save, &start}, [&] {
        usable_at_start.push_back(save.Enabled() || start.Enabled());
        // Asked again while it runs (the check box clicked): it starts over, still locked.
        if (usable_at_start.size() == 1) {
            EXPECT_TRUE(build.Restart_If_Running());
        }
        return File_List_Build::Source{dir.Path(), false};
    });
    ASSERT_TRUE(alive);
    EXPECT_EQ(usable_at_start, (std::vector<bool>{false, false}));
    EXPECT_EQ(form(L"Txt_Value3", 0).Caption(), L"a.txt\r\nb.txt");
    EXPECT_TRUE(save.Enabled());
    EXPECT_FALSE(start.Enabled());
    EXPECT_FALSE(build.Restart_If_Running());
    DestroyWindow(form.Hwnd());
}
