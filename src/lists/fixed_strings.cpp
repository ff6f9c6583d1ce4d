#include "fixed_strings.h"

#include "text.h"

std::wstring Fixed_Strings::Lst_AddItem_Kotei(int i) const {
    if (i < 0 || i > Kotei_Max || static_cast<std::size_t>(i) >= Kotei_Data.size()) return {};
    for (const std::wstring& line : Str_Split(Kotei_Data[static_cast<std::size_t>(i)], Get_CrLf()))
        if (!line.empty()) return line;
    return {};
}
