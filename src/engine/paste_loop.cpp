#include "paste_loop.h"

#include <algorithm>
#include <optional>

#include "message_box.h"
#include "message_pump.h"
#include "mouse_pointer.h"
#include "wait.h"
#include "window_titles.h"

#include "clipboard.h"
#include "picture_paste.h"

namespace {

// The copies a full queue let go: not pasted, but kept in the history. How many there were.
int Record_Skipped(Clipboard_Capture& capture, Paste_Loop_Host& host) {
    const std::vector<Captured_Copy> skipped = capture.Take_Skipped();
    for (const Captured_Copy& copy : skipped) {
        if (!copy.Paste_Source.empty()) continue;
        if (copy.Text && !copy.Text_Done) host.Record_Text(*copy.Text);
        if (copy.Picture) host.Record_Picture(*copy.Picture);
    }
    return static_cast<int>(skipped.size());
}

// Puts the copy back on the clipboard for a paste that reads it there, when a newer copy (or the
// program's own emptying) has replaced it meanwhile. The write is the program's, not a new copy.
bool Clipboard_Holds(Captured_Copy& copy, Clipboard_Capture& capture, bool picture) {
    if (Clipboard_Sequence() == copy.Sequence) return true;
    const bool put = picture ? copy.Picture && Clipboard_Set_Picture(*copy.Picture)
                             : copy.Text && Clipboard_Set_Text(*copy.Text);
    if (!put) return false;
    capture.Ignore_Current();
    copy.Sequence = Clipboard_Sequence();
    return true;
}

// One pass's paste of the oldest copy waiting: its text when it differs from the last text taken,
// else its picture (a copy offering both has its picture pasted one pass after its text). The rows it
// filled; nothing when nothing was pasted, or the paste failed: the active cell stays.
std::optional<long> Paste_Oldest_Copy(const Excel_Session& excel, const Paste_Options& options, Clip_State& clip,
                       Clipboard_Capture& capture, Paste_Loop_Host& host) {
    Captured_Copy& copy = capture.Oldest();
    copy.Started = true;
    if (copy.Text && !copy.Text_Done && *copy.Text != clip.Clip_Text_Last) {
        copy.Text_Done = true;
        clip.Clip_Text = *copy.Text;
        clip.Clip_Text_Last = clip.Clip_Text;
        (void)excel.Excel_ツール_CellDrop2_Activate();
        if (copy.Paste_Source.empty()) host.Record_Text(clip.Clip_Text);
        const bool reads_clipboard = Text_Paste_Reads_Clipboard(options.Text_Mode);
        const bool ready = !reads_clipboard || Clipboard_Holds(copy, capture, false);
        if (!copy.Has_Picture) capture.Pop();
        if (!ready) return std::nullopt;
        const Text_Paste_Result pasted = Paste_Text(excel, clip.Clip_Text, options.Text_Mode, host.Edits());
        return pasted ? std::optional<long>(pasted.Rows) : std::nullopt;
    }
    if (!copy.Has_Picture) {
        capture.Pop();  // the same text as the last one: no new copy
        return std::nullopt;
    }
    Captured_Copy picture = std::move(copy);
    capture.Pop();
    (void)excel.Excel_ツール_CellDrop2_Activate();
    // The history's work for a picture (its thumbnail, its file waiting to be written) comes after the
    // paste, which the user is waiting for; the picture is recorded whether or not the paste worked.
    const bool pasted =
        Clipboard_Holds(picture, capture, true) && Paste_Picture(excel, options.Pic_Format, clip, picture.Sequence);
    if (pasted) Size_Picture(excel, options.Pic_Size);
    if (picture.Paste_Source.empty() && picture.Picture) host.Record_Picture(*picture.Picture);
    return pasted ? std::optional<long>(1) : std::nullopt;
}

// Both histories, at the end of a run, with the copies a full queue let go.
void Write_Histories(Clipboard_Capture& capture, Paste_Loop_Host& host) {
    (void)Record_Skipped(capture, host);
    host.Write_Text_History();
    host.Write_Picture_History();
}

// The active cell moves one to the right of the pasted block's top cell, or to the row below its last
// row: a copy of several lines must not land on its own second line.
void Move_Active_Cell(const Excel_Session& excel, const std::wstring& move_mode, long rows_pasted) {
    long row = 0, column = 0;
    if (!excel.Active_Cell_Position(row, column)) return;
    if (move_mode == L"右へ") ++column;
    if (move_mode == L"下へ") row += std::max(rows_pasted, 1L);
    Error_State errors;
    excel.Select_Cell(row, column, errors);
}

}  // namespace

int Local_Second() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wSecond;
}

void History_Autosave(int now_second, int& last_second, Paste_Loop_Host& host) {
    if (now_second == last_second) return;
    if (now_second == 0 && host.Text_History_Changed()) host.Write_Text_History();
    if (now_second == 30 && host.Picture_History_Changed()) host.Write_Picture_History();
    last_second = now_second;
}

Paste_Loop_End Excel_ツール_CellDrop2(Excel_Session& excel, const Paste_Options& options, Clip_State& clip,
                                         Clipboard_Capture& capture, Paste_Loop_Host& host, int (*now_second)()) {
    host.Clear_Stop_Request();
    int last_second = 0;
    while (true) {
        Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
        // A copy waiting ends the wait at once: it is pasted now, not at the next tick.
        (void)Wait_Time_Until(200, [&] { return !capture.Empty() || host.Stop_Requested() || host.Window_Closed(); });
        if (host.Window_Closed() || Quit_Requested()) {
            // Excel and the workbook stay open for the user to save.
            Write_Histories(capture, host);
            return Paste_Loop_End::Window_Closed;
        }

        History_Autosave(now_second(), last_second, host);

        // One call per pass tells whether the workbook is still there; its name is read only when needed.
        const Call_Result workbook = excel.Active_Workbook();
        // Excel busy for longer than the retries (a cell being edited, a dialog open) is still there:
        // look again at the next pass instead of ending the run.
        if (Is_Busy_Answer(workbook.Hr)) continue;
        if (!workbook.Ok()) {
            Show_Message(Excel_Closed_Message);
            Write_Histories(capture, host);
            host.Return_To_Setup();
            return Paste_Loop_End::Excel_Closed;
        }
        if (host.Stop_Requested()) {
            std::wstring name;
            (void)workbook.Object().Get(L"Name").Value.To_Text(name);
            if (!name.empty() && Activate_Window_Titled(host.Main_Window(), name)) Do_Events();
            excel.Close_Active_Workbook();
            excel.Xl_Quit();
            Write_Histories(capture, host);
            return Paste_Loop_End::Stopped;
        }
        if (const int skipped = Record_Skipped(capture, host))
            Show_Message(L"コピーが続いたため、" + std::to_wstring(skipped) +
                         L"件のコピーを貼り付けませんでした。コピー履歴には残っています。");
        if (options.Paste_On == 0 || capture.Empty()) continue;
        if (const auto rows = Paste_Oldest_Copy(excel, options, clip, capture, host)) {
            Do_Events();  // copies made during the paste are taken before the next one replaces them
            Move_Active_Cell(excel, options.Move_Mode, *rows);
        }
    }
}
