#pragma once
// What a test does as the user in front of Excel: the standin::Command messages of
// standin_protocol.h, sent by WM_COPYDATA to the stand-in's window.
#include <windows.h>

#include <string_view>

class Stand_In;

// True when the command was done; false for an unknown command or one that made no sense in the
// current state (no such sheet, a taken name, no book open, the last sheet deleted). The state
// file is saved either way.
[[nodiscard]] bool Run_User_Command(Stand_In& stand_in, ULONG_PTR command, std::wstring_view text);
