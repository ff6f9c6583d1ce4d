// The set-up screen validates itself once a second: the first fault blinks in the error label and
// keeps the start button disabled.
#include <gtest/gtest.h>

#include "main_form_fixture.h"
#include "open_actions.h"

namespace {

class ChecksTest : public MainFormTest {
protected:
    void SetUp() override {
        Load();
        // Every answer counts here, however busy the machine: the bounded wait has tests of its own.
        form->Setup.Probe.Set_Wait_Ms(10000);
    }
    std::wstring Tick() {
        form->Setup.Timer1_Timer(0);
        return (*form)(L"Lbl_Error_Check").Caption();
    }
    bool Start_Enabled() { return (*form)(L"Cmd_Update2", 0).Enabled(); }
};

}  // namespace

TEST_F(ChecksTest, MissingTargetBlinksUntilTheFileExists) {
    const std::wstring book = dir / L"book.xlsx";
    form->Setup.Txt_Target->Set_Caption(book);
    EXPECT_EQ(Tick(), L"貼付先Excelファイルがありません。");
    EXPECT_FALSE(Start_Enabled());
    Control& label = (*form)(L"Lbl_Error_Check");
    EXPECT_TRUE(label.Visible());
    const Colour first = label.Fore_Color();
    Tick();
    const Colour second = label.Fore_Color();
    EXPECT_NE(first, second);
    EXPECT_TRUE(first == 255u || second == 255u);  // red every other second

    ASSERT_TRUE(Write_Bytes(book, "x"));
    EXPECT_EQ(Tick(), L"");
    EXPECT_TRUE(Start_Enabled());
    EXPECT_FALSE(label.Visible());

    // A folder or a hidden file by that name is no workbook.
    ASSERT_TRUE(SetFileAttributesW(book.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(Tick(), L"貼付先Excelファイルがありません。");
    form->Setup.Txt_Target->Set_Caption(dir.Path());
    EXPECT_EQ(Tick(), L"貼付先Excelファイルがありません。");
}

TEST_F(ChecksTest, TheNewWorkbookChoiceNeedsNoFile) {
    for (const wchar_t* text : {L"新規、空白のブック", L"新規、空", L"新規、空白のブック2"}) {
        form->Setup.Txt_Target->Set_Caption(text);
        EXPECT_EQ(Tick(), L"") << "target";
        EXPECT_TRUE(Start_Enabled());
    }
}

TEST_F(ChecksTest, FileListFaultsWithFullWidthLineNumbers) {
    form->Setup.Txt_Folder->Set_Caption(dir / L"nowhere");
    EXPECT_EQ(Tick(), L"「ファイルを開く」のフォルダーが不明です。");

    form->Setup.Txt_Folder->Set_Caption(dir.Path());
    form->Setup.Txt_File_List->Set_Caption(L"");
    EXPECT_EQ(Tick(), L"１行目のファイルが不明です。");

    std::wstring list;
    for (int i = 1; i <= 12; ++i) {
        const std::wstring name = L"f" + std::to_wstring(i) + L".txt";
        if (i < 12) {
            ASSERT_TRUE(Write_Bytes(dir / name, "x"));
        }
        list += (i > 1 ? L"\r\n" : L"") + name;
    }
    form->Setup.Txt_File_List->Set_Caption(list);
    EXPECT_EQ(Tick(), L"１２行目のファイルが不明です。");
    EXPECT_FALSE(Start_Enabled());

    form->Setup.Txt_File_List->Set_Caption(L"f1.txt\r\n\r\nf3.txt");
    EXPECT_EQ(Tick(), L"２行目のファイルが不明です。");

    // A final line break adds no line. The pass lets no message run, so no pass can start inside it.
    form->Setup.Txt_File_List->Set_Caption(L"f1.txt\r\nf2.txt\r\n");
    ASSERT_TRUE(PostMessageW(form->Hwnd(), WM_APP + 19, 0, 0));
    EXPECT_EQ(Tick(), L"");
    EXPECT_TRUE(Start_Enabled());
    MSG waiting;
    EXPECT_TRUE(PeekMessageW(&waiting, form->Hwnd(), WM_APP + 19, WM_APP + 19, PM_REMOVE));

    // The target fault comes first.
    form->Setup.Txt_File_List->Set_Caption(L"missing.txt");
    form->Setup.Txt_Target->Set_Caption(dir / L"none.xlsx");
    EXPECT_EQ(Tick(), L"貼付先Excelファイルがありません。");

    // No folder: no file-list check, whatever the list holds.
    form->Setup.Txt_Target->Set_Caption(L"新規、空白のブック");
    form->Setup.Txt_Folder->Set_Caption(L"");
    EXPECT_EQ(Tick(), L"");
}

TEST_F(ChecksTest, ChecksRunOnlyOnTheSetupScreen) {
    form->Setup.Txt_Target->Set_Caption(dir / L"none.xlsx");
    form->Keys.Screen_Key = Screen_Keys::Screen_Paste;
    EXPECT_EQ(Tick(), L"");
}

TEST_F(ChecksTest, FixedStringEditsAreCopiedBackAtTheTick) {
    form->Setup.Kotei.Kotei_Data = {L"一つ目", L"\r\n二つ目\r\n本文", L"三つ目"};
    form->Setup.Kotei.Kotei_Max = 2;
    form->List_Process();
    Control& list = *form->Setup.Lst_Kotei_Setup;
    ASSERT_EQ(list.List_Count(), 3);
    EXPECT_EQ(list.List(1), L"二つ目");
    EXPECT_TRUE(form->Setup.Cmd_Kotei_Sort[0]->Enabled());

    list.Set_List_Index(0);
    EXPECT_EQ(form->Setup.Kotei.Kotei_Index, 0);
    EXPECT_EQ(form->Setup.Txt_Kotei->Caption(), L"一つ目");
    EXPECT_TRUE(form->Setup.Cmd_Kotei_Delete->Enabled());
    EXPECT_FALSE(form->Setup.Cmd_Kotei_Up->Enabled());
    EXPECT_TRUE(form->Setup.Cmd_Kotei_Down->Enabled());
    list.Set_List_Index(2);
    EXPECT_TRUE(form->Setup.Cmd_Kotei_Up->Enabled());
    EXPECT_FALSE(form->Setup.Cmd_Kotei_Down->Enabled());

    form->Setup.Txt_Kotei->Set_Caption(L"\r\n変更後\r\n続き");
    Tick();
    EXPECT_EQ(form->Setup.Kotei.Kotei_Data[2], L"\r\n変更後\r\n続き");
    EXPECT_EQ(list.List(2), L"変更後");
    EXPECT_EQ(list.List_Index(), 2);
}

// Paths of 300 characters: the list built in sub-folder mode, the checks, the target and the open
// action all reach the file.
TEST_F(ChecksTest, LongPathsAreFoundWhereverTheyAreUsed) {
    std::wstring file = dir.Path();
    for (wchar_t c : {L'a', L'b', L'c'}) {
        file += L"\\" + std::wstring(100, c);
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + file).c_str(), nullptr));
    }
    file += L"\\長い名前.txt";
    ASSERT_TRUE(Write_Bytes(L"\\\\?\\" + file, "x"));
    form->Setup.Txt_Folder->Set_Caption(dir.Path());
    form->Setup.Txt_Target->Set_Caption(file);
    form->Setup.Che_Sub_Folder->Set_Value(1);  // builds the list at once
    const std::wstring line = file.substr(dir.Path().size());
    EXPECT_EQ(form->Setup.Txt_File_List->Caption(), line);
    EXPECT_EQ(Tick(), L"");
    EXPECT_EQ(Classify_File_Line(dir.Path(), line).Kind, File_Line_Kind::Other);
}

// The buttons that save or use the file list wait for the whole list, then get their state back.
TEST_F(ChecksTest, ListReadersAreDisabledWhileTheListIsBuilt) {
    ASSERT_TRUE(Write_Bytes(dir / L"b.txt", "x") && Write_Bytes(dir / L"a.txt", "x"));
    Control &start = (*form)(L"Cmd_Update2", 0), &save = (*form)(L"Cmd_Update2", 1);
    start.Set_Enabled(false);  // held back by a fault before the build
    std::vector<bool> usable;
    // Asked again while it runs (the check box clicked), it starts over, still locked.
    ASSERT_TRUE(form->Setup.File_List.Run(*form->Setup.Txt_File_List, {&save, &start}, [&] {
        usable.push_back(save.Enabled() || start.Enabled());
        if (usable.size() == 1) (void)form->Setup.File_List.Restart_If_Running();
        return File_List_Build::Source{dir.Path(), false};
    }));
    EXPECT_EQ(usable, (std::vector<bool>{false, false}));
    EXPECT_EQ(form->Setup.Txt_File_List->Caption(), L"a.txt\r\nb.txt");
    EXPECT_TRUE(save.Enabled());
    EXPECT_FALSE(start.Enabled());
}
