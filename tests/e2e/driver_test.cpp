// The end-to-end driver against a small fixture program: if these pass, a failing scenario test
// points at the program under test, not at the driver.
#include "driver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "temp_folder.h"

namespace {

constexpr wchar_t Caption[] = L"E2Eフィクスチャ";
constexpr int Start_Timeout_Ms = 15000;
constexpr int Reaction_Timeout_Ms = 5000;

constexpr int Id_Press = 1000;
constexpr int Id_Disabled = 1001;
constexpr int Id_Label = 1100;
constexpr int Id_Edit = 1200;
constexpr int Id_Exit = 100;

// A fresh copy of the fixture program, started from a program folder of its own.
class Driver_Test : public testing::Test {
protected:
    void SetUp() override {
        std::wstring failure;
        app_ = App_Process::Start(Wine_Path(E2E_FIXTURE_APP), folder_.Path(), &failure);
        ASSERT_TRUE(app_) << failure;
        main_ = app_->Wait_For_Main_Window(Caption, Start_Timeout_Ms);
        ASSERT_NE(main_, nullptr) << "no main window";
    }

    HWND Control(int id) const { return Find_Control(main_, id); }

    Temp_Folder folder_;
    std::optional<App_Process> app_;
    HWND main_ = nullptr;
};

const Control_Info* With_Id(const std::vector<Control_Info>& controls, int id) {
    const auto it = std::find_if(controls.begin(), controls.end(), [&](const Control_Info& c) { return c.Id == id; });
    return it == controls.end() ? nullptr : &*it;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom && inner.right > inner.left && inner.bottom > inner.top;
}

}  // namespace

TEST_F(Driver_Test, StartsFromItsOwnProgramFolder) {
    EXPECT_EQ(app_->Exe_Path(), folder_ / L"e2e_fixture_app.exe");
    EXPECT_NE(GetFileAttributesW(app_->Exe_Path().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(app_->Is_Running());
    EXPECT_EQ(app_->Exit_Code(), STILL_ACTIVE);
    // The caption must match exactly, not as a prefix.
    EXPECT_EQ(app_->Wait_For_Main_Window(L"E2Eフィクスチ", 0), nullptr);
}

TEST_F(Driver_Test, ListsControlsInsideThePanelWithClassStateAndText) {
    const std::vector<Control_Info> controls = List_Controls(main_);
    RECT main_rect;
    ASSERT_TRUE(GetWindowRect(main_, &main_rect));

    struct Expected {
        int Id;
        const wchar_t* Class_Name;
        const wchar_t* Text;
        bool Enabled;
    };
    const Expected expected[] = {
        {Id_Press, L"Button", L"押す", true},   {Id_Disabled, L"Button", L"無効", false}, {Id_Edit, L"Edit", L"", true},
        {Id_Label, L"Static", L"ラベル", true}, {Id_Exit, L"Button", L"終了", true},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.Id);
        const Control_Info* info = With_Id(controls, e.Id);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(_wcsicmp(info->Class_Name.c_str(), e.Class_Name), 0) << info->Class_Name;
        EXPECT_EQ(info->Text, e.Text);
        EXPECT_EQ(info->Enabled, e.Enabled);
        EXPECT_TRUE(info->Visible);
        EXPECT_TRUE(Inside(info->Rect, main_rect));
        // The controls sit inside the panel, not directly in the main window.
        EXPECT_NE(GetParent(info->Hwnd), main_);
        EXPECT_EQ(Find_Control(main_, e.Id), info->Hwnd);
    }
    EXPECT_EQ(controls.size(), std::size(expected) + 1) << "the five controls and their panel";

    const auto by_text = Find_By_Text(main_, L"終了");
    ASSERT_TRUE(by_text);
    EXPECT_EQ(by_text->Id, Id_Exit);
    EXPECT_FALSE(Find_By_Text(main_, L"終"));
    EXPECT_EQ(Find_Control(main_, 4242), nullptr);
}

TEST_F(Driver_Test, TypedTextReachesTheProgram) {
    const HWND edit = Control(Id_Edit);
    const HWND label = Control(Id_Label);
    const std::wstring texts[] = {L"日本語の入力 ①②", L"", std::wstring(3000, L'あ')};
    for (const std::wstring& text : texts) {
        ASSERT_TRUE(Type_Text(edit, text));
        EXPECT_EQ(Text_Of(edit), text);
        EXPECT_TRUE(Wait_Until([&] { return Text_Of(label) == text; }, Reaction_Timeout_Ms))
            << "label shows " << Text_Of(label).size() << " characters";
    }
}

TEST_F(Driver_Test, DisabledControlsAreNotActedOn) {
    const HWND disabled = Control(Id_Disabled);
    const HWND edit = Control(Id_Edit);
    ASSERT_TRUE(Type_Text(edit, L"前"));
    EXPECT_FALSE(Is_Enabled(disabled));
    EXPECT_FALSE(Click(disabled));

    // Clicks reach the program in order, so once the later click has shown its box, a click on the
    // disabled button, had one been sent, would have been handled already.
    ASSERT_TRUE(Click(Control(Id_Press)));
    const auto box = Wait_For_Message_Box(app_->Pid(), Reaction_Timeout_Ms);
    ASSERT_TRUE(box);
    EXPECT_EQ(Text_Of(edit), L"前");
    EXPECT_TRUE(Answer_Message_Box(*box));

    EnableWindow(edit, FALSE);
    EXPECT_FALSE(Type_Text(edit, L"後"));
    EXPECT_EQ(Text_Of(edit), L"前");
}

TEST_F(Driver_Test, MessageBoxIsReadAndAnswered) {
    EXPECT_FALSE(Wait_For_Message_Box(app_->Pid(), 0));
    ASSERT_TRUE(Click(Control(Id_Press)));
    const auto box = Wait_For_Message_Box(app_->Pid(), Reaction_Timeout_Ms);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text, L"押されました。\r\n二行目");
    EXPECT_EQ(box->Caption, Caption);

    // The box has the main window's caption but is not taken for it, and while it is up the main
    // window's controls cannot be clicked.
    EXPECT_EQ(app_->Wait_For_Main_Window(Caption, 0), main_);
    EXPECT_FALSE(Click(Control(Id_Exit)));

    ASSERT_TRUE(Answer_Message_Box(*box));
    EXPECT_TRUE(Wait_Until([&] { return Is_Enabled(main_); }, Reaction_Timeout_Ms));
    EXPECT_TRUE(app_->Is_Running());
}

TEST_F(Driver_Test, ExitButtonEndsTheProgramWithItsCode) {
    ASSERT_TRUE(Click(Control(Id_Exit)));
    ASSERT_TRUE(app_->Wait_For_Exit(Reaction_Timeout_Ms));
    EXPECT_EQ(app_->Exit_Code(), 3u);
    EXPECT_FALSE(IsWindow(main_));
}

TEST_F(Driver_Test, CloseButtonOfTheTitleBarEndsTheProgram) {
    ASSERT_TRUE(Close_Window(main_));
    ASSERT_TRUE(app_->Wait_For_Exit(Reaction_Timeout_Ms));
    EXPECT_EQ(app_->Exit_Code(), 0u);
}

TEST_F(Driver_Test, ProcessStillRunningIsKilledWhenItsOwnerGoes) {
    const DWORD pid = app_->Pid();
    Unique_Handle watch(OpenProcess(SYNCHRONIZE, FALSE, pid));
    ASSERT_NE(watch.Get(), nullptr);
    app_.reset();
    EXPECT_EQ(WaitForSingleObject(watch.Get(), 0), WAIT_OBJECT_0);
}

TEST(App_Process_Start, ReportsAMissingExecutable) {
    Temp_Folder folder;
    std::wstring failure;
    EXPECT_FALSE(App_Process::Start(folder / L"missing.exe", folder.Path(), &failure));
    EXPECT_NE(failure.find(L"CopyFileW"), std::wstring::npos) << failure;
}
