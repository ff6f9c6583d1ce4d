#pragma once
// The program's message box: OK only, with the owner window held in the topmost layer meanwhile,
// so the message shows in front of every other window (Excel included).
#include <windows.h>

#include <string>

void Message_Box_Ok(HWND owner, const std::wstring& text, const std::wstring& title);
