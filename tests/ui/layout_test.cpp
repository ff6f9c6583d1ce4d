// The layout helpers applied to real windows (their arithmetic is tested without windows).
#include "layout.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "message_pump.h"
#include "test_form.h"

namespace {

std::vector<HWND> Children_In_Order(HWND parent) {
    std::vector<HWND> children;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
    return children;
}

}  // namespace

TEST(Layout, FitShowsTheControlsEdgesWithAMargin) {
    Test_Form form;
    ASSERT_TRUE(form.Load());
    form.Show();
    const Control& list = form(L"Lst_Select", 0);
    const Control& inner = form(L"Pic_Inner");
    Form_Fit(form, list, inner);
    EXPECT_GE(form.Inner_Height(), list.Top() + list.Height());
    EXPECT_LE(form.Inner_Height(), list.Top() + list.Height() + 120);
    const float inner_right = form(L"Pic_Container", 1).Left() + inner.Left() + inner.Width();
    EXPECT_GE(form.Inner_Width(), inner_right);
    EXPECT_LE(form.Inner_Width(), inner_right + 120);
    // Already fitted: no change.
    const float width = form.Width();
    Form_Fit(form, list, inner);
    EXPECT_FLOAT_EQ(form.Width(), width);
}

TEST(Layout, ScreenPositionOfANestedControl) {
    Test_Form form;
    ASSERT_TRUE(form.Load());
    const Control& box = form(L"Che_Control", 0);
    RECT r{};
    GetWindowRect(box.Hwnd(), &r);
    EXPECT_NEAR(Screen_Left_Of(box), r.left * 15.0f, 16);
    EXPECT_NEAR(Screen_Top_Of(box), r.top * 15.0f, 16);
}

TEST(Layout, TabOrderFollowsScreenPosition) {
    Test_Form form;
    ASSERT_TRUE(form.Load());
    Control& container = form(L"Pic_Container", 1);
    // The panel holding the check box was made first but stands below the two options.
    ASSERT_EQ(Children_In_Order(container.Hwnd()).front(), form(L"Pic_Inner").Hwnd());
    Tab_Order_In(form, container);
    EXPECT_EQ(
        Children_In_Order(container.Hwnd()),
        (std::vector<HWND>{form(L"Opt_Joken", 2).Hwnd(), form(L"Opt_Joken", 3).Hwnd(), form(L"Pic_Inner").Hwnd()}));
    // Moved above them, the panel comes first.
    form(L"Pic_Inner").Set_Top(-600);
    Tab_Order_In(form, container);
    EXPECT_EQ(Children_In_Order(container.Hwnd()).front(), form(L"Pic_Inner").Hwnd());
}

TEST(Layout, ArrayMaxCountsTheElements) {
    Test_Form form;
    ASSERT_TRUE(form.Load());
    EXPECT_EQ(Control_Array_Max(form, L"Opt_Joken"), 3);
    form.Load_Element(L"Img_Pic", 1);
    EXPECT_EQ(Control_Array_Max(form, L"Img_Pic"), 1);
}

TEST(Layout, CloseAllUnloadsTheOtherFormsInLoadOrderAndEndsTheProgram) {
    struct Noted_Form : Test_Form {
        std::vector<const Form*>* Unloaded = nullptr;
        void On_Unload() override { Unloaded->push_back(this); }
    };
    std::vector<const Form*> unloaded;
    Test_Form main_form;
    Noted_Form first, second;
    first.Unloaded = second.Unloaded = &unloaded;
    ASSERT_TRUE(main_form.Load());
    ASSERT_TRUE(first.Load());
    ASSERT_TRUE(second.Load());
    main_form.Show();
    Form_Close_All(main_form);
    EXPECT_FALSE(main_form.Is_Loaded());
    EXPECT_EQ(unloaded, (std::vector<const Form*>{&first, &second}));
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit);
}
