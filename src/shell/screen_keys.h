#pragma once
// Which screen of the main form is showing: the screen-dependent procedures act only when both keys
// equal their own.
#include <string>

struct Screen_Keys {
    static constexpr const wchar_t* Group_Tool = L"ツール";
    static constexpr const wchar_t* Screen_Setup = L"CellDrop";
    static constexpr const wchar_t* Screen_Paste = L"CellDrop2";

    std::wstring Group_Key;
    std::wstring Screen_Key;

    bool Is_Screen(const wchar_t* screen) const { return Group_Key == Group_Tool && Screen_Key == screen; }
    void Show(const wchar_t* screen) {
        Group_Key = Group_Tool;
        Screen_Key = screen;
    }
};
