#pragma once
// The system's file choosers: the open-file dialog, and the start-folder callback of the folder
// chooser (folder_browse.h).
#include <shlobj.h>
#include <windows.h>

#include <string>

struct Open_File_State {
    std::wstring Ofd_Title;   // the dialog's title
    std::wstring Ofd_Filter;  // "description|patterns|description|patterns", the first one selected
    std::wstring Ofd_Path;    // in: the text of the box that asked; out: the chosen file
    bool Dialog_Cancelled = true;
};

// Shows the open-file dialog owned by the window, starting in the deepest existing folder of
// Ofd_Path (else C:\). A chosen file goes into Ofd_Path with Dialog_Cancelled false; on Cancel only
// Dialog_Cancelled changes, to true. A dialog the system cannot show is reported in a message.
void Open_File_Dialog(HWND owner, Open_File_State& state);

// The folder chooser's callback: once the chooser is up, it selects the folder whose path came as
// the callback data.
int CALLBACK Browse_Callback(HWND chooser, UINT message, LPARAM parameter, LPARAM data);

// Hands a callback on unchanged, so that the chooser takes its callback from this module:
//   info.lpfn = Callback_Address(Browse_Callback);
inline BFFCALLBACK Callback_Address(BFFCALLBACK callback) { return callback; }
