#include "target_choice.h"

bool Check_ツール_CellDrop0_File(std::wstring_view target) {
    if (target.empty()) return false;
    // A user who deletes the marker character by character never sees a missing-file message for
    // what is left of it.
    const std::wstring marker = New_Workbook_Text();
    if (std::wstring_view(marker).starts_with(target)) return false;
    if (target.starts_with(marker)) return false;
    return true;
}
