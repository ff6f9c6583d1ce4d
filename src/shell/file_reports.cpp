#include "file_reports.h"

#include "message_box.h"
#include "text.h"
#include "ui_text.h"

void Save_Failures::Report_Save_Failures() {
    if (failed_.empty()) return;
    // The screen keeps its values; the user learns that they are not on disk and where.
    std::wstring text = Ui_Text(Text_Id::Settings_Not_Saved);
    for (const std::wstring& path : failed_) text += Get_CrLf() + path;
    failed_.clear();
    Show_Message(text);
}

void Report_Moved_Aside(const std::vector<std::wstring>& paths) {
    if (paths.empty()) return;
    std::wstring text = Ui_Text(Text_Id::Unreadable_Files_Renamed);
    for (const std::wstring& path : paths) text += Get_CrLf() + path;
    Show_Message(text);
}
