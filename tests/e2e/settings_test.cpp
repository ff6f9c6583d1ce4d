// Settings typed into the set-up screen survive a restart; the screen validates itself every second.
#include <gtest/gtest.h>

#include "celldrop_app.h"
#include "test_files.h"

TEST(Settings, EverySetupValueSurvivesARestart) {
    Temp_Folder folder;
    ASSERT_TRUE(CreateDirectoryW((folder / L"資料").c_str(), nullptr));
    const std::wstring book = folder / L"資料\\報告.xlsx";
    ASSERT_TRUE(Write_Bytes(book, "x"));
    ASSERT_TRUE(CreateDirectoryW((folder / L"Para").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"Para\\Para0_1_T.txt", "C:\\old.xlsx\r\n"));
    {
        CellDrop_App app(folder);
        ASSERT_TRUE(app.Started());
        ASSERT_TRUE(app.Wait_Ready());
        ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_0), book));
        ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_1), folder / L"資料"));
        // Ticking the box rebuilds the file list from the folder; the list is edited after that. The
        // build shows its lines before it ends, and gives the save button back only at its end.
        ASSERT_TRUE(Click(app.Control(ids::Che_Control + 3)));
        ASSERT_TRUE(Wait_Until(
            [&] {
                return Text_Of(app.Control(ids::Txt_Value3 + 0)) == L"報告.xlsx" &&
                       Is_Usable(app.Control(ids::Cmd_Update2_Save));
            },
            Start_Timeout_Ms));
        ASSERT_TRUE(Type_Text(app.Control(ids::Txt_Value3 + 0), L"報告.xlsx\r\n\r\n報告.xlsx"));
        ASSERT_TRUE(Type_Text(app.Control(ids::Txt_Value3_1), L"https://a.invalid/"));
        ASSERT_TRUE(Click(app.Control(ids::Cmd_Update2_Save)));
        ASSERT_TRUE(Wait_Until([&] { return Read_Bytes(folder / L"Para\\Para1_3.txt") != "<missing>"; }, 10000));
        ASSERT_TRUE(Click(app.Control(ids::Cmd_Cancel)));
        ASSERT_TRUE(app.Process().Wait_For_Exit(10000));
    }
    // Code page 932 and CR LF, exactly the lines each file holds.
    const std::string folder_bytes = Read_Bytes(folder / L"Para\\Para0_1.txt");
    EXPECT_TRUE(folder_bytes.ends_with("\\\x8E\x91\x97\xBF\\\x95\xF1\x8D\x90.xlsx\r\n")) << folder_bytes;
    EXPECT_EQ(Read_Bytes(folder / L"Para\\Para0_1_T.txt"), folder_bytes + "C:\\old.xlsx\r\n");
    const std::string para1_1 = Read_Bytes(folder / L"Para\\Para1_1.txt");
    EXPECT_TRUE(para1_1.ends_with("\\\x8E\x91\x97\xBF\r\n 1\r\n")) << para1_1;
    EXPECT_EQ(Read_Bytes(folder / L"Para\\Para1_2.txt"), "\x95\xF1\x8D\x90.xlsx\r\n\r\n\x95\xF1\x8D\x90.xlsx\r\n");
    EXPECT_EQ(Read_Bytes(folder / L"Para\\Para1_3.txt"), "https://a.invalid/\r\n");

    CellDrop_App again(folder);
    ASSERT_TRUE(again.Started());
    EXPECT_EQ(Text_Of(again.Control(ids::Txt_File_0)), book);
    EXPECT_EQ(Text_Of(again.Control(ids::Txt_File_1)), folder / L"資料");
    EXPECT_EQ(SendMessageW(again.Control(ids::Che_Control + 3), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text_Of(again.Control(ids::Txt_Value3 + 0)), L"報告.xlsx\r\n\r\n報告.xlsx");
    EXPECT_EQ(Text_Of(again.Control(ids::Txt_Value3_1)), L"https://a.invalid/");
    // The empty second line of the file list is a fault.
    EXPECT_TRUE(
        Wait_Until([&] { return Text_Of(again.Control(ids::Lbl_Error_Check)) == L"２行目のファイルが不明です。"; },
                   Start_Timeout_Ms));
    EXPECT_FALSE(Is_Enabled(again.Control(ids::Cmd_Update2_Start)));
}

TEST(Settings, NewWorkbookChoiceLeavesTheHistoryAlone) {
    Temp_Folder folder;
    ASSERT_TRUE(CreateDirectoryW((folder / L"Para").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"Para\\Para0_1_T.txt", "C:\\old.xlsx\r\n"));
    ASSERT_TRUE(Write_Bytes(folder / L"Para\\Para0_1.txt", "C:\\old.xlsx\r\n"));
    CellDrop_App app(folder);
    ASSERT_TRUE(app.Started());
    ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_0), L""));  // becomes the new-workbook choice
    EXPECT_EQ(Text_Of(app.Control(ids::Txt_File_0)), L"新規、空白のブック");
    ASSERT_TRUE(Wait_Until([&] { return Is_Enabled(app.Control(ids::Cmd_Update2_Save)); }, Start_Timeout_Ms));
    ASSERT_TRUE(Click(app.Control(ids::Cmd_Update2_Save)));
    ASSERT_TRUE(Wait_Until([&] { return Read_Bytes(folder / L"Para\\Para0_1.txt").empty(); }, 10000));
    EXPECT_EQ(Read_Bytes(folder / L"Para\\Para0_1_T.txt"), "C:\\old.xlsx\r\n");
}

TEST(Settings, MissingTargetBlinksAndBlocksTheStartUntilMended) {
    Temp_Folder folder;
    CellDrop_App app(folder);
    ASSERT_TRUE(app.Started());
    ASSERT_TRUE(app.Wait_Ready());
    const std::wstring book = folder / L"book.xlsx";
    ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_0), book));
    HWND label = app.Control(ids::Lbl_Error_Check);
    EXPECT_TRUE(Wait_Until([&] { return Text_Of(label) == L"貼付先Excelファイルがありません。" && Is_Visible(label); },
                           Start_Timeout_Ms));
    EXPECT_FALSE(Is_Enabled(app.Control(ids::Cmd_Update2_Start)));
    ASSERT_TRUE(Write_Bytes(book, "x"));
    // Both change in one pass: seen from outside, one may come a moment before the other.
    EXPECT_TRUE(Wait_Until([&] { return Is_Enabled(app.Control(ids::Cmd_Update2_Start)) && !Is_Visible(label); },
                           Start_Timeout_Ms));
}

TEST(Settings, APathLongerThanWindowsTakesIsRefused) {
    // 100,000 characters and 50,000 levels, as a damaged or hostile settings file may hold.
    std::string long_path = "C:\\";
    while (long_path.size() < 100000) long_path += "d\\";
    long_path += "x.xlsx";
    Temp_Folder folder;
    const std::wstring book = folder / L"book.xlsx";
    ASSERT_TRUE(Write_Bytes(book, "x"));
    ASSERT_TRUE(CreateDirectoryW((folder / L"Para").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"Para\\Para0_1.txt", long_path + "\r\n"));
    ASSERT_TRUE(Write_Bytes(folder / L"Para\\Para0_1_T.txt", long_path + "\r\nC:\\old.xlsx\r\n"));
    CellDrop_App app(folder);
    ASSERT_TRUE(app.Started());
    const std::wstring message = L"パスが長すぎます。32767文字以内にしてください。";
    HWND label = app.Control(ids::Lbl_Error_Check);
    EXPECT_TRUE(Wait_Until([&] { return Text_Of(label) == message; }, Start_Timeout_Ms));
    EXPECT_FALSE(Is_Enabled(app.Control(ids::Cmd_Update2_Start)));
    // The chooser says so instead of opening on it.
    ASSERT_TRUE(Click(app.Control(ids::Cmd_Control + 6)));
    const auto box = Wait_For_Message_Box(app.Process().Pid(), Start_Timeout_Ms);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text, message);
    ASSERT_TRUE(Answer_Message_Box(*box));
    // Mended, the start is allowed; the history saved without the path no one could open.
    ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_0), book));
    ASSERT_TRUE(app.Wait_Ready());
    ASSERT_TRUE(Click(app.Control(ids::Cmd_Update2_Save)));
    EXPECT_TRUE(Wait_Until(
        [&] {
            const std::string target = Read_Bytes(folder / L"Para\\Para0_1.txt");
            return target.size() < 1000 && Read_Bytes(folder / L"Para\\Para0_1_T.txt") == target + "C:\\old.xlsx\r\n";
        },
        10000));
}
