// The option groups of the paste-control screen and their two files in the program folder.
#include <gtest/gtest.h>

#include "main_form_fixture.h"

struct Paste_Run_Test_Access {
    static Clip_State& Clip(Paste_Run& run) { return run.clip_; }
};

namespace {

class OptionsTest : public MainFormTest {
protected:
    void SetUp() override {
        Load();
        // As the start button does: the panels are disabled while the paste screen is prepared.
        form->Pic_Control_Enabled(false);
        form->Keys.Screen_Key = Screen_Keys::Screen_Paste;
        form->List_Process();
        form->Pic_Control_Enabled(true);
    }
    Control& Option(int index) { return (*form)(L"Opt_Joken", index); }
};

}  // namespace

TEST_F(OptionsTest, MissingFilesChooseTheFirstOfEachGroupWithoutWritingBack) {
    form->Paste.Pic_Control_Paste->Set_Enabled(false);
    form->Paste.Text_Update_ツール_CellDrop2(L"R");
    for (int index : {2, 7, 4, 16}) EXPECT_EQ(Option(index).Value(), 1) << index;
    EXPECT_EQ(form->Paste.Options.Move, Move_Mode::Right);
    EXPECT_EQ(form->Paste.Options.Picture, Picture_Format::Excel_Paste);
    EXPECT_EQ(form->Paste.Options.Text, Text_Mode::Breaks_Removed);
    EXPECT_EQ(form->Paste.Options.Size, Picture_Size::As_Pasted);
    EXPECT_EQ(Read_Bytes(dir / L"Para2_1.txt"), "<missing>");
}

TEST_F(OptionsTest, ChoosingAnOptionWritesBothFilesAtOnce) {
    form->Paste.Pic_Control_Paste->Set_Enabled(false);
    form->Paste.Text_Update_ツール_CellDrop2(L"R");
    form->Paste.Pic_Control_Paste->Set_Enabled(true);
    (*form)(L"Che_Control", 1).Set_Value(1);  // a check box alone writes nothing
    EXPECT_EQ(Read_Bytes(dir / L"Para2_2.txt"), "<missing>");
    Option(3).Set_Value(1);  // "下へ"
    EXPECT_EQ(form->Paste.Options.Move, Move_Mode::Down);
    EXPECT_EQ(Read_Bytes(dir / L"Para2_1.txt"), " 1\r\n 0\r\n 0\r\n 0\r\n");
    // The fourth: no time before pictures; then no numbers, no move past pictures, the next number 1.
    EXPECT_EQ(Read_Bytes(dir / L"Para2_2.txt"), " 0\r\n 1\r\n 0\r\n 0\r\n 0\r\n 0\r\n 1\r\n");
    EXPECT_EQ(Read_Bytes(dir / L"Para\\Para2_1.txt"), "<missing>");
}

TEST_F(OptionsTest, ReadsPositionsAndLeavesAGroupAsItWasForOnesOutsideIt) {
    ASSERT_TRUE(Write_Bytes(dir / L"Para2_1.txt", " 1\r\n 3\r\n 2\r\n 1\r\n"));
    ASSERT_TRUE(Write_Bytes(dir / L"Para2_2.txt", " 1\r\n 0\r\n 1\r\n"));
    form->Paste.Pic_Control_Paste->Set_Enabled(false);
    form->Paste.Text_Update_ツール_CellDrop2(L"R");
    EXPECT_EQ(form->Paste.Options.Move, Move_Mode::Down);
    EXPECT_EQ(form->Paste.Options.Picture, Picture_Format::Gif);
    EXPECT_EQ(form->Paste.Options.Text, Text_Mode::Row_Per_Line);
    EXPECT_EQ(form->Paste.Options.Size, Picture_Size::Fit_Inside);
    EXPECT_EQ((*form)(L"Che_Control", 2).Value(), 1);

    // Positions outside their group leave its choice as it was; the other lines still apply.
    ASSERT_TRUE(Write_Bytes(dir / L"Para2_1.txt", " 0\r\n 9\r\n 0\r\n12345678901234567890\r\n"));
    form->Paste.Text_Update_ツール_CellDrop2(L"R");
    EXPECT_EQ(form->Paste.Options.Move, Move_Mode::Right);
    EXPECT_EQ(form->Paste.Options.Picture, Picture_Format::Gif);
    EXPECT_EQ(form->Paste.Options.Text, Text_Mode::Breaks_Removed);
    EXPECT_EQ(form->Paste.Options.Size, Picture_Size::Fit_Inside);
}

// Every option button gives the run the choice its caption names.
TEST_F(OptionsTest, EachOptionChoosesWhatItsCaptionSays) {
    form->Paste.Pic_Control_Paste->Set_Enabled(false);
    form->Paste.Text_Update_ツール_CellDrop2(L"R");
    form->Paste.Pic_Control_Paste->Set_Enabled(true);
    const std::pair<const wchar_t*, Move_Mode> moves[] = {{L"右へ", Move_Mode::Right}, {L"下へ", Move_Mode::Down}};
    for (int i = 0; i < 2; ++i) {
        Option(2 + i).Set_Value(1);
        EXPECT_EQ(Option(2 + i).Caption(), moves[i].first);
        EXPECT_EQ(form->Paste.Options.Move, moves[i].second) << i;
    }
    const std::pair<const wchar_t*, Text_Mode> texts[] = {{L"削除→１個のセルに貼付", Text_Mode::Breaks_Removed},
                                                          {L"セル内で改行→１個のセルに貼付", Text_Mode::Breaks_In_Cell},
                                                          {L"改行を基準に縦の複数セルに貼付", Text_Mode::Row_Per_Line}};
    for (int i = 0; i < 3; ++i) {
        Option(4 + i).Set_Value(1);
        EXPECT_EQ(Option(4 + i).Caption(), texts[i].first);
        EXPECT_EQ(form->Paste.Options.Text, texts[i].second) << i;
    }
    using F = Picture_Format;
    const std::pair<const wchar_t*, F> formats[] = {{L"なし", F::Excel_Paste},
                                                    {L"図 (PNG)", F::Png},
                                                    {L"図 (JPEG)", F::Jpeg},
                                                    {L"図 (GIF)", F::Gif},
                                                    {L"図 (ﾒﾀﾌｧｲﾙ)", F::Metafile},
                                                    {L"ビットマップ", F::Bitmap},
                                                    {L"Microsoft Office 描画オブジェクト", F::Office_Drawing},
                                                    {L"画像 (SVG)", F::Svg},
                                                    {L"ﾎｰﾑﾍﾟｰｼﾞ", F::Html}};
    for (int i = 0; i < 9; ++i) {
        Option(7 + i).Set_Value(1);
        EXPECT_EQ(Option(7 + i).Caption(), formats[i].first);
        EXPECT_EQ(form->Paste.Options.Picture, formats[i].second) << i;
    }
    const std::pair<const wchar_t*, Picture_Size> sizes[] = {{L"なし", Picture_Size::As_Pasted},
                                                             {L"セルに収まる大きさ", Picture_Size::Fit_Inside},
                                                             {L"セルの幅に合わせる", Picture_Size::Cell_Width},
                                                             {L"セルの高さに合わせる", Picture_Size::Cell_Height}};
    for (int i = 0; i < 4; ++i) {
        Option(16 + i).Set_Value(1);
        EXPECT_EQ(Option(16 + i).Caption(), sizes[i].first);
        EXPECT_EQ(form->Paste.Options.Size, sizes[i].second) << i;
    }
}

TEST_F(OptionsTest, PastingOffDisablesTheOtherGroups) {
    Option(1).Set_Value(1);  // "する"
    EXPECT_EQ(form->Paste.Options.Paste_On, 1);
    EXPECT_TRUE(Option(12).Enabled());
    Option(0).Set_Value(1);  // "しない"
    EXPECT_EQ(form->Paste.Options.Paste_On, 0);
    for (int index = 2; index <= 19; ++index) EXPECT_FALSE(Option(index).Enabled()) << index;
    for (int slot = 0; slot < 3; ++slot) EXPECT_FALSE(form->Paste.Che_Table_Text[slot]->Enabled());
    EXPECT_FALSE(form->Paste.Pic_Container_Move->Enabled());
    EXPECT_TRUE(form->Paste.Pic_Container_Paste->Enabled());
    EXPECT_TRUE(Option(1).Enabled());
    EXPECT_TRUE(Option(0).Strikethrough() == false);
    EXPECT_TRUE(Option(1).Strikethrough());
}

TEST_F(OptionsTest, ChoosingPasteOnEmptiesTheClipboard) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 8);
    memcpy(GlobalLock(mem), L"old", 8);
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
    Paste_Run_Test_Access::Clip(form->Run).Clip_Text_Last = L"old";
    Option(1).Set_Value(1);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(form->Run.Clip().Clip_Text_Last, L"");
}
