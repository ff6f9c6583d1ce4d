#pragma once
// The paste loop: every 200 ms it checks that the workbook is still there, takes a new copy from the
// clipboard, pastes it at Excel's active cell and moves the active cell on. It keeps control until the
// user ends pasting, closes the workbook or Excel, or closes the program's window.
#include <windows.h>

#include <string>

#include "excel_session.h"
#include "paste_state.h"
#include "text_paste.h"

// What the loop needs from the window it runs in.
class Paste_Loop_Host {
public:
    virtual ~Paste_Loop_Host() = default;
    // The end button was pressed ("貼付終了").
    virtual bool Stop_Requested() = 0;
    virtual void Clear_Stop_Request() = 0;
    // The program's window was closed while the loop waited: leave at once, Excel untouched.
    virtual bool Window_Closed() = 0;
    // Back to the set-up screen (after Excel or the workbook was closed).
    virtual void Return_To_Setup() = 0;
    virtual HWND Main_Window() = 0;
    virtual Text_Edits Edits() = 0;
    // Copy history: a new text to record, and the once-a-minute and final saves.
    virtual void Record_Text(const std::wstring&) {}
    virtual void Autosave_Histories(int /*second*/) {}
    virtual void Write_Histories() {}
};

// How the loop ended.
enum class Paste_Loop_End { Stopped, Excel_Closed, Window_Closed };

Paste_Loop_End Excel_ツール_CellDrop2(Excel_Session& excel, const Paste_Options& options, Clip_State& clip,
                                         Paste_Loop_Host& host);

// The messages of a paste run.
inline const std::wstring Excel_Closed_Message = L"Excelが閉じられました。\r\n「Excelへの貼付コントロール」を止めます。";
