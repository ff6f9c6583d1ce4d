#pragma once
// The line written before a picture when the user asks for it, and the text the picture itself
// carries: its step number, when the copy was made and in which window, so that a screenshot kept
// as evidence says what step it shows and when and where it was taken.
#include <windows.h>

#include <optional>
#include <string>

// "yyyy/mm/dd hh:mm:ss", then a space and the window's title when there is one.
std::wstring Picture_Caption(const SYSTEMTIME& copied_at, const std::wstring& front_window);

// The caption cell: "No.n", the time and window after it when asked for ("No.n yyyy/mm/dd hh:mm:ss
// title"); without a number, the time and window alone.
std::wstring Picture_Caption(std::optional<int> number, bool with_time, const SYSTEMTIME& copied_at,
                             const std::wstring& front_window);

// The picture's alternative text: its number when it has one, the time, the window's title and its
// program's file name: "No.2 2026/04/01 09:30:15 受注一覧 - Google Chrome (chrome.exe)".
std::wstring Picture_Alternative_Text(std::optional<int> number, const SYSTEMTIME& copied_at,
                                      const std::wstring& front_window, const std::wstring& program);

// The title of the window in front now; empty when there is none, it has no title, or it is one of
// this program's own windows.
std::wstring Front_Window_Title();
// The file name of the program whose window is in front now ("chrome.exe"); empty as for the title,
// or when the system does not tell.
std::wstring Front_Window_Program();
