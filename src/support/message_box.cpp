#include "message_box.h"

#include <windows.h>

#include <utility>

namespace {

Message_Handler& Handler() {
    static Message_Handler handler;
    return handler;
}

}  // namespace

Message_Handler Set_Message_Handler(Message_Handler handler) { return std::exchange(Handler(), std::move(handler)); }

bool Has_Message_Handler() { return static_cast<bool>(Handler()); }

void Show_Message(const std::wstring& text) {
    if (Handler()) {
        Handler()(text);
        return;
    }
    MessageBoxW(nullptr, text.c_str(), L"", MB_OK);
}
