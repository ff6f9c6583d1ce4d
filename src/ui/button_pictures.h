#pragma once
// Small pictures and tooltips for buttons that have no caption: the shell's own file or folder picture
// drawn on the button, and a tip naming what the button opens when the pointer rests on it.
//
//     Button_Pictures pictures;
//     pictures.Add(button_hwnd, Stock_Picture::Folder, L"フォルダーを選ぶ");
//     pictures.Finish_Later(form_hwnd);  // once the form is shown
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "gdi_handles.h"

enum class Stock_Picture { File, Folder };

// Owns the icons and picture lists it put on buttons and the one tooltip window it made; all go with
// it, so it must live as long as the buttons (a member of the form that owns them).
class Button_Pictures {
public:
    Button_Pictures() = default;
    Button_Pictures(const Button_Pictures&) = delete;
    Button_Pictures& operator=(const Button_Pictures&) = delete;
    ~Button_Pictures();

    // Shows the picture on the button, sized to fit inside its frame, and gives it the tip. Its greyed
    // copy for a disabled button and the tip are made by Finish_Later; the tip is added even when the
    // shell has no such icon, so that the button still says what it does.
    void Add(HWND button, Stock_Picture picture, const std::wstring& tip);
    // Makes the greyed copies and the tips of the buttons added so far once the owner's waiting
    // messages, its painting included, have run (a timer's message comes after them): they are needed
    // only once a button is disabled or pointed at, and would add tens of milliseconds to a start.
    void Finish_Later(HWND owner);
    // Only the tip, for a control that has a caption (naming its keyboard shortcut, for instance).
    void Add_Tip(HWND owner, HWND control, const std::wstring& tip);

private:
    HWND Tooltip(HWND owner);

    struct Waiting {
        HWND Button;
        HICON Icon;       // nullptr when the shell has none
        HIMAGELIST List;  // the icon alone, to be given its greyed copy; nullptr when there is none
        std::wstring Tip;
    };
    // Gives the button the greyed copy of its picture and its tip.
    void Finish(HWND owner, const Waiting& waiting);
    static void CALLBACK On_Timer(HWND owner, UINT, UINT_PTR id, DWORD);

    std::vector<Waiting> waiting_;  // buttons whose greyed copy and tip are still to be made
    HWND timer_owner_ = nullptr;    // the window of the timer that makes them, while it runs

    std::vector<Icon_Handle> icons_;
    std::vector<Image_List_Handle> state_pictures_;
    Window_Handle tooltip_;  // gone already when its owner went first
};
