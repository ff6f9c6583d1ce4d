#include "text.h"

#include <gtest/gtest.h>

#include "colours.h"

using Parts = std::vector<std::wstring>;

TEST(StrSplit, TrailingAndLeadingDelimiters) {
    EXPECT_EQ(Str_Split(L"a,b", L","), (Parts{L"a", L"b"}));
    EXPECT_EQ(Str_Split(L"a,b,", L","), (Parts{L"a", L"b"}));
    EXPECT_EQ(Str_Split(L"a,,", L","), (Parts{L"a", L"", L""}));
    EXPECT_EQ(Str_Split(L",a", L","), (Parts{L"", L"a"}));
    EXPECT_EQ(Str_Split(L",", L","), (Parts{L"", L""}));
    EXPECT_EQ(Str_Split(L"a,,b", L","), (Parts{L"a", L"", L"b"}));
    EXPECT_EQ(Str_Split(L"", L","), (Parts{L""}));
    EXPECT_EQ(Str_Split(L"abc", L","), (Parts{L"abc"}));
}

TEST(StrSplit, EmptyDelimiterGivesOneEmptyPart) { EXPECT_EQ(Str_Split(L"abc", L""), (Parts{L""})); }

TEST(StrSplit, MultiCharacterDelimiter) {
    EXPECT_EQ(Str_Split(L"line1\r\nline2\r\n", L"\r\n"), (Parts{L"line1", L"line2"}));
    EXPECT_EQ(Str_Split(L"line1\r\nline2\r\n\r\n", L"\r\n"), (Parts{L"line1", L"line2", L"", L""}));
    // A lone CR or LF is no delimiter.
    EXPECT_EQ(Str_Split(L"a\nb\r\nc", L"\r\n"), (Parts{L"a\nb", L"c"}));
}

TEST(StrSplit, NoLimitOnThePartCount) {
    std::wstring text;
    for (int i = 0; i < 40000; ++i) text += L"x,";
    text += L"end";
    const Parts parts = Str_Split(text, L",");
    ASSERT_EQ(parts.size(), 40001u);
    EXPECT_EQ(parts.back(), L"end");
}

TEST(ReplaceAll, IgnoresCaseAndCounts) {
    Replace_Result r = Replace_All(L"AbcABC", L"abc", L"x");
    EXPECT_EQ(r.Text, L"xx");
    EXPECT_EQ(r.Count, 2);
    r = Replace_All(L"abc", L"ABC", L"x");
    EXPECT_EQ(r.Text, L"x");
    EXPECT_EQ(r.Count, 1);
    // Text outside the matches keeps its case; the replacement is inserted as given.
    r = Replace_All(L"Path\\ABC\\aBc.TXT", L"abc", L"Def");
    EXPECT_EQ(r.Text, L"Path\\Def\\Def.TXT");
    EXPECT_EQ(r.Count, 2);
}

TEST(ReplaceAll, NoOverlapsAndNothingToDo) {
    Replace_Result r = Replace_All(L"aaaa", L"aa", L"b");
    EXPECT_EQ(r.Text, L"bb");
    EXPECT_EQ(r.Count, 2);
    r = Replace_All(L"aaa", L"aa", L"b");
    EXPECT_EQ(r.Text, L"ba");
    EXPECT_EQ(r.Count, 1);
    r = Replace_All(L"ab", L"abc", L"x");
    EXPECT_EQ(r.Text, L"ab");
    EXPECT_EQ(r.Count, 0);
    r = Replace_All(L"abc", L"", L"x");
    EXPECT_EQ(r.Text, L"abc");
    EXPECT_EQ(r.Count, 0);
    r = Replace_All(L"abc", L"xyz", L"q");
    EXPECT_EQ(r.Text, L"abc");
    EXPECT_EQ(r.Count, 0);
}

TEST(ReplaceAll, FullWidthLettersFoldToo) {
    const Replace_Result r = Replace_All(L"ＡＢＣとａｂｃ", L"ａｂｃ", L"x");
    EXPECT_EQ(r.Text, L"xとx");
    EXPECT_EQ(r.Count, 2);
}

TEST(ReplaceAll, NoLimitOnTheCount) {
    const Replace_Result r = Replace_All(std::wstring(40000, L'a'), L"A", L"bc");
    EXPECT_EQ(r.Count, 40000);
    EXPECT_EQ(r.Text.size(), 80000u);
}

TEST(CharWidth, ByTheAnsiCodePage) {
    EXPECT_EQ(Char_Width(L"a"), 1);
    EXPECT_EQ(Char_Width(L"1"), 1);
    EXPECT_EQ(Char_Width(L"ｱ"), 1);  // half-width katakana
    EXPECT_EQ(Char_Width(L"ﾟ"), 1);
    EXPECT_EQ(Char_Width(L"漢"), 2);
    EXPECT_EQ(Char_Width(L"あ"), 2);
    EXPECT_EQ(Char_Width(L"ア"), 2);
    EXPECT_EQ(Char_Width(L"Ａ"), 2);  // full-width form
    EXPECT_EQ(Char_Width(L""), 0);
    EXPECT_EQ(Char_Width(L"ab"), 0);
}

TEST(NumberInText, DigitsPointAndMinus) {
    EXPECT_EQ(Number_In_Text(L"Kotei012.txt"), Fixed4::From_Whole(12));
    EXPECT_EQ(Number_In_Text(L"Text07.txt"), Fixed4::From_Whole(7));
    EXPECT_EQ(Number_In_Text(L" 1"), Fixed4::From_Whole(1));
    EXPECT_EQ(Number_In_Text(L"-3"), Fixed4::From_Whole(-3));
    EXPECT_EQ(Number_In_Text(L"--3"), Fixed4::From_Whole(3));
    EXPECT_EQ(Number_In_Text(L"3-"), Fixed4::From_Whole(-3));
    EXPECT_EQ(Number_In_Text(L"1.2.3"), Fixed4{12300});
    EXPECT_EQ(Number_In_Text(L".5"), Fixed4{5000});
    EXPECT_EQ(Number_In_Text(L"a1b.c2"), Fixed4{12000});
    EXPECT_EQ(Number_In_Text(L""), Fixed4{});
    EXPECT_EQ(Number_In_Text(L"abc"), Fixed4{});
    EXPECT_EQ(Number_In_Text(L"-"), Fixed4{});
    EXPECT_EQ(Number_In_Text(L"１２"), Fixed4{});  // full-width digits are not digits here
}

TEST(NumberInText, RoundsToFourDecimals) {
    EXPECT_EQ(Number_In_Text(L"0.12344"), Fixed4{1234});
    EXPECT_EQ(Number_In_Text(L"0.12346"), Fixed4{1235});
    EXPECT_EQ(Number_In_Text(L"0.12345"), Fixed4{1234});  // half to even
    EXPECT_EQ(Number_In_Text(L"0.12355"), Fixed4{1236});
    EXPECT_EQ(Number_In_Text(L"0.123451"), Fixed4{1235});  // above half
    EXPECT_EQ(Number_In_Text(L"-0.99999"), Fixed4::From_Whole(-1));
}

TEST(NumberInText, BeyondTheRangeGivesTheLimit) {
    EXPECT_EQ(Number_In_Text(L"922337203685477.5807"), Fixed4::Max());
    EXPECT_EQ(Number_In_Text(L"922337203685477.5808"), Fixed4::Max());
    EXPECT_EQ(Number_In_Text(L"99999999999999999999999999"), Fixed4::Max());
    EXPECT_EQ(Number_In_Text(L"-99999999999999999999999999"), Fixed4{-Fixed4::Max().Raw});
    EXPECT_EQ(Number_In_Text(L"0000000000000000000000000042"), Fixed4::From_Whole(42));
}

TEST(ToFlagAndSpaces, Basics) {
    EXPECT_TRUE(To_Flag(-1));
    EXPECT_FALSE(To_Flag(0));
    EXPECT_EQ(Space_Remove(L" a　b c　"), L"abc");
    EXPECT_EQ(Get_CrLf(), std::wstring(L"\x0D\x0A"));
    EXPECT_EQ(Get_Lf(), std::wstring(L"\x0A"));
}

TEST(ColourByName, TableAndUnknownNames) {
    EXPECT_EQ(Colour_By_Name(L"濃紺"), 128u * 65536u);
    EXPECT_EQ(Colour_By_Name(L"灰色"), 128u + 128u * 256u + 128u * 65536u);
    EXPECT_EQ(Colour_By_Name(L"灰"), Colour_By_Name(L"灰色"));
    EXPECT_EQ(Colour_By_Name(L"赤"), 255u);
    EXPECT_EQ(Colour_By_Name(L"水"), 255u * 256u + 255u * 65536u);
    EXPECT_EQ(Colour_By_Name(L"白"), 0xFFFFFFu);
    EXPECT_EQ(Colour_By_Name(L"赤 "), 0u);
    EXPECT_EQ(Colour_By_Name(L"red"), 0u);
}
