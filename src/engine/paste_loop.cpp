#include "paste_loop.h"

#include "message_box.h"
#include "message_pump.h"
#include "mouse_pointer.h"
#include "wait.h"
#include "window_titles.h"

namespace {

int Now_Second() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wSecond;
}

// The active cell moves one to the right or one down from where the paste left it.
void Move_Active_Cell(const Excel_Session& excel, const std::wstring& move_mode) {
    long row = 0, column = 0;
    if (!excel.Active_Cell_Position(row, column)) return;
    if (move_mode == L"右へ") ++column;
    if (move_mode == L"下へ") ++row;
    Error_State errors;
    excel.Select_Cell(row, column, errors);
}

}  // namespace

Paste_Loop_End Excel_ツール_CellDrop2(Excel_Session& excel, const Paste_Options& options, Clip_State& clip,
                                         Paste_Loop_Host& host) {
    host.Clear_Stop_Request();
    int last_second = 0;
    while (true) {
        Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
        Wait_Time(200);
        if (host.Window_Closed() || Quit_Requested()) {
            // Excel and the workbook stay open for the user to save.
            host.Write_Histories();
            return Paste_Loop_End::Window_Closed;
        }

        const int second = Now_Second();
        if (second != last_second) host.Autosave_Histories(second);
        last_second = second;

        // One call per pass tells whether the workbook is still there; its name is read only when needed.
        const Call_Result workbook = excel.Active_Workbook();
        // Excel busy for longer than the retries (a cell being edited, a dialog open) is still there:
        // look again at the next pass instead of ending the run.
        if (workbook.Hr == RPC_E_CALL_REJECTED || workbook.Hr == RPC_E_SERVERCALL_RETRYLATER) continue;
        if (!workbook.Ok()) {
            Show_Message(Excel_Closed_Message);
            host.Write_Histories();
            host.Return_To_Setup();
            return Paste_Loop_End::Excel_Closed;
        }
        if (host.Stop_Requested()) {
            std::wstring name;
            (void)workbook.Object().Get(L"Name").Value.To_Text(name);
            if (!name.empty() && Activate_Window_Titled(host.Main_Window(), name)) Do_Events();
            excel.Close_Active_Workbook();
            excel.Xl_Quit();
            host.Write_Histories();
            return Paste_Loop_End::Stopped;
        }
        if (options.Paste_On == 0) continue;

        const Clipboard_Snapshot snapshot = Excel_ツール_CellDrop2_GetData(clip);
        // Held open by another program: the copy is taken at a later pass, never lost.
        if (snapshot.Busy || !snapshot.Has_Content || snapshot.Private) continue;

        if (snapshot.Has_Text && clip.Clip_Text != clip.Clip_Text_Last) {
            clip.Clip_Text_Last = clip.Clip_Text;
            (void)excel.Excel_ツール_CellDrop2_Activate();
            if (!clip.Paste_Source.empty())
                clip.Paste_Source.clear();
            else
                host.Record_Text(clip.Clip_Text);
            if (!Paste_Text(excel, clip.Clip_Text, options.Text_Mode, host.Edits())) continue;
        } else {
            // No new text. Pictures are pasted by the picture paste, which comes with its own module.
            continue;
        }
        Move_Active_Cell(excel, options.Move_Mode);
    }
}
