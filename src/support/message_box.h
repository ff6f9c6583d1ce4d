#pragma once
// Where the support library's messages go. The program's window layer installs the OK-only message
// box that holds the main window topmost; tests install a recorder. Without one, a plain OK-only
// message box is shown.
#include <functional>
#include <string>

using Message_Handler = std::function<void(const std::wstring& text)>;

// Installs the handler and returns the one it replaces.
Message_Handler Set_Message_Handler(Message_Handler handler);

bool Has_Message_Handler();

// Shows an OK-only message through the installed handler.
void Show_Message(const std::wstring& text);
