#pragma once
// The system's folder chooser.
#include <windows.h>

#include <string>

struct Folder_Browse_State {
    std::wstring Browse_Title;  // the line shown above the folder tree
    std::wstring Browse_Path;   // in: the folder selected when it opens; out: the chosen folder
    bool Dialog_Cancelled = true;
};

// Shows the chooser owned by the window. On OK Browse_Path becomes the chosen folder and
// Dialog_Cancelled false; on Cancel nothing changes but Dialog_Cancelled, which stays true.
void Folder_Browse(HWND owner, Folder_Browse_State& state);
