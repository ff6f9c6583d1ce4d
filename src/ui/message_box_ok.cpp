#include "message_box_ok.h"

#include "window_layer.h"

namespace {

int Show_Box(HWND owner, const std::wstring& text, const std::wstring& title, UINT buttons) {
    const bool has_owner = owner && IsWindow(owner);
    if (has_owner) Window_Topmost_On(owner);
    const int answer = MessageBoxW(has_owner ? owner : nullptr, text.c_str(), title.c_str(), buttons);
    // The owner may have been closed while the box was open (a timer or the paste loop ran meanwhile).
    if (has_owner && IsWindow(owner)) Window_Topmost_Off(owner);
    return answer;
}

}  // namespace

void Message_Box_Ok(HWND owner, const std::wstring& text, const std::wstring& title) {
    (void)Show_Box(owner, text, title, MB_OK);
}

bool Message_Box_Yes_No(HWND owner, const std::wstring& text, const std::wstring& title) {
    return Show_Box(owner, text, title, MB_YESNO) == IDYES;
}
