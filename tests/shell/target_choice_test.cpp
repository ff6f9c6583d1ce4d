#include "target_choice.h"

#include <gtest/gtest.h>

TEST(TargetChoice, NewWorkbookMarkerItsBeginningsAndLongerTexts) {
    const std::wstring marker = L"新規、空白のブック";
    for (std::size_t n = 0; n <= marker.size(); ++n)
        EXPECT_FALSE(Check_ツール_CellDrop0_File(marker.substr(0, n))) << n;
    EXPECT_FALSE(Check_ツール_CellDrop0_File(L"新規、空白のブック（2）"));
    EXPECT_TRUE(Check_ツール_CellDrop0_File(L"新規、空白のブ ック"));
    EXPECT_TRUE(Check_ツール_CellDrop0_File(L"規"));
    EXPECT_TRUE(Check_ツール_CellDrop0_File(L"C:\\資料\\新規、空白のブック.xlsx"));
    EXPECT_TRUE(Check_ツール_CellDrop0_File(L" "));
}
