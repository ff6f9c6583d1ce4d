#pragma once
// The paste loop: it takes the copies the capture queued, oldest first, pastes each at Excel's active
// cell and moves the active cell on (texts that waited together in one write); before each paste, and
// once a second while nothing is copied, it checks that the workbook is still there.
// It keeps control until the user ends pasting (and Excel has closed, or did not answer for
// Stop_Wait_Ms), closes the workbook or Excel, or closes the program's window. However it ends, it
// lets go of Excel and writes both histories.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bitmap_image.h"
#include "clipboard_capture.h"
#include "excel_session.h"
#include "paste_journal.h"
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
    // Copy history: what a capture records, and the saves (each leaves its history changed when a
    // file could not be written, so that the next save tries again).
    virtual void Record_Text(const std::wstring& text) = 0;
    // The texts one pass pasted, oldest first, recorded together once their paste is over. The list
    // may show them only at Show_Recorded_Texts: while copies keep coming, its redraw would hold them up.
    virtual void Record_Texts(const std::vector<std::wstring>& texts) {
        for (const std::wstring& text : texts) Record_Text(text);
    }
    virtual void Show_Recorded_Texts() {}
    // A picture for the history. Its history entry may be made elsewhere and shown only at
    // Show_Recorded_Pictures, which the loop calls when copies pause, and the saves include it.
    virtual void Record_Picture(Bitmap_Image picture) = 0;
    // A copy's picture as it was copied: decoded for the history here, or where its entry is made.
    virtual void Record_Copied_Picture(std::shared_ptr<const Clipboard_Picture_Bytes> picture) {
        if (std::optional<Bitmap_Image> image = Decode_Picture_Bytes(*picture)) Record_Picture(std::move(*image));
    }
    virtual void Show_Recorded_Pictures() {}
    virtual bool Text_History_Changed() = 0;
    virtual bool Picture_History_Changed() = 0;
    virtual void Write_Text_History() = 0;
    virtual void Write_Picture_History() = 0;
    // Where each paste is recorded, so that the window can take it back.
    virtual Paste_Journal& Journal() = 0;
    // A paste failed while the run goes on: said where the user sees it, with how many failed so far,
    // without stopping the pastes after it (a message box would hold every later copy until someone
    // answers it, while the user works in Excel and does not see it).
    virtual void Paste_Failed(const std::wstring& message) = 0;
    // Copies that came faster than they could be pasted were not pasted: said the same way (the
    // message counts them itself).
    virtual void Copies_Skipped(const std::wstring& message) = 0;
    // A paste and its cell move are over: what waited for them (a take-back) may run.
    virtual void Paste_Step_Done() {}
    // The step number the next numbered picture gets, and the one after a picture took it.
    virtual int Next_Picture_Number() { return 1; }
    virtual void Set_Next_Picture_Number(int) {}
};

// The one way a run lets go of Excel: the take-back journal is cleared first, then every reference
// to Excel is dropped (after asking it to quit, when quit).
void Let_Go_Of_Excel(Excel_Session& excel, Paste_Journal& journal, bool quit = false);

// The seconds of the local clock's minute (0 to 59).
int Local_Second();

// The once-a-minute saves of a pass: the texts at second 0, the pictures at second 30, each only
// when changed, and each once however many passes fall into that second.
void History_Autosave(int now_second, int& last_second, Paste_Loop_Host& host);

// The copies not pasted, those a full queue let go and those still waiting, enter the copy history
// oldest first; the queue is empty after. How many there were.
int Keep_Waiting_Copies(Clipboard_Capture& capture, Paste_Loop_Host& host);

// How long an ended run waits for a busy Excel before it lets go of it.
constexpr unsigned Stop_Wait_Ms = 30000;

// How the loop ended.
enum class Paste_Loop_End { Stopped, Excel_Closed, Window_Closed };

Paste_Loop_End Excel_ツール_CellDrop2(Excel_Session& excel, const Paste_Options& options, Clip_State& clip,
                                      Clipboard_Capture& capture, Paste_Loop_Host& host,
                                      int (*now_second)() = Local_Second);

// Copies that came faster than they could be pasted: the oldest waiting ones were not pasted.
std::wstring Skipped_Copies_Message(int count);
