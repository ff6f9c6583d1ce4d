#include "message_box_ok.h"

#include "window_layer.h"

void Message_Box_Ok(HWND owner, const std::wstring& text, const std::wstring& title) {
    const bool has_owner = owner && IsWindow(owner);
    if (has_owner) Window_Topmost_On(owner);
    MessageBoxW(has_owner ? owner : nullptr, text.c_str(), title.c_str(), MB_OK);
    // The owner may have been closed while the box was open (a timer or the paste loop ran meanwhile).
    if (has_owner && IsWindow(owner)) Window_Topmost_Off(owner);
}
