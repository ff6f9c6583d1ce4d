#include "window_titles.h"

#include <gtest/gtest.h>

TEST(WindowTitles, AWorkbookIsNamedOnlyAsAWholeName) {
    for (const wchar_t* title : {L"帳票.xlsx - Excel", L"帳票.xlsx", L"Microsoft Excel - 帳票.xlsx",
                                 L"帳票.xlsx [読み取り専用] - Excel", L"帳票.xlsx  -  互換モード - Excel"})
        EXPECT_TRUE(Title_Names_Workbook(title, L"帳票.xlsx")) << "title";
    EXPECT_TRUE(Title_Names_Workbook(L"a - Excel", L"a"));
    // A name inside a longer one, or inside the program's own caption, is not the workbook's.
    EXPECT_FALSE(Title_Names_Workbook(L"data - Excel", L"a"));
    EXPECT_FALSE(Title_Names_Workbook(L"a b - Excel", L"a"));
    EXPECT_FALSE(Title_Names_Workbook(L"Excelへの貼付コントロール", L"Excel"));
    EXPECT_TRUE(Title_Names_Workbook(L"Excel - Excel", L"Excel"));
    EXPECT_FALSE(Title_Names_Workbook(L"Book1 - Excel", L""));
}
