#include "text_box_fill.h"

#include <gtest/gtest.h>

#include <chrono>

#include "test_form.h"
#include "wait.h"

TEST(Text_Box_Fill, ALongTextFillsItsBoxInWholeLinesWhileTheWindowRunsAndAShortOneAtOnce) {
    Test_Form form;
    ASSERT_TRUE(form.Load());
    Control& box = form(L"Txt_Value3", 0);
    std::wstring text;
    for (int i = 0; i < 2500; ++i) text += (i ? L"\r\n" : L"") + std::wstring(L"行 ") + std::to_wstring(i);

    Text_Box_Fill fill;
    fill.Start(box, text);
    ASSERT_TRUE(fill.Filling());
    EXPECT_TRUE(fill.Shown().empty());
    EXPECT_FALSE(box.Visible());
    // Between pieces the box holds whole lines, and exactly what Shown() says.
    bool seen_part = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (fill.Filling() && std::chrono::steady_clock::now() < deadline) {
        Wait_Time(1);
        if (!fill.Filling() || fill.Shown().empty()) continue;
        seen_part = true;
        const std::size_t n = fill.Shown().size();
        EXPECT_EQ(text.substr(0, n), fill.Shown());
        EXPECT_EQ(text.compare(n, 2, L"\r\n"), 0);
        EXPECT_EQ(box.Caption(), fill.Shown());
    }
    ASSERT_FALSE(fill.Filling());
    EXPECT_TRUE(seen_part);
    EXPECT_EQ(box.Caption(), text);
    EXPECT_EQ(fill.Shown(), text);
    EXPECT_TRUE(box.Visible());

    fill.Start(box, L"a\r\nb");
    EXPECT_FALSE(fill.Filling());
    EXPECT_EQ(box.Caption(), L"a\r\nb");
    form.Unload();
}
