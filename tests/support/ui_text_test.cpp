#include "ui_text.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<wchar_t> Placeholders(std::wstring_view text) {
    std::set<wchar_t> found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == L'%' && text[i + 1] >= L'1' && text[i + 1] <= L'9') found.insert(text[i + 1]);
    return found;
}

bool Is_Japanese_Character(wchar_t c) {
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

}  // namespace

// Each English text is English, and takes the same values as its Japanese text.
TEST(Ui_Text, EveryEnglishTextIsTranslatedWithTheSameValues) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(Text_Id::Count); ++i) {
        const auto id = static_cast<Text_Id>(i);
        const std::wstring_view english = Ui_Text(id, Text_Language::English);
        const std::wstring_view japanese = Ui_Text(id, Text_Language::Japanese);
        EXPECT_FALSE(english.empty()) << i;
        for (wchar_t c : english) EXPECT_FALSE(Is_Japanese_Character(c)) << "entry " << i;
        EXPECT_EQ(Placeholders(english), Placeholders(japanese)) << "entry " << i;
    }
}

TEST(Ui_Text, FormatPutsEachValueInItsPlaceOnce) {
    EXPECT_EQ(Ui_Format(Text_Id::File_Locked, Text_Language::Japanese, {L"C:\\a%1.xlsx"}),
              L"ファイル「C:\\a%1.xlsx」にロックがかかっています。");
    EXPECT_EQ(Ui_Format(Text_Id::Object_Index_Set_Twice, Text_Language::English, {L"Lst", L"2"}),
              L"Object name = Lst\r\nindex = 2\r\nis set twice.");
    // The test runs on a Japanese display: the texts are those Japanese users have always seen.
    EXPECT_STREQ(Ui_Text(Text_Id::Main_Title), L"Excelへの貼付コントロール");
}
