// Steering a paste run from Excel: the hot keys, taking back a paste, the wait for a busy Excel and
// the time written before a picture.
#include "paste_run_fixture.h"

namespace {

constexpr int Opt_Off = ids::Opt_Joken + 0, Opt_On = ids::Opt_Joken + 1;
constexpr int Cmd_Take_Back = ids::Cmd_Control + 14;
constexpr int Hot_Key_Line = ids::Label1 + 20;
constexpr UINT Ctrl_Alt = MOD_CONTROL | MOD_ALT;

// Whether this test process could hold Ctrl+Alt with the key itself: false while another program does.
bool Key_Free(UINT key) {
    if (!RegisterHotKey(nullptr, 0x7000, Ctrl_Alt, key)) return false;
    UnregisterHotKey(nullptr, 0x7000);
    return true;
}

}  // namespace

class Run_Steering_Test : public Paste_Run_Test {
protected:
    bool Checked(int id) const { return SendMessageW(app->Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Wait_Checked(int id) const { return Wait_Until([&] { return Checked(id); }, Paste_Timeout_Ms); }
    std::wstring Tip_Of(int id) {
        for (const Tool_Tip& tip : Tool_Tips(app->Process().Pid()))
            if (tip.Control == app->Control(id)) return tip.Text;
        return L"";
    }
};

TEST_F(Run_Steering_Test, HotKeysAreHeldOnlyDuringARunAndWorkFromTheKeyboard) {
    // Another program holds Ctrl+Alt+P before the run: the line names it, and the button still works.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, Ctrl_Alt, 'P'));
    ASSERT_TRUE(Key_Free('Z'));
    Start();
    EXPECT_EQ(Text_Of(app->Control(Hot_Key_Line)), L"Ctrl+Alt+Pは他のプログラムが使っています");
    EXPECT_FALSE(Key_Free('Z'));
    EXPECT_NE(Tip_Of(Opt_On).find(L"Ctrl+Alt+P"), std::wstring::npos);
    EXPECT_NE(Tip_Of(Cmd_Take_Back).find(L"Ctrl+Alt+Z"), std::wstring::npos);
    EXPECT_EQ(Text_Of(app->Control(Cmd_Take_Back)), L"直前の貼付を取り消す");
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    ASSERT_TRUE(Back_On_Setup_Screen());
    // Let go with the run.
    EXPECT_TRUE(Key_Free('Z'));
    UnregisterHotKey(nullptr, 1);

    // The next run holds both; Ctrl+Alt+P pressed on the keyboard switches pasting off and on, as a
    // click on the option does.
    ASSERT_TRUE(Wait_Until([] { return FindWindowW(standin::Window_Class, nullptr) == nullptr; }, Paste_Timeout_Ms));
    ASSERT_TRUE(app->Wait_Ready());
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
    Expect_Message(Start_Message);
    ASSERT_TRUE(Wait_Until([&] { return !State()["activeWorkbook"].Is_Null(); }, Paste_Timeout_Ms));
    EXPECT_EQ(Text_Of(app->Control(Hot_Key_Line)), L"");
    EXPECT_FALSE(Key_Free('P'));
    ASSERT_TRUE(Wait_Checked(Opt_On));
    ASSERT_TRUE(Press_Keys({VK_CONTROL, VK_MENU, 'P'}));
    ASSERT_TRUE(Wait_Checked(Opt_Off));
    ASSERT_TRUE(Copy(L"not pasted"));
    ASSERT_TRUE(Press_Keys({VK_CONTROL, VK_MENU, 'P'}));
    ASSERT_TRUE(Wait_Checked(Opt_On));
    ASSERT_TRUE(Copy(L"pasted"));
    ASSERT_TRUE(Wait_Cell("A1", L"pasted"));
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    ASSERT_TRUE(Back_On_Setup_Screen());
    EXPECT_TRUE(Key_Free('P'));
    EXPECT_TRUE(Key_Free('Z'));
}
