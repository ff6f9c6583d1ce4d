#include "hot_keys.h"
#include "ui_text.h"

namespace {

// ToUnicodeEx leaves the keyboard's dead-key state as it was (Windows 10 1607 and later; earlier
// systems ignore the flag).
constexpr UINT Keep_Keyboard_State = 0x4;

}  // namespace

bool Ctrl_Alt_Types_Character(HKL layout, UINT virtual_key) {
    BYTE keys[256] = {};
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    keys[VK_MENU] = keys[VK_RMENU] = 0x80;
    const UINT scan = MapVirtualKeyExW(virtual_key, MAPVK_VK_TO_VSC, layout);
    wchar_t typed[8] = {};
    const int count =
        ToUnicodeEx(virtual_key, scan, keys, typed, static_cast<int>(std::size(typed)), Keep_Keyboard_State, layout);
    // A control character (below 0x20) is what Ctrl gives on any layout, not a typed character.
    return count != 0 && typed[0] >= 0x20;
}

Hot_Keys::Hot_Keys(HWND window, std::span<const Hot_Key> keys) : window_(window) {
    const HKL layout = GetKeyboardLayout(0);
    for (const Hot_Key& key : keys) {
        Hot_Key_State state = Hot_Key_State::Held;
        if (Ctrl_Alt_Types_Character(layout, key.Virtual_Key))
            state = Hot_Key_State::Types_Character;
        else if (!RegisterHotKey(window, key.Id, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, key.Virtual_Key))
            state = Hot_Key_State::Taken;
        entries_.push_back({key, state});
    }
}

Hot_Keys::~Hot_Keys() {
    for (const Entry& e : entries_)
        if (e.State == Hot_Key_State::Held) UnregisterHotKey(window_, e.Key.Id);
}

Hot_Key_State Hot_Keys::State(int id) const {
    for (const Entry& e : entries_)
        if (e.Key.Id == id) return e.State;
    return Hot_Key_State::Taken;
}

std::wstring Hot_Keys::Problems() const {
    std::wstring line;
    for (const Entry& e : entries_) {
        if (e.State == Hot_Key_State::Held) continue;
        if (!line.empty()) line += Ui_Text(Text_Id::Notice_Separator);
        line += Ui_Format(e.State == Hot_Key_State::Taken ? Text_Id::Hot_Key_Taken : Text_Id::Hot_Key_Types_Character,
                          {e.Key.Name});
    }
    return line;
}
