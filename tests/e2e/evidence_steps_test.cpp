// Test evidence in steps: numbered pictures that say when and where they were taken, pictures that
// never cover one another, a sheet per test case, and history entries pasted again in order.
#include "paste_run_fixture.h"

namespace {

constexpr int Che_Number = ids::Che_Control + 5;
constexpr int Txt_Number = ids::Txt_File + 2;
constexpr int Che_Move_Past = ids::Che_Control + 6;
constexpr int Cmd_New_Sheet = ids::Cmd_Control + 15;
constexpr int Cmd_Paste_History = ids::Cmd_Control + 16;
constexpr int Cmd_Take_Back = ids::Cmd_Control + 14;
constexpr int Cmd_Stop = ids::Cmd_Control + 4;

// A window of this test in front, as the window a screenshot is taken of.
class Front_Window {
public:
    Front_Window() {
        window_ = CreateWindowExW(0, L"STATIC", L"受注画面", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
        if (window_) SetForegroundWindow(window_);
    }
    ~Front_Window() {
        if (window_) DestroyWindow(window_);
    }
    bool In_Front() const { return window_ && GetForegroundWindow() == window_; }

private:
    HWND window_ = nullptr;
};

std::wstring Program_File() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full = path;
    return full.substr(full.find_last_of(L'\\') + 1);
}

}  // namespace

class Evidence_Steps_Test : public Paste_Run_Test {
protected:
    std::vector<Json_Value> Shapes(const std::wstring& sheet = L"Sheet1") const {
        return Sheet(sheet)["shapes"].Items();
    }
    std::wstring Active_Sheet_Name() const {
        const Json_Value state = State();  // held: the loop walks its items
        for (const Json_Value& book : state["workbooks"].Items())
            if (book["name"].Text() == state["activeWorkbook"].Text()) return book["activeSheet"].Text();
        return L"";
    }
};

TEST_F(Evidence_Steps_Test, NumberedPicturesMovePastEachOtherOntoCaseSheetsAndHistoryPastesInOrder) {
    Options(1, 5, 0, 0);  // "下へ", "ビットマップ"
    // Time, numbers and the move past pictures on; the next number 1.
    ASSERT_TRUE(Write_Bytes(folder / L"Para2_2.txt", Number_Lines({0, 0, 0, 1, 1, 1, 1})));
    Start();
    ASSERT_EQ(Text_Of(app->Control(ids::Label1 + 20)), L"");  // Ctrl+Alt+P, Z and N are held
    {
        // The window a screenshot is taken of, in front while the two are copied.
        const Front_Window front;
        ASSERT_TRUE(front.In_Front());

        // 200 x 110 pixels at A2 reach into row 6 (its bottom at 101.25 points): the next caption goes to A7.
        ASSERT_TRUE(Copy_Picture(200, 110));
        ASSERT_TRUE(Wait_Until([&] { return Shapes().size() == 1 && Active_Cell() == L"A7"; }, Paste_Timeout_Ms));
        const std::wstring first = Cell("A1");
        EXPECT_TRUE(first.starts_with(L"No.1 ")) << first.size();
        EXPECT_TRUE(first.ends_with(L" 受注画面"));
        EXPECT_EQ(Shapes()[0]["topLeftCell"].Text(), L"A2");
        EXPECT_EQ(Shapes()[0]["alternativeText"].Text(), first + L" (" + Program_File() + L")");
        ASSERT_TRUE(Copy_Picture(200, 110));
        ASSERT_TRUE(Wait_Until([&] { return Shapes().size() == 2 && Active_Cell() == L"A13"; }, Paste_Timeout_Ms));
        EXPECT_TRUE(Cell("A7").starts_with(L"No.2 "));
        EXPECT_TRUE(Shapes()[1]["alternativeText"].Text().starts_with(L"No.2 "));
        EXPECT_EQ(Text_Of(app->Control(Txt_Number)), L"3");
    }

    // Taken back, the second picture gives its number back.
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    ASSERT_TRUE(Wait_Until([&] { return Shapes().size() == 1 && Active_Cell() == L"A7"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("A7"), L"");
    EXPECT_TRUE(Wait_Until([&] { return Text_Of(app->Control(Txt_Number)) == L"2"; }, Paste_Timeout_Ms));

    // A new case: its own sheet right after, numbered from 1 at its A1.
    ASSERT_TRUE(Click(app->Control(Cmd_New_Sheet)));
    ASSERT_TRUE(Wait_Until([&] { return Active_Sheet_Name() == L"ケース1"; }, Paste_Timeout_Ms));
    EXPECT_TRUE(Wait_Until([&] { return Text_Of(app->Control(Txt_Number)) == L"1"; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy_Picture(20, 10));
    ASSERT_TRUE(Wait_Until([&] { return Shapes(L"ケース1").size() == 1; }, Paste_Timeout_Ms));
    EXPECT_TRUE(Cell("A1", L"ケース1").starts_with(L"No.1 "));
    EXPECT_EQ(Shapes()[0]["alternativeText"].Text().substr(0, 5), L"No.1 ");  // Sheet1 as it was

    // Three texts, then the three again from the history, oldest first, each taken back on its own.
    for (const wchar_t* text : {L"h1", L"h2", L"h3"}) {
        ASSERT_TRUE(Copy(text));
        ASSERT_TRUE(Wait_Until(
            [&] {
                const std::vector<std::wstring> items = List_Items(app->Control(ids::Lst_Select + 2));
                return !items.empty() && items.front() == text;
            },
            Paste_Timeout_Ms));
    }
    const std::vector<std::wstring> history = List_Items(app->Control(ids::Lst_Select + 2));
    const std::wstring after = Sheet(L"ケース1")["activeCell"].Text();
    ASSERT_EQ(after, L"A6");  // the small picture at A2 ends in row 2: A3, A4, A5 hold the texts
    ASSERT_TRUE(Select_List_Items(app->Control(ids::Lst_Select + 2), {0, 1, 2}));
    ASSERT_TRUE(Click(app->Control(Cmd_Paste_History)));
    ASSERT_TRUE(Wait_Until([&] { return Cell("A8", L"ケース1") == L"h3"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("A6", L"ケース1"), L"h1");
    EXPECT_EQ(Cell("A7", L"ケース1"), L"h2");
    EXPECT_EQ(List_Items(app->Control(ids::Lst_Select + 2)), history);
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    ASSERT_TRUE(Wait_Until([&] { return Cell("A8", L"ケース1").empty(); }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("A7", L"ケース1"), L"h2");

    // The next number is kept for the next run.
    EXPECT_TRUE(Wait_Until(
        [&] {
            return Read_Bytes(folder / L"Para2_2.txt") == Number_Lines({0, 0, 0, 1, 1, 1, 2});
        },
        Paste_Timeout_Ms));

    // Ctrl+Alt+N from wherever the user works: the case after the highest, numbered from 1 again.
    ASSERT_TRUE(Press_Keys({VK_CONTROL, VK_MENU, 'N'}));
    ASSERT_TRUE(Wait_Until([&] { return Active_Sheet_Name() == L"ケース2"; }, Paste_Timeout_Ms));
    EXPECT_TRUE(Wait_Until([&] { return Text_Of(app->Control(Txt_Number)) == L"1"; }, Paste_Timeout_Ms));
}

TEST_F(Evidence_Steps_Test, AnEarlierSettingsFileReadsAsOffAndTheStepsSurviveARestart) {
    Checks(1, 0, 0);  // three lines, as the first versions wrote
    Start();
    EXPECT_EQ(SendMessageW(app->Control(Che_Number), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(app->Control(Che_Move_Past), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(Text_Of(app->Control(Txt_Number)), L"1");
    ASSERT_TRUE(Click(app->Control(Che_Number)));
    ASSERT_TRUE(Click(app->Control(Che_Move_Past)));
    ASSERT_TRUE(Type_Text(app->Control(Txt_Number), L"7"));
    ASSERT_TRUE(Click(app->Control(Cmd_Stop)));
    ASSERT_TRUE(Back_On_Setup_Screen());
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Cancel)));
    ASSERT_TRUE(app->Process().Wait_For_Exit(Paste_Timeout_Ms));
    EXPECT_EQ(Read_Bytes(folder / L"Para2_2.txt"), Number_Lines({1, 0, 0, 0, 1, 1, 7}));

    Start();
    EXPECT_EQ(SendMessageW(app->Control(Che_Number), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(app->Control(Che_Move_Past), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text_Of(app->Control(Txt_Number)), L"7");
    ASSERT_TRUE(Copy_Picture(20, 10));
    ASSERT_TRUE(Wait_Until([&] { return Cell("A1").starts_with(L"No.7"); }, Paste_Timeout_Ms));
}
