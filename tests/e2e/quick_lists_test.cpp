// The fixed strings edited on the set-up screen, and every quick list of the paste screen clicked.
#include "codepage.h"
#include "paste_run_fixture.h"
#include "recorder_protocol.h"

namespace {

constexpr int Cmd_Kotei_Delete = ids::Cmd_Control + 8, Cmd_Kotei_New = ids::Cmd_Control + 9,
              Cmd_Kotei_Up = ids::Cmd_Control + 10, Cmd_Kotei_Sort_Ascending = ids::Cmd_Control + 12;
constexpr int Lst_Kotei_Setup = ids::Lst_Select + 3, Txt_Kotei = ids::Txt_Value3 + 2;
constexpr int Lst_File = ids::Lst_Select + 0, Lst_Url = ids::Lst_Select + 1, Lst_Rireki = ids::Lst_Select + 2,
              Lst_Kotei_Paste = ids::Lst_Select + 4;
// Spaces, quotes and what would be a switch of Chrome's if it stood alone.
constexpr wchar_t Url_Line[] = L"https://example.com/a b?q=\"x\" --user-data-dir=C:\\evil";

}  // namespace

TEST(Quick_Lists, FixedStringsAreEditedSavedAndRestored) {
    Temp_Folder folder;
    ASSERT_TRUE(CreateDirectoryW((folder / L"Kotei").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei\\memo.txt", "not mine"));
    {
        CellDrop_App app(folder);
        ASSERT_TRUE(app.Started());
        ASSERT_TRUE(app.Wait_Ready());
        HWND list = app.Control(Lst_Kotei_Setup), box = app.Control(Txt_Kotei);
        ASSERT_TRUE(Click(app.Control(Cmd_Kotei_New)));
        ASSERT_TRUE(Wait_Until([&] { return List_Items(list) == std::vector<std::wstring>{L"新規文字列"}; }, 10000));
        EXPECT_EQ(Text_Of(box), L"新規文字列");
        EXPECT_FALSE(Is_Enabled(app.Control(Cmd_Kotei_Up)));
        // Typed text reaches the table at the next tick of the check. The new button's click may still be
        // showing its entry when the text comes (a busy machine): the text is typed again until it shows.
        const auto type_until_listed = [&](const std::wstring& text, const std::vector<std::wstring>& items) {
            return Wait_Until(
                [&] { return (Text_Of(box) == text || Type_Text(box, text)) && List_Items(list) == items; }, 10000);
        };
        ASSERT_TRUE(type_until_listed(L"\r\nbeta\r\nsecond line", {L"beta"}));
        ASSERT_TRUE(Click(app.Control(Cmd_Kotei_New)));
        ASSERT_TRUE(Wait_Until([&] { return List_Items(list).size() == 2; }, 10000));
        ASSERT_TRUE(type_until_listed(L"Alpha", {L"beta", L"Alpha"}));
        ASSERT_TRUE(Click(app.Control(Cmd_Kotei_Up)));
        ASSERT_TRUE(Wait_Until(
            [&] {
                return List_Items(list) == std::vector<std::wstring>{L"Alpha", L"beta"};
            },
            10000));
        ASSERT_TRUE(Click(app.Control(Cmd_Kotei_New)));
        ASSERT_TRUE(Wait_Until([&] { return List_Items(list).size() == 3; }, 10000));
        ASSERT_TRUE(Click(app.Control(Cmd_Kotei_Delete)));
        ASSERT_TRUE(Wait_Until([&] { return List_Items(list).size() == 2; }, 10000));
        ASSERT_TRUE(Click(app.Control(ids::Cmd_Update2_Save)));
        // A save may write its files in any order: wait for the whole save.
        ASSERT_TRUE(Wait_Until(
            [&] {
                return Read_Bytes(folder / L"Kotei\\Kotei001.txt") == "\r\nbeta\r\nsecond line" &&
                       Read_Bytes(folder / L"Kotei\\Kotei000.txt") == "Alpha";
            },
            10000));
        EXPECT_EQ(Read_Bytes(folder / L"Kotei\\Kotei002.txt"), "<missing>");
        ASSERT_TRUE(Click(app.Control(ids::Cmd_Cancel)));
        ASSERT_TRUE(app.Process().Wait_For_Exit(10000));
    }
    CellDrop_App again(folder);
    ASSERT_TRUE(again.Started());
    ASSERT_TRUE(again.Wait_Ready());
    EXPECT_EQ(List_Items(again.Control(Lst_Kotei_Setup)), (std::vector<std::wstring>{L"Alpha", L"beta"}));
    // Sorted by the whole text: the entry that starts with a line break comes first.
    ASSERT_TRUE(Click(again.Control(Cmd_Kotei_Sort_Ascending)));
    EXPECT_TRUE(Wait_Until(
        [&] {
            return List_Items(again.Control(Lst_Kotei_Setup)) == std::vector<std::wstring>{L"beta", L"Alpha"};
        },
        10000));
    EXPECT_EQ(Read_Bytes(folder / L"Kotei\\memo.txt"), "not mine");
    // Typing followed at once by another entry's selection and a save, before any check has run:
    // nothing typed is lost.
    HWND list = again.Control(Lst_Kotei_Setup), box = again.Control(Txt_Kotei);
    ASSERT_TRUE(Click_List_Item(list, 1));
    ASSERT_TRUE(Wait_Until([&] { return Text_Of(box) == L"Alpha"; }, 10000));
    ASSERT_TRUE(Type_Text(box, L"Gamma"));
    ASSERT_TRUE(Click_List_Item(list, 0));
    ASSERT_TRUE(Click(again.Control(ids::Cmd_Update2_Save)));
    EXPECT_TRUE(Wait_Until(
        [&] {
            return Read_Bytes(folder / L"Kotei\\Kotei001.txt") == "Gamma" &&
                   Read_Bytes(folder / L"Kotei\\Kotei000.txt") == "\r\nbeta\r\nsecond line";
        },
        10000));
}

class Quick_List_Run_Test : public Paste_Run_Test {};

TEST_F(Quick_List_Run_Test, EveryQuickListActsOnOneClick) {
    // A folder with a workbook, a text file of the test type, one file to go missing and one to be locked.
    const std::wstring files = folder / L"資料 フォルダー";
    ASSERT_TRUE(CreateDirectoryW(files.c_str(), nullptr));
    for (const wchar_t* name : {L"報告.xlsx", L"メモ 1.celldroptest", L"gone.txt", L"held.txt"})
        ASSERT_TRUE(
            Write_Bytes(files + L"\\" + name, std::wstring_view(name).ends_with(L".xlsx") ? Empty_Xlsx_Bytes : "x"));
    ASSERT_TRUE(CreateDirectoryW((folder / L"Kotei").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei\\Kotei000.txt", "fixed\r\ntext"));
    const std::wstring chrome_log = folder / L"chrome.log", open_log = folder / L"open.log";
    SetEnvironmentVariableW(recorder::Chrome_Log_Variable, chrome_log.c_str());
    SetEnvironmentVariableW(recorder::Open_Log_Variable, open_log.c_str());

    // The program starts in its own folder: a chrome.exe there must never be the one that runs.
    ASSERT_TRUE(CopyFileW(Wine_Path(OPEN_RECORDER_EXE).c_str(), (folder / L"chrome.exe").c_str(), FALSE));

    app = std::make_unique<CellDrop_App>(folder);
    ASSERT_TRUE(app->Started());
    ASSERT_TRUE(Type_Text(app->Control(ids::Txt_File_1), files));
    ASSERT_TRUE(
        Type_Text(app->Control(ids::Txt_Value3 + 0), L"報告.xlsx\r\nメモ 1.celldroptest\r\ngone.txt\r\nheld.txt"));
    ASSERT_TRUE(Type_Text(app->Control(ids::Txt_Value3_1), Url_Line));
    ASSERT_TRUE(app->Wait_Ready());
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
    Expect_Message(Start_Message);

    // A fixed string is pasted, twice in a row, and never recorded in the history.
    ASSERT_TRUE(Click_List_Item(app->Control(Lst_Kotei_Paste), 0));
    ASSERT_TRUE(Wait_Cell("A1", L"fixedtext"));
    ASSERT_TRUE(Click_List_Item(app->Control(Lst_Kotei_Paste), 0));
    ASSERT_TRUE(Wait_Cell("B1", L"fixedtext"));
    EXPECT_TRUE(List_Items(app->Control(Lst_Rireki)).empty());

    // A workbook opens inside the running Excel.
    ASSERT_TRUE(Click_List_Item(app->Control(Lst_File), 0));
    Expect_Message(files + L"\\報告.xlsx\r\nをExcel内に開きました。");
    EXPECT_NE(Log().find(R"x("member":"Open","kind":"method","args":[],"named":{"FileName":)x"), std::string::npos);
    EXPECT_NE(Log().find(R"x("ReadOnly":"False","UpdateLinks":"0")x"), std::string::npos);
    EXPECT_EQ(State()["workbooks"][1]["openedUnderAutomationSecurity"].Number(), 2);
    // Another file opens with the program Windows associates with it.
    ASSERT_TRUE(Click_List_Item(app->Control(Lst_File), 1));
    EXPECT_TRUE(Wait_Until(
        [&] { return Read_Bytes(open_log).find("\xE3\x83\xA1\xE3\x83\xA2 1.celldroptest") != std::string::npos; },
        Paste_Timeout_Ms));
    // A missing file and a locked one are named.
    ASSERT_TRUE(DeleteFileW((files + L"\\gone.txt").c_str()));
    ASSERT_TRUE(Click_List_Item(app->Control(Lst_File), 2));
    Expect_Message(L"[" + files + L"\\gone.txt]がありません。");
    HANDLE held = CreateFileW((files + L"\\held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(Click_List_Item(app->Control(Lst_File), 3));
    Expect_Message(L"ファイル「" + files + L"\\held.txt」にロックがかかっています。");
    CloseHandle(held);
    // A URL starts the registered Chrome, not the chrome.exe in the current folder, with the whole line
    // as its one argument: everything after --single-argument is the URL to Chrome.
    ASSERT_TRUE(Click_List_Item(app->Control(Lst_Url), 0));
    const std::string url_tail = " --single-argument " + Wide_To_Utf8(Url_Line) + "\n";
    EXPECT_TRUE(
        Wait_Until([&] { return Read_Bytes(chrome_log).find(url_tail) != std::string::npos; }, Paste_Timeout_Ms))
        << Read_Bytes(chrome_log);
    std::string after_program = Read_Bytes(chrome_log);
    after_program.erase(0, std::min(after_program.size(), after_program.find("ChromeStandIn.exe") + 17));
    if (after_program.starts_with("\"")) after_program.erase(0, 1);
    EXPECT_EQ(after_program, url_tail);
    EXPECT_EQ(Read_Bytes(open_log).find("example.com"), std::string::npos)
        << "the chrome.exe in the current folder ran";
    SetEnvironmentVariableW(recorder::Chrome_Log_Variable, nullptr);
    SetEnvironmentVariableW(recorder::Open_Log_Variable, nullptr);
}

TEST(Quick_Lists, NothingStoredIsOverwrittenCutOrLostFromTheSetupScreen) {
    Temp_Folder folder;
    for (const wchar_t* sub : {L"Para", L"Kotei", L"RirekiText", L"RirekiPic"})
        ASSERT_TRUE(CreateDirectoryW((folder / sub).c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiText\\Text00.txt", "old text"));
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiPic\\Pic00.bmp", "old picture"));
    // A file list with a NUL in its second line: the box shows only what comes before it.
    const std::string file_list("a.xlsx\r\nb\0c.xlsx\r\nd.xlsx\r\ne\r\nf\r\ng\r\n", 35);
    ASSERT_TRUE(Write_Bytes(folder / L"Para\\Para1_2.txt", file_list));
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei\\Kotei000.txt", "first"));
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei\\Kotei001.txt", "second"));
    {
        CellDrop_App app(folder);
        ASSERT_TRUE(app.Started());
        ASSERT_TRUE(app.Wait_Ready());
        // The paste-end button is hidden here, but a message still reaches it: no history was read, so
        // none is written. Sent, not posted: its handling redraws the set-up screen, whose save button
        // is clicked next.
        HWND end = app.Control(ids::Cmd_Control + 4);
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutW(app.Main(), WM_COMMAND, MAKEWPARAM(ids::Cmd_Control + 4, BN_CLICKED),
                                        reinterpret_cast<LPARAM>(end), SMTO_ABORTIFHUNG, 10000, &result));
        // Saved with the file list untouched: every line as it was read.
        ASSERT_TRUE(Click(app.Control(ids::Cmd_Update2_Save)));
        ASSERT_TRUE(Wait_Until([&] { return Read_Bytes(folder / L"Para\\Para1_3.txt") != "<missing>"; }, 10000));
        EXPECT_EQ(Read_Bytes(folder / L"Para\\Para1_2.txt"), file_list);
        EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text00.txt"), "old text");
        EXPECT_EQ(Read_Bytes(folder / L"RirekiPic\\Pic00.bmp"), "old picture");

        // Kotei000.txt held open by another program while its entry is edited and saved: the save
        // names it, the file keeps its text, and the edit is saved as the program ends.
        HWND list = app.Control(Lst_Kotei_Setup), box = app.Control(Txt_Kotei);
        // The list takes clicks again once the save above has run to its end.
        ASSERT_TRUE(Wait_Until([&] { return Click_List_Item(list, 0); }, 10000));
        ASSERT_TRUE(Wait_Until([&] { return Text_Of(box) == L"first"; }, 10000));
        HANDLE held =
            CreateFileW((folder / L"Kotei\\Kotei000.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(Type_Text(box, L"first edited"));
        ASSERT_TRUE(Click(app.Control(ids::Cmd_Update2_Save)));
        const auto message = Wait_For_Message_Box(app.Process().Pid(), 10000);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->Text.find(L"設定ファイルを保存できませんでした。\r\n"), 0u) << message->Text;
        EXPECT_NE(message->Text.find(L"Kotei000.txt"), std::wstring::npos);
        ASSERT_TRUE(Answer_Message_Box(*message));
        EXPECT_EQ(List_Items(list), (std::vector<std::wstring>{L"first edited", L"second"}));
        CloseHandle(held);
        EXPECT_EQ(Read_Bytes(folder / L"Kotei\\Kotei000.txt"), "first");
        ASSERT_TRUE(Click(app.Control(ids::Cmd_Cancel)));
        ASSERT_TRUE(app.Process().Wait_For_Exit(10000));
    }
    EXPECT_EQ(Read_Bytes(folder / L"Kotei\\Kotei000.txt"), "first edited");
    EXPECT_EQ(Read_Bytes(folder / L"Kotei\\Kotei001.txt"), "second");
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text00.txt"), "old text");
    EXPECT_EQ(Read_Bytes(folder / L"Para\\Para1_2.txt"), file_list);
}
