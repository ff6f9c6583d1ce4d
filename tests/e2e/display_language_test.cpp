// CellDrop.exe on a Windows that shows English: every caption and message in English, the files as
// on any other Windows. Run by the e2e_english test, whose Wine shows English (its ANSI code page stays
// 932); the Japanese run skips it.
#include "celldrop_version.h"
#include "paste_run_fixture.h"

class English_Display : public Paste_Run_Test {
protected:
    void SetUp() override {
        if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE) GTEST_SKIP() << "run by e2e_english";
        Paste_Run_Test::SetUp();
    }
};

TEST_F(English_Display, CaptionsAndMessagesAreEnglish) {
    ASSERT_EQ(GetACP(), 932u);
    app = std::make_unique<CellDrop_App>(folder, 0, L"Excel Paste Control");
    ASSERT_TRUE(app->Started());
    EXPECT_EQ(Text_Of(app->Control(ids::Cmd_Update2_Start)), L"Start pasting");
    EXPECT_EQ(Text_Of(app->Control(ids::Che_Control + 3)), L"Search subfolders too");
    EXPECT_EQ(Text_Of(app->Control(ids::Label1_16)), L"Version " CELLDROP_VERSION_TEXT);
    EXPECT_EQ(Text_Of(app->Control(ids::Txt_File_0)), L"New blank workbook");
    ASSERT_TRUE(app->Wait_Ready());
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
    Expect_Message(L"Start copying.\r\nEach copy is pasted into Excel automatically.");
    // The new-workbook choice is stored as on a Japanese Windows: an empty line, never its caption.
    EXPECT_EQ(Read_Bytes(folder / L"Para\\Para0_1.txt"), "");
    EXPECT_EQ(Text_Of(app->Control(ids::Label1 + 3)), L"Excel Paste Control");
    EXPECT_EQ(Text_Of(app->Control(ids::Opt_Joken + 1)), L"On");
    EXPECT_EQ(Text_Of(app->Control(ids::Che_Control + 0)), L"Widen columns to fit");
    EXPECT_EQ(Text_Of(app->Control(ids::Che_Control + 1)), L"Treat numbers as text");
    EXPECT_EQ(Text_Of(app->Control(ids::Cmd_Control + 14)), L"Undo last paste");
    EXPECT_EQ(Text_Of(app->Control(ids::Cmd_Control + 4)), L"Stop pasting");
    // Excel is driven as on any Windows.
    ASSERT_TRUE(Wait_Until([&] { return !State()["activeWorkbook"].Is_Null(); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"abc"));
    EXPECT_TRUE(Wait_Cell("A1", L"abc")) << Cell("A1");
}
