#pragma once
// Where the program's messages go. The main form installs the OK-only message box that holds the main
// window topmost; tests install a recorder. Without one, a plain OK-only
// message box is shown. The one question the program asks (Yes or No) goes the same way.
#include <functional>
#include <string>

using Message_Handler = std::function<void(const std::wstring& text)>;
using Question_Handler = std::function<bool(const std::wstring& text)>;

// Installs the handler and returns the one it replaces.
Message_Handler Set_Message_Handler(Message_Handler handler);
Question_Handler Set_Question_Handler(Question_Handler handler);

bool Has_Message_Handler();

// Shows an OK-only message through the installed handler.
void Show_Message(const std::wstring& text);
// Asks a Yes/No question through the installed handler; true for Yes.
bool Ask_Yes_No(const std::wstring& text);

// Whether a message or a question is open now: window messages run while it waits for the user, and
// what they start must not open a second box over it.
bool Message_Open();
