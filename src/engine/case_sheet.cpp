#include "case_sheet.h"

#include <algorithm>
#include <cwctype>
#include <string_view>

#include "excel_session.h"

namespace {

constexpr std::wstring_view Case_Prefix = L"ケース";
// A name Excel refused although no sheet had it (another program added one meanwhile) is tried this
// often with the next number.
constexpr int Rename_Attempts = 3;

}  // namespace

std::wstring Next_Case_Sheet_Name(const std::vector<std::wstring>& sheet_names) {
    long long highest = 0;
    for (const std::wstring& name : sheet_names) {
        if (!name.starts_with(Case_Prefix) || name.size() == Case_Prefix.size()) continue;
        const std::wstring_view digits = std::wstring_view(name).substr(Case_Prefix.size());
        // Plain digits only, and no more than a sheet name can hold: "ケース2a" is no case number.
        if (digits.size() > 9 ||
            !std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
            continue;
        highest = std::max(highest, std::stoll(std::wstring(digits)));
    }
    return std::wstring(Case_Prefix) + std::to_wstring(highest + 1);
}

Call_Result Add_Case_Sheet(Excel_Session& excel) {
    // The new case follows the sheet the pastes go to, whatever sheet the user looks at now.
    const Call_Result active = excel.Check_Active_Sheet();
    if (!active.Ok()) return active;
    (void)excel.Ensure_Target(active.Object());
    Error_State errors;
    const Automation_Object after = excel.Active_Sheet(errors);
    std::vector<std::wstring> names = excel.Sheet_Names().value_or(std::vector<std::wstring>{});
    Call_Result added = excel.Add_Sheet_After(after);
    const Automation_Object sheet = added.Object();
    if (!added.Ok() || sheet.Is_Nothing()) {
        if (added.Ok()) added.Hr = E_POINTER;
        return added;
    }
    for (int attempt = 0; attempt < Rename_Attempts; ++attempt) {
        const std::wstring name = Next_Case_Sheet_Name(names);
        if (excel.Rename(sheet, name).Ok()) break;
        names.push_back(name);
    }
    // Excel activates the sheet it adds; asked again in case the user's Excel had other ideas.
    (void)excel.Activate(sheet);
    (void)excel.Select(excel.Cell(sheet, 1, 1).Object());
    std::wstring name;
    if (excel.Name_Of(sheet).Value.To_Text(name)) excel.Ws_Name = name;
    excel.Target_Sheet = sheet;
    return added;
}
