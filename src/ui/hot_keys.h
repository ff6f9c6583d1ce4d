#pragma once
// Keys that reach this program whichever program is in front (RegisterHotKey), held for the lifetime
// of an object: a paste run holds Ctrl+Alt combinations so that the user can steer it without
// leaving Excel.
//
//     const Hot_Key keys[] = {{1, 'P', L"Ctrl+Alt+P"}};
//     Hot_Keys held(window, keys);   // WM_HOTKEY with wParam 1 until `held` goes
#include <windows.h>

#include <span>
#include <string>
#include <vector>

// Ctrl+Alt and one key.
struct Hot_Key {
    int Id;
    UINT Virtual_Key;
    const wchar_t* Name;  // as the user reads it: "Ctrl+Alt+P"
};

enum class Hot_Key_State {
    Held,
    Taken,            // another program holds it
    Types_Character,  // on this keyboard layout Ctrl+Alt with the key types a character (AltGr)
};

// True when Ctrl+Alt with the key types a character on the layout, as AltGr layouts do (Polish
// Ctrl+Alt+Z is "ż"): holding it would take that character from the user's typing.
bool Ctrl_Alt_Types_Character(HKL layout, UINT virtual_key);

class Hot_Keys {
public:
    Hot_Keys(HWND window, std::span<const Hot_Key> keys);
    Hot_Keys(const Hot_Keys&) = delete;
    Hot_Keys& operator=(const Hot_Keys&) = delete;
    ~Hot_Keys();

    Hot_Key_State State(int id) const;
    // One line naming every key not held and why; empty when all are held.
    std::wstring Problems() const;

private:
    struct Entry {
        Hot_Key Key;
        Hot_Key_State State;
    };
    HWND window_;
    std::vector<Entry> entries_;
};
