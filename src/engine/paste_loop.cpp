#include "paste_loop.h"

#include <algorithm>

#include "message_box.h"
#include "message_pump.h"
#include "mouse_pointer.h"
#include "wait.h"
#include "window_titles.h"

#include "picture_paste.h"

namespace {

// Both histories, at the end of a run.
void Write_Histories(Paste_Loop_Host& host) {
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
                                         Paste_Loop_Host& host, int (*now_second)()) {
    host.Clear_Stop_Request();
    int last_second = 0;
    while (true) {
        Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
        Wait_Time(200);
        if (host.Window_Closed() || Quit_Requested()) {
            // Excel and the workbook stay open for the user to save.
            Write_Histories(host);
            return Paste_Loop_End::Window_Closed;
        }

        History_Autosave(now_second(), last_second, host);

        // One call per pass tells whether the workbook is still there; its name is read only when needed.
        const Call_Result workbook = excel.Active_Workbook();
        // Excel busy for longer than the retries (a cell being edited, a dialog open) is still there:
        // look again at the next pass instead of ending the run.
        if (workbook.Hr == RPC_E_CALL_REJECTED || workbook.Hr == RPC_E_SERVERCALL_RETRYLATER) continue;
        if (!workbook.Ok()) {
            Show_Message(Excel_Closed_Message);
            Write_Histories(host);
            host.Return_To_Setup();
            return Paste_Loop_End::Excel_Closed;
        }
        if (host.Stop_Requested()) {
            std::wstring name;
            (void)workbook.Object().Get(L"Name").Value.To_Text(name);
            if (!name.empty() && Activate_Window_Titled(host.Main_Window(), name)) Do_Events();
            excel.Close_Active_Workbook();
            excel.Xl_Quit();
            Write_Histories(host);
            return Paste_Loop_End::Stopped;
        }
        if (options.Paste_On == 0) continue;

        const Clipboard_Snapshot snapshot = Excel_ツール_CellDrop2_GetData(clip);
        // Held open by another program: the copy is taken at a later pass, never lost.
        if (snapshot.Busy || !snapshot.Has_Content || snapshot.Private) continue;

        Text_Paste_Result pasted;
        if (snapshot.Has_Text && clip.Clip_Text != clip.Clip_Text_Last) {
            clip.Clip_Text_Last = clip.Clip_Text;
            (void)excel.Excel_ツール_CellDrop2_Activate();
            if (!clip.Paste_Source.empty())
                clip.Paste_Source.clear();
            else
                host.Record_Text(clip.Clip_Text);
            pasted = Paste_Text(excel, clip.Clip_Text, options.Text_Mode, host.Edits());
            if (!pasted) continue;
        } else if (snapshot.Has_Picture) {
            (void)excel.Excel_ツール_CellDrop2_Activate();
            if (!clip.Paste_Source.empty()) {
                clip.Paste_Source.clear();
            } else if (const auto picture = Clipboard_Read_Picture()) {
                host.Record_Picture(*picture);
            }
            if (!Paste_Picture(excel, options.Pic_Format, clip)) continue;
            Size_Picture(excel, options.Pic_Size);
        } else {
            continue;
        }
        Move_Active_Cell(excel, options.Move_Mode, pasted.Rows);
    }
}
