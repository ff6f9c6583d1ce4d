#pragma once
// The real Windows clipboard, read the way Excel pastes text: as CF_UNICODETEXT (which Windows also
// offers for a CF_TEXT copy).
#include <windows.h>

#include <optional>
#include <string>

// The clipboard's text, or nothing when it offers none or stayed locked by another program.
std::optional<std::wstring> Read_Clipboard_Text(HWND owner);
