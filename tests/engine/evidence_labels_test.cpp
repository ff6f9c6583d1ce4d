// What numbered pictures and case sheets are called: the caption cell, the picture's alternative text,
// and the next case sheet's name.
#include <gtest/gtest.h>

#include "case_sheet.h"
#include "picture_caption.h"

namespace {

constexpr SYSTEMTIME At{2026, 4, 3, 1, 9, 5, 7, 0};

TEST(Evidence_Labels, CaptionAndAlternativeTextSayNumberTimeWindowAndProgram) {
    EXPECT_EQ(Picture_Caption(3, false, At, L"受注 - Chrome"), L"No.3");
    EXPECT_EQ(Picture_Caption(3, true, At, L"受注 - Chrome"), L"No.3 2026/04/01 09:05:07 受注 - Chrome");
    EXPECT_EQ(Picture_Caption(std::nullopt, true, At, L""), L"2026/04/01 09:05:07");
    EXPECT_EQ(Picture_Alternative_Text(12, At, L"受注", L"chrome.exe"), L"No.12 2026/04/01 09:05:07 受注 (chrome.exe)");
    EXPECT_EQ(Picture_Alternative_Text(std::nullopt, At, L"", L""), L"2026/04/01 09:05:07");
}

TEST(Evidence_Labels, ACaseSheetComesAfterTheHighestCaseNumberOfTheBook) {
    EXPECT_EQ(Next_Case_Sheet_Name({L"Sheet1"}), L"ケース1");
    EXPECT_EQ(Next_Case_Sheet_Name({L"ケース3", L"Sheet1", L"ケース1"}), L"ケース4");
    // Not case numbers: other text after the digits, no digits, a number too long for a sheet name.
    EXPECT_EQ(Next_Case_Sheet_Name({L"ケース2a", L"ケース", L"ケース-5", L"ケース9999999999"}), L"ケース1");
}

}  // namespace
