#pragma once
// What the main form tells the user of its files: the settings files a pass could not write, and the
// files a load found unreadable and renamed aside.
#include <string>
#include <vector>

#include "param_format.h"

// Remembers a settings file that could not be written; Report names them all once.
class Save_Failures {
public:
    void Note_Save(const File_Write_Result& result, const std::wstring& path) {
        if (!result.Ok) failed_.push_back(path);
    }
    void Add(const std::wstring& path) { failed_.push_back(path); }
    // The message naming every file noted since the last report, when there is one.
    void Report_Save_Failures();

private:
    std::vector<std::wstring> failed_;
};

// Names the files a load found unreadable and renamed aside.
void Report_Moved_Aside(const std::vector<std::wstring>& paths);
