#include "ui_text.h"

Text_Language Display_Text_Language() {
    // Once per process: a window never mixes the languages of two answers.
    static const Text_Language language = System_Text_Language();
    return language;
}

const wchar_t* Ui_Text(Text_Id id, Text_Language language) {
    const std::span<const Text_Entry> table = language == Text_Language::Japanese ? Japanese_Texts() : English_Texts();
    const auto i = static_cast<std::size_t>(id);
    return i < table.size() ? table[i].Text : L"";
}

const wchar_t* Ui_Text(Text_Id id) { return Ui_Text(id, Display_Text_Language()); }

std::wstring Ui_Format(Text_Id id, Text_Language language, std::initializer_list<std::wstring_view> values) {
    const std::wstring_view text = Ui_Text(id, language);
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - L'1') : values.size();
        if (text[i] == L'%' && n < values.size()) {
            out += values.begin()[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::wstring Ui_Format(Text_Id id, std::initializer_list<std::wstring_view> values) {
    return Ui_Format(id, Display_Text_Language(), values);
}
