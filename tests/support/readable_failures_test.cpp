// Failing comparisons of Japanese text print the text itself, not escapes.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Readable_Failures, Wide_Strings_Print_As_Utf8_With_Line_Breaks_Escaped) {
    EXPECT_EQ(testing::PrintToString(std::wstring(L"コピー\r\n\"終了\"")), "L\"コピー\\r\\n\\\"終了\\\"\"");
    EXPECT_EQ(testing::PrintToString(std::wstring_view(L"貼付")), "L\"貼付\"");
    EXPECT_EQ(testing::PrintToString(std::vector<std::wstring>{L"図 1"}), "{ L\"図 1\" }");
    // A character outside the basic plane is one UTF-8 sequence; a lone surrogate is not text.
    EXPECT_EQ(testing::PrintToString(std::wstring(L"\U0001F600\xD800")), "L\"\xF0\x9F\x98\x80\\xD800\"");
}

TEST(Readable_Failures, Failure_Messages_Show_Both_Sides_Readably) {
    const std::wstring shown = L"コピーを開始してください。";
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(shown, L"貼付を開始してください。"), "L\"貼付を開始してください。\"");
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(shown, std::wstring(L"x")), "L\"コピーを開始してください。\"");
    // Compared inside GoogleTest's own library.
    EXPECT_NONFATAL_FAILURE(EXPECT_STREQ(L"貼付終了", L"貼付開始"), "L\"貼付終了\"");
}
