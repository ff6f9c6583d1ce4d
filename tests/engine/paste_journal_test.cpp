// The take-back journal against the Excel stand-in, reached as the program reaches Excel: what it
// records of a paste, and what a take-back gives back.
#include "paste_journal.h"

#include <gtest/gtest.h>

#include "clipboard_copy.h"
#include "paste_loop.h"
#include "picture_paste.h"
#include "text_paste.h"

namespace {

class Paste_Journal_Test : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(excel.Xl_Create());
        excel.Open_Target(L"");
    }
    void TearDown() override { Let_Go_Of_Excel(excel, journal); }

    Automation_Object Cell(long row, long column) {
        Error_State errors;
        excel.Select_Cell(row, column, errors);
        return excel.Active_Cell(errors);
    }
    std::wstring Read(long row, long column, Cell_Content what = Cell_Content::Value) {
        const Block_Read read = excel.Read_Block(Cell(row, column), what, 1, 1);
        std::wstring text;
        if (read.Cells) (void)read.Cells->front().To_Text(text);
        return text;
    }
    // One text pasted at the cell as the loop pastes it, the active cell moved down after it.
    void Paste_At(long row, const std::wstring& text) {
        (void)Cell(row, 1);
        journal.Begin(excel, 1);
        const Text_Paste_Result pasted = Paste_Text(excel, text, Text_Mode::Breaks_Removed, {}, journal.Start_Cell());
        journal.End(pasted.Ok, pasted.Widths_Before, pasted.Widths_After);
        journal.Step_Done();
    }

    Excel_Session excel;
    Paste_Journal journal;
};

TEST_F(Paste_Journal_Test, ATextBlockGivesBackFormulasTextsAndTheWidthOneCellAtATime) {
    ASSERT_TRUE(excel.Put(Cell(1, 1), Cell_Content::Formula, Variant::Text(L"=1+1")).Ok());
    ASSERT_TRUE(excel.Put(Cell(2, 1), Cell_Content::Value, Variant::Text(L"'0123")).Ok());
    double width_before = 0;
    ASSERT_TRUE(excel.Column_Width(Cell(1, 1), width_before));

    journal.Begin(excel, 2, 1);
    const Text_Paste_Result pasted =
        Paste_Texts(excel, {L"とても長いテキストを一つ目のセルへ", L"b"}, true, {.Widen = true}, journal.Start_Cell());
    journal.End_Each(pasted.Ok, pasted.Widths_Before, pasted.Widths_After);
    journal.Step_Done();
    ASSERT_FALSE(journal.Empty());
    double widened = 0;
    ASSERT_TRUE(excel.Column_Width(Cell(1, 1), widened));
    EXPECT_GT(widened, width_before);

    // The newest copy first: A2 holds its text again, as a text.
    EXPECT_EQ(journal.Take_Back_Last(excel), Paste_Journal::Take_Back::Done);
    EXPECT_EQ(Read(2, 1), L"0123");
    EXPECT_EQ(Read(1, 1, Cell_Content::Formula), L"とても長いテキストを一つ目のセルへ");
    // Then the first: its formula back, the column at its width, the active cell where it began.
    EXPECT_EQ(journal.Take_Back_Last(excel), Paste_Journal::Take_Back::Done);
    EXPECT_EQ(Read(1, 1, Cell_Content::Formula), L"=1+1");
    double width = 0;
    ASSERT_TRUE(excel.Column_Width(Cell(1, 1), width));
    EXPECT_EQ(width, width_before);
    EXPECT_TRUE(journal.Empty());
}

TEST_F(Paste_Journal_Test, APictureIsDeletedWhenTakenBack) {
    (void)Cell(3, 2);
    ASSERT_TRUE(Copy_Picture(40, 30));
    journal.Begin(excel, 0);
    ASSERT_TRUE(Paste_Picture_Now(excel, Picture_Format::Png));
    const Automation_Object picture = excel.Selection().Object();
    journal.Picture_Added(picture);
    journal.End(true);
    journal.Step_Done();
    ASSERT_TRUE(excel.Name_Of(picture).Ok());
    (void)Cell(9, 9);

    EXPECT_EQ(journal.Take_Back_Last(excel), Paste_Journal::Take_Back::Done);
    EXPECT_FALSE(excel.Name_Of(picture).Ok());  // deleted
    long row = 0, column = 0;
    ASSERT_TRUE(excel.Active_Cell_Position(row, column));
    EXPECT_EQ(row * 100 + column, 302);
}

TEST_F(Paste_Journal_Test, APasteTheUserChangedIsRefusedUntilDroppedThenOlderOnesFollow) {
    Paste_At(1, L"one");
    Paste_At(2, L"two");
    Paste_At(3, L"three");
    ASSERT_TRUE(excel.Put(Cell(2, 1), Cell_Content::Value, Variant::Text(L"mine")).Ok());

    EXPECT_EQ(journal.Take_Back_Last(excel), Paste_Journal::Take_Back::Done);
    EXPECT_EQ(Read(3, 1), L"");
    EXPECT_EQ(journal.Take_Back_Last(excel), Paste_Journal::Take_Back::Changed);
    EXPECT_EQ(Read(2, 1), L"mine");  // untouched
    EXPECT_EQ(journal.Take_Back_Last(excel), Paste_Journal::Take_Back::Changed);
    journal.Drop_Refused();
    EXPECT_EQ(journal.Take_Back_Last(excel), Paste_Journal::Take_Back::Done);
    EXPECT_EQ(Read(1, 1), L"");
    EXPECT_EQ(Read(2, 1), L"mine");
    EXPECT_TRUE(journal.Empty());
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Excel is reached from a single-threaded apartment, as the program's window thread does.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
