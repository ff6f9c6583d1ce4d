// Broken settings files never stop the program: it starts with what it could read and says when it
// cannot save.
#include <gtest/gtest.h>

#include "main_form_fixture.h"

TEST_F(MainFormTest, StartsWithWhateverTheSettingsFilesHold) {
    ASSERT_TRUE(CreateDirectoryW((dir / L"Para").c_str(), nullptr));
    std::string binary;
    for (int i = 0; i < 5000; ++i) binary.push_back(static_cast<char>(i % 256));
    std::string ten_mb(10u << 20, 'a');
    ASSERT_TRUE(Write_Bytes(dir / L"Para\\Para0_1.txt", binary));
    ASSERT_TRUE(Write_Bytes(dir / L"Para\\Para0_1_T.txt", ten_mb));
    ASSERT_TRUE(Write_Bytes(dir / L"Para\\Para1_1.txt",
                            "\xEF\xBB\xBF"
                            "C:\\フォルダー\r\n 99999999999999999999\r\nextra\r\n"));
    ASSERT_TRUE(Write_Bytes(dir / L"Para\\Para1_2.txt", ""));
    ASSERT_TRUE(CreateDirectoryW((dir / L"Para\\Para1_3.txt").c_str(), nullptr));
    Load();
    CellDrop_F& f = *form;
    EXPECT_TRUE(f.Is_Loaded());
    EXPECT_EQ(f.Setup.Txt_Folder->Caption(), L"C:\\フォルダー");
    EXPECT_EQ(f.Setup.Che_Sub_Folder->Value(), 2);  // out of range: the nearest state
    EXPECT_EQ(SendMessageW(f.Setup.Che_Sub_Folder->Hwnd(), BM_GETCHECK, 0, 0),
              BST_INDETERMINATE);                         // greyed, not ticked
    EXPECT_TRUE(f.Setup.Tb_Rireki_ExcelFile[0].empty());  // longer than any path: left out
    EXPECT_TRUE(messages.empty());

    // Saving writes sound files and names the one it could not write.
    f.Setup.Txt_Target->Set_Caption(L"新規、空白のブック");
    f.Cmd_Update2_Click(1);
    EXPECT_EQ(Read_Bytes(dir / L"Para\\Para0_1.txt"), "");
    EXPECT_EQ(Read_Bytes(dir / L"Para\\Para1_1.txt"), "C:\\\x83t\x83H\x83\x8B\x83_\x81[\r\n 2\r\n");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"設定ファイルを保存できませんでした。\r\n" + (dir / L"Para\\Para1_3.txt"));
    EXPECT_TRUE(Is_Folder(dir / L"Para\\Para1_3.txt"));
}

TEST_F(MainFormTest, UnwritableDataFolderIsReported) {
    ASSERT_TRUE(Write_Bytes(dir / L"RirekiPic", "a file where a folder belongs"));
    Load();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"次のフォルダーを作成できません。設定と履歴は保存されません。\r\n" + (dir / L"RirekiPic"));
    EXPECT_TRUE(form->Is_Loaded());
}
