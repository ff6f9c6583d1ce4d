// CellDrop.exe driven from outside, as a user would: start-up, cancel and save-only.
#include <gtest/gtest.h>

#include "celldrop_app.h"
#include "celldrop_controls.h"
#include "celldrop_version.h"
#include "test_files.h"
#include "ui_text.h"

namespace {

bool Is_Folder(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TEST(Startup, FirstStartInAnEmptyFolder) {
    Temp_Folder folder;
    CellDrop_App app(folder);
    ASSERT_TRUE(app.Started());
    for (const wchar_t* name : {L"Para", L"RirekiText", L"RirekiPic", L"Kotei"})
        EXPECT_TRUE(Is_Folder(folder / name)) << "missing folder";
    EXPECT_EQ(Text_Of(app.Control(ids::Txt_File_0)), L"新規、空白のブック");
    EXPECT_EQ(Text_Of(app.Control(ids::Txt_File_1)), L"");
    EXPECT_EQ(Text_Of(app.Control(ids::Label1_16)), L"バージョン " CELLDROP_VERSION_TEXT);
    EXPECT_TRUE(app.Wait_Ready());
    EXPECT_TRUE(Text_Of(app.Control(ids::Lbl_Error_Check)).empty());
    EXPECT_FALSE(Is_Visible(app.Control(ids::Lbl_Error_Check)));
    // Every control of the set-up screen is there, each with its fixed ID; those of the paste screen
    // are made when it is first shown.
    EXPECT_EQ(Text_Of(app.Control(ids::Label1 + 18)), L"「固定文字列」　指定");
    EXPECT_EQ(app.Control(ids::Opt_Joken + 19), nullptr);

    // The save-only button breaks its caption where Windows and Wine both show it: two lines.
    EXPECT_EQ(Text_Of(app.Control(ids::Cmd_Update2_Save)), L"「指定」\r\n登録のみ");
    // The two choosers beside "PC" show the shell's file and folder pictures and say what they open;
    // the tips are made once the window has shown.
    std::vector<Tool_Tip> tips;
    const auto tip_of = [&](HWND control) {
        for (const Tool_Tip& tip : tips)
            if (tip.Control == control) return tip.Text;
        return std::wstring();
    };
    EXPECT_TRUE(Wait_Until(
        [&] {
            tips = Tool_Tips(app.Process().Pid());
            return !tip_of(app.Control(ids::Cmd_Control + 0)).empty() &&
                   !tip_of(app.Control(ids::Cmd_Control + 2)).empty();
        },
        10000));
    for (const auto& [id, tip] : {std::pair{ids::Cmd_Control + 0, Text_Id::Workbook_Chooser_Tip},
                                  std::pair{ids::Cmd_Control + 2, Text_Id::Folder_Chooser_Tip}}) {
        HWND chooser = app.Control(id);
        EXPECT_TRUE(GetWindowLongPtrW(chooser, GWL_STYLE) & BS_ICON) << id;
        EXPECT_NE(SendMessageW(chooser, BM_GETIMAGE, IMAGE_ICON, 0), 0) << id;
        EXPECT_EQ(tip_of(chooser), Ui_Text(tip, Text_Language::Japanese));
    }
}

TEST(Startup, CancelEndsWithoutSaving) {
    Temp_Folder folder;
    CellDrop_App app(folder);
    ASSERT_TRUE(app.Started());
    ASSERT_TRUE(app.Wait_Ready());
    ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_1), L"C:\\windows"));
    ASSERT_TRUE(Click(app.Control(ids::Cmd_Cancel)));
    ASSERT_TRUE(app.Process().Wait_For_Exit(10000));
    EXPECT_EQ(app.Process().Exit_Code(), 0u);
    EXPECT_TRUE(List_Folder(folder / L"Para").empty());
}

TEST(Startup, SaveOnlyWritesTheSetupFiles) {
    Temp_Folder folder;
    {
        CellDrop_App app(folder);
        ASSERT_TRUE(app.Started());
        ASSERT_TRUE(app.Wait_Ready());
        ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_1), L"C:\\windows"));
        ASSERT_TRUE(Type_Text(app.Control(ids::Txt_Value3_1), L"https://a.invalid/\r\nhttps://b.invalid/"));
        ASSERT_TRUE(Click(app.Control(ids::Cmd_Update2_Save)));
        ASSERT_TRUE(Wait_Until([&] { return Read_Bytes(folder / L"Para\\Para1_3.txt") != "<missing>"; }, 10000));
        EXPECT_TRUE(app.Process().Is_Running());
        EXPECT_EQ(Read_Bytes(folder / L"Para\\Para0_1.txt"), "");  // the new-workbook choice
        EXPECT_EQ(Read_Bytes(folder / L"Para\\Para1_1.txt"), "C:\\windows\r\n 0\r\n");
        EXPECT_EQ(Read_Bytes(folder / L"Para\\Para1_1_T.txt"), "C:\\windows\r\n");
        EXPECT_EQ(Read_Bytes(folder / L"Para\\Para1_3.txt"), "https://a.invalid/\r\nhttps://b.invalid/\r\n");
        EXPECT_EQ(Read_Bytes(folder / L"Para\\Para0_1_T.txt"), "<missing>");
        ASSERT_TRUE(Close_Window(app.Main()));
        ASSERT_TRUE(app.Process().Wait_For_Exit(10000));
    }
    CellDrop_App again(folder);
    ASSERT_TRUE(again.Started());
    EXPECT_EQ(Text_Of(again.Control(ids::Txt_File_1)), L"C:\\windows");
    EXPECT_EQ(Text_Of(again.Control(ids::Txt_Value3_1)), L"https://a.invalid/\r\nhttps://b.invalid/");
}

// The program's manifest, read from the program file as Windows reads it: long paths, and its own
// drawing at each monitor's scale.
TEST(Startup, ManifestAsksForLongPathsAndPerMonitorScaling) {
    HMODULE exe = LoadLibraryExW(Wine_Path(CELLDROP_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(exe, found)));
    const std::string manifest(data, SizeofResource(exe, found));
    FreeLibrary(exe);
    EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find(">PerMonitorV2"), std::string::npos) << manifest;
}

TEST(Startup, OneProgramPerFolder) {
    Temp_Folder folder, other_folder;
    CellDrop_App app(folder);
    ASSERT_TRUE(app.Started());
    // A second start from the same folder (in another letter case) brings the first window forward and ends.
    std::wstring upper = app.Process().Exe_Path();
    for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
    auto second = App_Process::Start(upper, folder.Path());
    ASSERT_TRUE(second);
    ASSERT_TRUE(second->Wait_For_Exit(Start_Timeout_Ms));
    EXPECT_EQ(second->Exit_Code(), 0u);
    EXPECT_TRUE(app.Process().Is_Running());
    EXPECT_EQ(GetForegroundWindow(), app.Main());
    // A program in another folder runs beside it.
    CellDrop_App beside(other_folder);
    EXPECT_TRUE(beside.Started());
}
