#pragma once
// What a click on a line of the file and URL quick lists opens: a file by its path relative to the
// list's folder (workbooks inside the paste run's Excel, other files with the program Windows
// associates with them), or a URL in Chrome.
#include <windows.h>

#include <string>

enum class File_Line_Kind { Empty, Missing, Locked, Workbook, Other };

struct File_Line {
    std::wstring Path;  // the folder and the line joined
    File_Line_Kind Kind = File_Line_Kind::Empty;
};

// What the line names: nothing (an empty line), a missing file (or a folder), a file another program
// holds open, an Excel workbook (.xls, .xlsx, .xlsm in any case), or any other file.
File_Line Classify_File_Line(const std::wstring& folder, const std::wstring& line);

// Opens the file with its associated program, as a double click in Explorer does. False when Windows
// could not start one (Windows has said why already).
bool ShellExecuteEx_Process(HWND owner, const std::wstring& path);

// Starts Chrome by the full path registered under App Paths (the user's, else the machine's), with
// the url as one argument. False when Chrome is not registered or could not be started; nothing is
// shown then.
bool Start_Chrome(HWND owner, const std::wstring& url);
