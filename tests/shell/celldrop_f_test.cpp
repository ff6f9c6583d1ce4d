// The main form in this process, with its data folders in a fresh folder per test.
#include "celldrop_f.h"

#include <gtest/gtest.h>

#include "celldrop_version.h"
#include "main_form_fixture.h"

TEST_F(MainFormTest, FirstStartMakesTheFoldersAndShowsTheSetupScreen) {
    ASSERT_TRUE(CreateDirectoryW((dir / L"Kotei").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(dir / L"Kotei\\Kotei000.txt", "keep"));
    Load();
    for (const wchar_t* name : {L"Para", L"RirekiText", L"RirekiPic", L"Kotei"})
        EXPECT_TRUE(Is_Folder(dir / name)) << name;
    EXPECT_EQ(Read_Bytes(dir / L"Kotei\\Kotei000.txt"), "keep");
    EXPECT_EQ(form->Path_Para, dir / L"Para");
    EXPECT_EQ(form->Path_RirekiPic, dir / L"RirekiPic");

    CellDrop_F& f = *form;
    EXPECT_EQ(f.Caption(), L"Excelへの貼付コントロール");
    EXPECT_EQ(f(L"Label1", 16).Caption(), L"バージョン " CELLDROP_VERSION_TEXT);
    {
        // The version shows whole in its label's font.
        const HWND label = f(L"Label1", 16).Hwnd();
        const std::wstring text = f(L"Label1", 16).Caption();
        HDC dc = GetDC(label);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
        SIZE size{};
        ASSERT_TRUE(GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size));
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        RECT client{};
        GetClientRect(label, &client);
        EXPECT_LE(size.cx, client.right);
    }
    EXPECT_EQ(f.Setup.Txt_Target->Caption(), L"新規、空白のブック");
    EXPECT_TRUE(f.Setup.Txt_Folder->Caption().empty());
    EXPECT_TRUE(f.Setup.Pic_Control_Setup->Visible());
    EXPECT_FALSE(f.Paste.Pic_Control_Paste->Visible());
    EXPECT_EQ(f(L"Lbl_Error_Check").Caption(), L"");
    EXPECT_TRUE(IsWindowVisible(f.Hwnd()));
    EXPECT_TRUE(f.Enabled());

    // The first validation pass ran as the window showed: the start button is usable at once.
    EXPECT_TRUE(f(L"Cmd_Update2", 0).Enabled());
    EXPECT_FALSE(f(L"Lbl_Error_Check").Visible());
    EXPECT_FALSE(f.Setup.Flg_Check);
    EXPECT_TRUE(f.Setup.Flg_Blink);
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainFormTest, RolesAreBoundOnceEach) {
    Load();
    CellDrop_F& f = *form;
    EXPECT_EQ(f.Registry.Object_Count(), 68);
    EXPECT_EQ(f.Setup.Tim_エラーチェック, &f(L"Timer1", 0));
    EXPECT_EQ(f.Paste.Cmd_Take_Back, &f(L"Cmd_Control", 14));
    EXPECT_EQ(f.Paste.Che_Picture_Caption, &f(L"Che_Control", 4));
    EXPECT_EQ(f.Paste.Txt_Picture_Number, &f(L"Txt_File", 2));
    EXPECT_EQ(f.Paste.Cmd_Paste_History, &f(L"Cmd_Control", 16));
    EXPECT_EQ(f.Paste.Label1_Waiting, &f(L"Label1", 21));
    EXPECT_EQ(f.Paste.Opt_Table_Picture[8], &f(L"Opt_Joken", 15));
    EXPECT_EQ(f.Paste.Opt_Table_Zoom[0], &f(L"Opt_Joken", 16));
    EXPECT_EQ(f.Paste.Pic_Container_Picture[1], &f(L"Pic_Container", 5));
    EXPECT_EQ(f.Setup.Cmd_Kotei_Sort[1], &f(L"Cmd_Control", 13));
    EXPECT_EQ(f.Paste.Che_Table_Text[2], &f(L"Che_Control", 2));

    // A control given a second role is refused, and the role stays unbound.
    Control* second_role = nullptr;
    f.Registry.Set_Object(second_role, f(L"Opt_Joken", 3), true);
    EXPECT_EQ(second_role, nullptr);
    // A role bound twice is refused.
    f.Registry.Set_Object(f.Paste.Label1_Folder, f(L"Label1", 0), true);
    EXPECT_EQ(f.Paste.Label1_Folder, &f(L"Label1", 9));
    EXPECT_EQ(messages,
              (std::vector<std::wstring>{L"オブジェクト名＝Opt_Joken\r\nインデックス＝3\r\nの設定が重複してます。",
                                         L"オブジェクト名＝Label1\r\nが既に設定されてます。"}));
    EXPECT_EQ(f.Registry.Object_Count(), 68);
}

TEST_F(MainFormTest, OptionTableSearches) {
    Load();
    CellDrop_F& f = *form;
    f.Paste.Object_Table_To_IndexSearch(f.Paste.Opt_Table_Picture, 12);
    EXPECT_EQ(f.Paste.Search_Position, 5);
    f.Paste.Object_Table_To_IndexSearch(f.Paste.Opt_Table_Picture, 3);
    EXPECT_EQ(f.Paste.Search_Position, -1);
    EXPECT_EQ(Paste_Screen::Object_TableOpt_To_Index(f.Paste.Opt_Table_Move), -1);
    f(L"Opt_Joken", 3).Set_Value(1);
    EXPECT_EQ(Paste_Screen::Object_TableOpt_To_Index(f.Paste.Opt_Table_Move), 1);
}

TEST_F(MainFormTest, PictureGridOfThirtyCells) {
    Load();
    CellDrop_F& f = *form;
    const float size = f.Paste.Pic_Cell_Size;
    EXPECT_NEAR(size, f(L"Pic_Scroll").Width() / 5, 0.01);
    EXPECT_GT(size, 600);
    EXPECT_EQ(f.Find(L"Img_Pic", 30), nullptr);
    for (int n = 0; n < 30; ++n) {
        const Control& cell = f(L"Img_Pic", n);
        EXPECT_NEAR(cell.Left(), (n % 5) * size, 0.5) << n;
        EXPECT_NEAR(cell.Top(), (n / 5) * size, 0.5) << n;
        EXPECT_NEAR(cell.Width(), size, 0.01);
        EXPECT_EQ(cell.Id(), 2000 + n);
    }
}

TEST_F(MainFormTest, SaveOnlyWritesTheSetupFilesAndTheyComeBack) {
    Load();
    CellDrop_F& f = *form;
    ASSERT_TRUE(Write_Bytes(dir / L"book.xlsx", "x"));
    f.Setup.Txt_Target->Set_Caption(dir / L"book.xlsx");
    f.Setup.Txt_Folder->Set_Caption(L"C:\\資料");
    f.Setup.Che_Sub_Folder->Set_Value(1);
    f.Setup.Txt_File_List->Set_Caption(L"a.txt\r\n\r\nb.txt");
    f.Setup.Txt_Url_List->Set_Caption(L"https://example.invalid/");
    f.Cmd_Update2_Click(1);

    EXPECT_EQ(Read_Bytes(dir / L"Para\\Para1_1.txt"), "C:\\\x8E\x91\x97\xBF\r\n 1\r\n");
    EXPECT_EQ(Read_Bytes(dir / L"Para\\Para1_2.txt"), "a.txt\r\n\r\nb.txt\r\n");

    CellDrop_F again(dir.Path());
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Setup.Txt_Target->Caption(), dir / L"book.xlsx");
    EXPECT_EQ(again.Setup.Tb_Rireki_ExcelFile[0], dir / L"book.xlsx");
    EXPECT_EQ(again.Setup.Txt_Folder->Caption(), L"C:\\資料");
    EXPECT_EQ(again.Setup.Che_Sub_Folder->Value(), 1);
    EXPECT_EQ(again.Setup.Txt_File_List->Caption(), L"a.txt\r\n\r\nb.txt");
    EXPECT_EQ(again.Setup.Txt_Url_List->Caption(), L"https://example.invalid/");
    DestroyWindow(again.Hwnd());
}

TEST_F(MainFormTest, PasteScreenShowsTheTargetAsALabelAndBack) {
    Load();
    CellDrop_F& f = *form;
    f.Keys.Screen_Key = Screen_Keys::Screen_Paste;
    f.List_Process();
    EXPECT_FALSE(f.Setup.Txt_Target->Visible());
    EXPECT_TRUE(f.Paste.Label1_Target->Visible());
    EXPECT_EQ(f.Paste.Label1_Target->Caption(), L"新規、空白のブック");
    EXPECT_FALSE(f(L"Cmd_Cancel").Enabled());
    EXPECT_FALSE(f.Setup.Cmd_Target_Pc->Enabled());
    EXPECT_TRUE(f.Paste.Pic_Control_Paste->Visible());
    EXPECT_FALSE(f.Setup.Pic_Control_Setup->Visible());
    // Options are drawn by the appearance rule on this screen.
    EXPECT_TRUE(f(L"Opt_Joken", 0).Strikethrough());

    f.Cmd_Control_Click(4);  // "貼付終了"
    EXPECT_TRUE(f.Paste.Flg_Stop);
    EXPECT_EQ(f.Keys.Screen_Key, L"CellDrop");
    EXPECT_TRUE(f.Setup.Txt_Target->Visible());
    EXPECT_TRUE(f(L"Cmd_Cancel").Enabled());
    EXPECT_TRUE(f.Setup.Pic_Control_Setup->Visible());
}

TEST_F(MainFormTest, EmptiedTargetBoxGetsTheNewWorkbookChoiceButTheFolderBoxStaysEmpty) {
    Load();
    CellDrop_F& f = *form;
    f.Setup.Txt_Target->Set_Caption(L"");
    EXPECT_EQ(f.Setup.Txt_Target->Caption(), L"新規、空白のブック");
    f.Setup.Txt_Folder->Set_Caption(L"C:\\x");
    f.Setup.Txt_Folder->Set_Caption(L"");
    EXPECT_EQ(f.Setup.Txt_Folder->Caption(), L"");
}
