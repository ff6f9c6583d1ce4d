#include "message_box.h"

#include <windows.h>

#include <utility>

namespace {

Message_Handler& Handler() {
    static Message_Handler handler;
    return handler;
}

Question_Handler& Questions() {
    static Question_Handler handler;
    return handler;
}

int& Open_Boxes() {
    static int open = 0;
    return open;
}

// Counts the box as open for as long as it is shown.
class Open_Box {
public:
    Open_Box() { ++Open_Boxes(); }
    Open_Box(const Open_Box&) = delete;
    Open_Box& operator=(const Open_Box&) = delete;
    ~Open_Box() { --Open_Boxes(); }
};

}  // namespace

Message_Handler Set_Message_Handler(Message_Handler handler) { return std::exchange(Handler(), std::move(handler)); }

Question_Handler Set_Question_Handler(Question_Handler handler) {
    return std::exchange(Questions(), std::move(handler));
}

bool Has_Message_Handler() { return static_cast<bool>(Handler()); }

void Show_Message(const std::wstring& text) {
    const Open_Box open;
    if (Handler()) {
        Handler()(text);
        return;
    }
    MessageBoxW(nullptr, text.c_str(), L"", MB_OK);
}

bool Ask_Yes_No(const std::wstring& text) {
    const Open_Box open;
    if (Questions()) return Questions()(text);
    return MessageBoxW(nullptr, text.c_str(), L"", MB_YESNO) == IDYES;
}

bool Message_Open() { return Open_Boxes() > 0; }
