// Taking back pastes as a demanding user tries it: sheets renamed and deleted, presses while Excel is
// busy, copies that waited together, a large block, formulas, and a paste the user changed since.
#include <algorithm>

#include "paste_run_fixture.h"

namespace {

constexpr int Cmd_Take_Back = ids::Cmd_Control + 14;
const std::wstring Refusal =
    L"貼付のあとで変更されたため、取り消しませんでした。\r\n"
    L"この貼付はそのままにして、その前の貼付を取り消せるようにしますか？";

}  // namespace

class Take_Back_Test : public Paste_Run_Test {
protected:
    bool Button_Enabled() const { return Is_Enabled(app->Control(Cmd_Take_Back)); }
    bool Wait_Button(bool enabled) const {
        return Wait_Until([&] { return Button_Enabled() == enabled; }, Paste_Timeout_Ms);
    }
    long Calls() const {
        const std::string log = Log();
        return static_cast<long>(std::count(log.begin(), log.end(), '\n'));
    }
    void Paste_And_Wait(const std::wstring& text, const std::wstring& next_cell) {
        ASSERT_TRUE(Copy(text));
        ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == next_cell; }, Paste_Timeout_Ms)) << Readable(next_cell);
    }
    static std::string Readable(const std::wstring& text) { return std::string(text.begin(), text.end()); }
};

TEST_F(Take_Back_Test, ARenamedSheetStillTakesBackAndADeletedSheetsPasteIsDroppedQuietly) {
    Options(1, 0, 0, 0);  // "下へ"
    Start();
    // Nothing pasted yet: greyed, as Excel greys its Undo.
    EXPECT_TRUE(Wait_Button(false));
    Paste_And_Wait(L"kept", L"A2");
    EXPECT_TRUE(Wait_Button(true));
    // The user renames the sheet, adds another, pastes there and deletes it again.
    ASSERT_TRUE(Send(standin::Rename_Sheet, L"Evidence"));
    ASSERT_TRUE(Send(standin::Add_Sheet, L"Scratch"));
    ASSERT_TRUE(Copy(L"scratch"));
    ASSERT_TRUE(Wait_Until([&] { return Cell("A1", L"Scratch") == L"scratch"; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Send(standin::Delete_Sheet, L"Scratch"));

    // One press: the deleted sheet's paste goes without a word, the renamed sheet's comes back.
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    ASSERT_TRUE(
        Wait_Until([&] { return Cell("A1", L"Evidence").empty() && Sheet(L"Evidence")["activeCell"].Text() == L"A1"; },
                   Paste_Timeout_Ms))
        << Read_Bytes(state_file);
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 500));
    EXPECT_TRUE(Wait_Button(false));
}

TEST_F(Take_Back_Test, QueuedCopiesComeBackOneByOneAndPressesWhileExcelIsBusyWaitTheirTurn) {
    Options(1, 0, 0, 0);  // "下へ"
    Start();
    Paste_And_Wait(L"p0", L"A2");
    // Three copies wait for a busy Excel and go in together.
    ASSERT_TRUE(Send(standin::Busy, L"4000"));
    const HWND waiting = app->Control(ids::Label1 + 21);
    for (int i = 1; i <= 3; ++i) {
        // Each copy read before the next replaces it, as a user's copies a moment apart are.
        ASSERT_TRUE(Copy(L"q" + std::to_wstring(i)));
        ASSERT_TRUE(Wait_Until([&] { return Text_Of(waiting).find(std::to_wstring(i) + L"件") != std::wstring::npos; },
                               Paste_Timeout_Ms));
    }
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"A5"; }, Paste_Timeout_Ms)) << Read_Bytes(state_file);
    EXPECT_NE(Log().find("\"member\":\"Resize\""), std::string::npos);
    EXPECT_EQ(Cell("A2"), L"q1");
    // One press, one copy.
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"A4"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("A4"), L"");
    EXPECT_EQ(Cell("A3"), L"q2");

    // The button and the hot key twice while Excel is busy: each takes back one paste, in order.
    ASSERT_TRUE(Send(standin::Busy, L"3000"));
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    ASSERT_TRUE(Press_Keys({VK_CONTROL, VK_MENU, 'Z'}));
    ASSERT_TRUE(Press_Keys({VK_CONTROL, VK_MENU, 'Z'}));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"A1" && Cell("A1").empty(); }, Paste_Timeout_Ms))
        << Read_Bytes(state_file);
    EXPECT_EQ(Cell("A2"), L"");
    EXPECT_EQ(Cell("A3"), L"");
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 500));
    EXPECT_TRUE(app->Process().Is_Running());
    EXPECT_TRUE(Wait_Button(false));
}

TEST_F(Take_Back_Test, ABlockComesBackInFewCallsWithItsFormulaAndARefusalCanBeLeftBehind) {
    Options(1, 0, 2, 0);  // "下へ", one line per cell
    Start();
    ASSERT_TRUE(Send(standin::Type_Cell, L"A1==1+2"));
    ASSERT_TRUE(Send(standin::Type_Cell, L"A2='0123"));
    ASSERT_TRUE(Send(standin::Type_Cell, L"A3=2021/5/31"));
    ASSERT_TRUE(Send(standin::Type_Cell, L"A4=5"));
    std::wstring lines;
    for (int i = 1; i <= 60; ++i) lines += L"line " + std::to_wstring(i) + L"\r\n";
    Paste_And_Wait(lines, L"A61");
    EXPECT_EQ(Cell("A1"), L"line 1");

    const long before = Calls();
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"A1" && Cell("A60").empty(); }, Paste_Timeout_Ms));
    EXPECT_LE(Calls() - before, 12);
    // The formula as a formula, the text as a text, the date and the number as they were.
    EXPECT_EQ(Sheet()["cells"]["A1"]["formula"].Text(), L"=1+2");
    EXPECT_EQ(Cell("A1"), L"3");
    EXPECT_EQ(Cell("A2"), L"0123");
    EXPECT_EQ(Cell_Type("A2"), L"string");
    EXPECT_EQ(Cell_Type("A3"), L"date");
    EXPECT_EQ(Cell_Type("A4"), L"number");
    EXPECT_EQ(Cell("A5"), L"");

    // Two pastes; the user types over the newer: the question, and Yes leaves it as it is.
    Paste_And_Wait(L"x", L"A2");
    Paste_And_Wait(L"y", L"A3");
    ASSERT_TRUE(Send(standin::Type_Cell, L"A2=mine"));
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    const auto box = Wait_For_Message_Box(app->Process().Pid(), Paste_Timeout_Ms);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text, Refusal);
    // The hot key while the question is open opens no second box and takes nothing back.
    ASSERT_TRUE(Press_Keys({VK_CONTROL, VK_MENU, 'Z'}));
    ASSERT_TRUE(Answer_Message_Box(*box, IDYES));
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 500));
    EXPECT_EQ(Cell("A1"), L"x");
    EXPECT_EQ(Cell("A2"), L"mine");
    // The paste before it comes back: the formula once more.
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    ASSERT_TRUE(
        Wait_Until([&] { return Sheet()["cells"]["A1"]["formula"].Text() == L"=1+2" && Active_Cell() == L"A1"; },
                   Paste_Timeout_Ms));
    EXPECT_EQ(Cell("A2"), L"mine");
}
