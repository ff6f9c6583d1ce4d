#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>

#include "control_states.h"
#include "message_pump.h"
#include "test_form.h"
#include "twips.h"
#include "wait.h"

namespace {

class FormTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(form.Load()); }
    Test_Form form;
};

std::wstring Class_Of(HWND h) {
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return name;
}

}  // namespace

TEST_F(FormTest, ControlsCarryTheirIdsAndSitInTheirContainers) {
    Control& option = form(L"Opt_Joken", 3);
    EXPECT_EQ(GetDlgCtrlID(option.Hwnd()), 1503);
    EXPECT_EQ(GetParent(option.Hwnd()), form(L"Pic_Container", 1).Hwnd());
    EXPECT_EQ(GetParent(form(L"Pic_Container", 1).Hwnd()), form.Hwnd());
    EXPECT_EQ(GetParent(form(L"Che_Control", 0).Hwnd()), form(L"Pic_Inner").Hwnd());
    EXPECT_EQ(form.Find_By_Id(1200), form.Find(L"Txt_File", 0));
    EXPECT_EQ(form(L"Txt_File", 0).Display_Name(), L"Txt_File(0)");
    EXPECT_EQ(form(L"VScroll1").Display_Name(), L"VScroll1");
    EXPECT_EQ(Class_Of(form(L"Lst_Select", 0).Hwnd()), L"ListBox");
}

TEST_F(FormTest, GeometryIsInTwipsRelativeToTheContainer) {
    Control& option = form(L"Opt_Joken", 1);
    RECT r{};
    GetWindowRect(option.Hwnd(), &r);
    MapWindowPoints(nullptr, GetParent(option.Hwnd()), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, Twips_To_Pixels_X(120));
    EXPECT_EQ(r.top, Twips_To_Pixels_Y(240));
    EXPECT_EQ(r.right - r.left, Twips_To_Pixels_X(1500));
    option.Move(300, 480, 900, 300);
    GetWindowRect(option.Hwnd(), &r);
    MapWindowPoints(nullptr, GetParent(option.Hwnd()), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, Twips_To_Pixels_X(300));
    EXPECT_EQ(r.bottom - r.top, Twips_To_Pixels_Y(300));
    EXPECT_FLOAT_EQ(option.Left(), 300);
    EXPECT_FLOAT_EQ(Twips_Per_Pixel_X() * 96, 1440);
}

TEST_F(FormTest, OptionsChosenByCodeOrUserRaiseClickAndGroupByContainer) {
    form(L"Opt_Joken", 0).Set_Value(1);
    form(L"Opt_Joken", 2).Set_Value(1);
    form(L"Opt_Joken", 1).Set_Value(1);
    EXPECT_EQ(form(L"Opt_Joken", 0).Value(), 0);  // same container: released
    EXPECT_EQ(form(L"Opt_Joken", 2).Value(), 1);  // other container: kept
    EXPECT_EQ(SendMessageW(form(L"Opt_Joken", 0).Hwnd(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(form(L"Opt_Joken", 1).Hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
    // Choosing the chosen one again raises nothing.
    form(L"Opt_Joken", 1).Set_Value(1);
    EXPECT_EQ(form.Events,
              (std::vector<std::wstring>{L"Opt_Joken(0):Click", L"Opt_Joken(2):Click", L"Opt_Joken(1):Click"}));

    form.Events.clear();
    SendMessageW(form(L"Opt_Joken", 3).Hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(form(L"Opt_Joken", 3).Value(), 1);
    EXPECT_EQ(form(L"Opt_Joken", 2).Value(), 0);
    EXPECT_EQ(form.Events, (std::vector<std::wstring>{L"Opt_Joken(3):Click"}));
}

TEST_F(FormTest, CheckBoxTextListAndScrollEvents) {
    Control& box = form(L"Che_Control", 0);
    SendMessageW(box.Hwnd(), BM_CLICK, 0, 0);  // a user's click inside a nested container
    EXPECT_EQ(box.Value(), 1);
    box.Set_Value(1);  // unchanged: no event
    box.Set_Value(0);
    form(L"Txt_File", 0).Set_Caption(L"C:\\a.xlsx");
    Control& list = form(L"Lst_Select", 0);
    list.Add_Item(L"一");
    list.Add_Item(L"二");
    list.Set_List_Index(1);
    EXPECT_EQ(list.List(1), L"二");
    EXPECT_EQ(list.List_Count(), 2);
    Control& bar = form(L"VScroll1");
    bar.Set_Scroll_Range(0, 100, 10, 50);
    bar.Notify_Scroll(SB_LINEDOWN, 0);
    bar.Notify_Scroll(SB_THUMBTRACK, 70);
    bar.Notify_Scroll(SB_PAGEDOWN, 0);  // clamped at the maximum
    EXPECT_EQ(bar.Value(), 100);
    EXPECT_EQ(form.Events,
              (std::vector<std::wstring>{L"Che_Control(0):Click", L"Che_Control(0):Click", L"Txt_File(0):Change",
                                         L"Lst_Select(0):Click", L"VScroll1(-1):Change", L"VScroll1(-1):Scroll",
                                         L"VScroll1(-1):Change"}));
}

TEST_F(FormTest, NewArrayElementsFollowElementZero) {
    Control& cell = form.Load_Element(L"Img_Pic", 7);
    EXPECT_EQ(cell.Id(), 2007);
    EXPECT_EQ(cell.Index(), 7);
    EXPECT_FALSE(cell.Visible());
    EXPECT_FALSE(IsWindowVisible(cell.Hwnd()));
    EXPECT_FLOAT_EQ(cell.Width(), 600);
    EXPECT_EQ(&form.Load_Element(L"Img_Pic", 7), &cell);
}

TEST_F(FormTest, AppearanceRule) {
    Control& option = form(L"Opt_Joken", 0);
    Option_Appearance(option);
    EXPECT_EQ(option.Fore_Color(), 128u + 128u * 256 + 128u * 65536);
    EXPECT_TRUE(option.Strikethrough());
    option.Set_Value(1);
    Option_Appearance(option);
    EXPECT_EQ(option.Fore_Color(), 128u * 65536);
    EXPECT_FALSE(option.Strikethrough());

    Control& box = form(L"Che_Control", 0);
    box.Set_Value(2);  // greyed counts as not ticked
    Check_Appearance_All({&box});
    EXPECT_TRUE(box.Strikethrough());
}

TEST_F(FormTest, EnablingAContainerReachesEverythingInsideItOnly) {
    Control& outer = form(L"Pic_Container", 1);
    EXPECT_TRUE(Control_Is_Inside(outer, outer));
    EXPECT_TRUE(Control_Is_Inside(outer, form(L"Che_Control", 0)));
    EXPECT_FALSE(Control_Is_Inside(outer, form(L"Opt_Joken", 0)));
    EXPECT_FALSE(Control_Is_Inside(form(L"Che_Control", 0), outer));

    Controls_Enabled_In(outer, false);
    EXPECT_FALSE(outer.Enabled());
    EXPECT_FALSE(form(L"Pic_Inner").Enabled());
    EXPECT_FALSE(IsWindowEnabled(form(L"Che_Control", 0).Hwnd()));
    EXPECT_TRUE(form(L"Opt_Joken", 0).Enabled());
    Controls_Enabled_In(form, false);
    EXPECT_FALSE(IsWindowEnabled(form.Hwnd()));
}

TEST_F(FormTest, TimerTicksOnlyWhileEnabled) {
    Control& timer = form(L"Timer1", 0);
    timer.Set_Interval(30);
    Wait_Time(100);
    EXPECT_TRUE(form.Events.empty());
    timer.Set_Enabled(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (form.Events.empty() && std::chrono::steady_clock::now() < deadline) Wait_Time(20);
    ASSERT_FALSE(form.Events.empty());
    EXPECT_EQ(form.Events[0], L"Timer1(0):Timer");
    timer.Set_Enabled(false);
}

TEST_F(FormTest, HandlerMayUnloadTheFormWhileMessagesRun) {
    form.On(Control_Event::Click, L"Che_Control", [this](int) { form.Unload(); });
    ASSERT_TRUE(PostMessageW(form(L"Che_Control", 0).Hwnd(), BM_CLICK, 0, 0));
    Do_Events();
    EXPECT_FALSE(form.Is_Loaded());
    EXPECT_TRUE(Form::Loaded_Forms().empty());
}

namespace {

// Notes whether its owner takes input again by the time the window goes.
class Modal_Form : public Test_Form {
public:
    bool Owner_Enabled_At_Destroy = false;

protected:
    std::optional<LRESULT> On_Message(UINT msg, WPARAM, LPARAM) override {
        if (msg == WM_DESTROY) Owner_Enabled_At_Destroy = IsWindowEnabled(GetWindow(Hwnd(), GW_OWNER)) != FALSE;
        return std::nullopt;
    }
};

}  // namespace

TEST_F(FormTest, ModalFormHoldsItsOwnerUntilUnloadedAndHandsItBackBeforeItGoes) {
    Modal_Form modal;
    modal.Set_Owner(form.Hwnd());
    ASSERT_TRUE(modal.Load());
    EXPECT_EQ(GetWindow(modal.Hwnd(), GW_OWNER), form.Hwnd());
    bool owner_enabled_while_modal = true;
    modal.On(Control_Event::Timer, L"Timer1", [&](int) {
        owner_enabled_while_modal = IsWindowEnabled(form.Hwnd()) != FALSE;
        modal.Unload();
    });
    modal(L"Timer1", 0).Set_Interval(10);
    modal(L"Timer1", 0).Set_Enabled(true);
    modal.Show_Modal();  // returns once the timer has unloaded the form
    EXPECT_FALSE(modal.Is_Loaded());
    EXPECT_FALSE(owner_enabled_while_modal);
    EXPECT_TRUE(modal.Owner_Enabled_At_Destroy);
    EXPECT_TRUE(IsWindowEnabled(form.Hwnd()));
}

// Moved to a monitor of another scale, the window keeps its twips and takes the new pixels and fonts.
TEST_F(FormTest, NewMonitorScaleLaysTheWindowOutAgain) {
    const int system_dpi = Display_Dpi_Y(), other_dpi = system_dpi == 144 ? 96 : 144;
    const HWND text = form(L"Txt_File", 0).Hwnd();  // 3000 twips wide
    auto shape = [&] {
        RECT r{}, outer{};
        GetWindowRect(text, &r);
        GetWindowRect(form.Hwnd(), &outer);
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        return std::vector<LONG>{r.right - r.left, lf.lfHeight, outer.left, outer.right};
    };
    const std::vector<LONG> before = shape();
    RECT suggested{40, 50, 940, 750};
    SendMessageW(form.Hwnd(), WM_DPICHANGED, MAKEWPARAM(other_dpi, other_dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(shape(), (std::vector<LONG>{3000 * other_dpi / 1440, -MulDiv(9, other_dpi, 72), 40, 940}));
    suggested = {before[2], 50, before[3], 600};
    SendMessageW(form.Hwnd(), WM_DPICHANGED, MAKEWPARAM(system_dpi, system_dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(shape(), before);
}

namespace {

std::wstring Text_Of_Window(HWND h) {
    wchar_t text[64] = {};
    GetWindowTextW(h, text, 64);
    return text;
}

// A screen whose panel is made only when it is first shown, between two panels made with the form.
class Later_Form : public Form {
public:
    Later_Form() : Form(L"CellDropLaterForm", L"テスト") {}

protected:
    void On_Load() override {
        static constexpr Control_Def table[] = {
            {L"Pic_Control", 0, Control_Kind::Picture_Box, nullptr, 0, 0, 3000, 1500, nullptr, -1, 1700},
            {L"Pic_Control", 1, Control_Kind::Picture_Box, nullptr, 0, 1500, 3000, 1500, nullptr, -1, 1701, true},
            {L"Pic_Control", 2, Control_Kind::Picture_Box, nullptr, 0, 3000, 3000, 1500, nullptr, -1, 1702},
            {L"Pic_Screen", -1, Control_Kind::Picture_Box, nullptr, 0, 0, 2000, 1000, L"Pic_Control", 1, 102},
            {L"Che_Control", 0, Control_Kind::Check_Box, L"列の幅", 0, 0, 1500, 240, L"Pic_Screen", -1, 1600},
            {L"Opt_Joken", 0, Control_Kind::Option_Button, L"しない", 0, 240, 1500, 240, L"Pic_Screen", -1, 1500},
        };
        Add_Controls(table);
        (*this)(L"Pic_Screen").Set_Border(true);
    }
};

}  // namespace

TEST(FormWindowsLater, WhatWasSetBeforeTheWindowsWereMadeShowsOnceTheyAre) {
    Later_Form form;
    ASSERT_TRUE(form.Load());
    Control& panel = form(L"Pic_Control", 1);
    Control& box = form(L"Che_Control", 0);
    Control& option = form(L"Opt_Joken", 0);
    EXPECT_EQ(panel.Hwnd(), nullptr);
    EXPECT_EQ(box.Hwnd(), nullptr);
    const float inner_before = form(L"Pic_Screen").Inner_Width();
    box.Set_Value(1);
    box.Set_Enabled(false);
    option.Set_Value(1);
    option.Set_Caption(L"する");
    option.Set_Strikethrough(true);

    form.Make_Windows(panel);
    ASSERT_NE(box.Hwnd(), nullptr);
    EXPECT_EQ(GetParent(box.Hwnd()), form(L"Pic_Screen").Hwnd());
    EXPECT_EQ(GetDlgCtrlID(option.Hwnd()), 1500);
    EXPECT_EQ(SendMessageW(box.Hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(box.Hwnd()));
    EXPECT_EQ(SendMessageW(option.Hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text_Of_Window(option.Hwnd()), L"する");
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(option.Hwnd(), WM_GETFONT, 0, 0)), form.Font(true));
    // The frame's inner width was known before its window: layouts made then stay right.
    EXPECT_FLOAT_EQ(form(L"Pic_Screen").Inner_Width(), inner_before);
    // Among the form's panels it takes its place in the table: tab order and stacking as if made at once.
    EXPECT_EQ(GetWindow(form(L"Pic_Control", 0).Hwnd(), GW_HWNDNEXT), panel.Hwnd());
    EXPECT_EQ(GetWindow(panel.Hwnd(), GW_HWNDNEXT), form(L"Pic_Control", 2).Hwnd());
}
