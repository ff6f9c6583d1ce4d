#pragma once
// Small pictures and tooltips for buttons that have no caption: the shell's own file or folder picture
// drawn on the button, and a tip naming what the button opens when the pointer rests on it.
//
//     Button_Pictures pictures;
//     pictures.Add(form_hwnd, button_hwnd, Stock_Picture::Folder, L"フォルダーを選ぶ");
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

enum class Stock_Picture { File, Folder };

// Owns the icons and picture lists it put on buttons and the one tooltip window it made; all go with
// it, so it must live as long as the buttons (a member of the form that owns them).
class Button_Pictures {
public:
    Button_Pictures() = default;
    Button_Pictures(const Button_Pictures&) = delete;
    Button_Pictures& operator=(const Button_Pictures&) = delete;
    ~Button_Pictures();

    // Shows the picture on the button, sized to fit inside its frame (greyed while the button is
    // disabled), and gives it the tip. The tip is added even when the shell has no such icon, so the
    // button still says what it does.
    void Add(HWND owner, HWND button, Stock_Picture picture, const std::wstring& tip);

private:
    HWND Tooltip(HWND owner);

    std::vector<HICON> icons_;
    std::vector<HIMAGELIST> state_pictures_;
    HWND tooltip_ = nullptr;
};
