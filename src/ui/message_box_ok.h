#pragma once
// The program's message boxes: OK only, or the one Yes/No question, with the owner window held in the
// topmost layer meanwhile, so the message shows in front of every other window (Excel included).
#include <windows.h>

#include <string>

void Message_Box_Ok(HWND owner, const std::wstring& text, const std::wstring& title);
// True for Yes.
bool Message_Box_Yes_No(HWND owner, const std::wstring& text, const std::wstring& title);
