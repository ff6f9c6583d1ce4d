#pragma once
// The line written before a picture when the user asks for it: when the copy was made and in which
// window, so that a screenshot kept as evidence says when and where it was taken.
#include <windows.h>

#include <string>

// "yyyy/mm/dd hh:mm:ss", then a space and the window's title when there is one.
std::wstring Picture_Caption(const SYSTEMTIME& copied_at, const std::wstring& front_window);

// The title of the window in front now; empty when there is none, it has no title, or it is one of
// this program's own windows.
std::wstring Front_Window_Title();
