#pragma once
// How tests read what the Chrome stand-in and the open recorder were started with. Each appends one
// UTF-8 line, its whole command line (GetCommandLineW) and "\n", to the file its variable names, and
// writes nothing when the variable is unset. Programs the shell starts inherit the variables: a test
// sets them in its own process before it starts CellDrop.exe or calls ShellExecuteExW.
//
// tools/lib/wine_env.sh registers both in the Wine prefix under these names (it repeats them, as a
// shell script cannot include this header): ChromeStandIn.exe as "chrome.exe" under App Paths, and
// OpenRecorder.exe as the "open" command of the files that end in Test_Extension.

namespace recorder {

constexpr wchar_t Chrome_Log_Variable[] = L"CELLDROP_CHROME_LOG";
constexpr wchar_t Open_Log_Variable[] = L"CELLDROP_OPEN_LOG";

// A file type no real program claims, so that "open" on such a file always reaches the recorder.
constexpr wchar_t Test_Extension[] = L".celldroptest";
constexpr wchar_t Test_Progid[] = L"CellDrop.TestFile";

}  // namespace recorder
