#include "paste_run.h"

#include "case_sheet.h"

#include "message_box.h"
#include "ui_text.h"

bool Paste_Run::Watch_Clipboard(HWND notify) {
    Take_Clipboard_As_Seen();
    const bool watched = capture_.Start(notify);
    journal_.Clear();
    take_back_turns_.Drop_Waiting();  // a press the last run had no time for
    return watched;
}

void Paste_Run::Take_Clipboard_As_Seen() {
    Excel_ツール_CellDrop2_Clear(clip_);
    (void)Excel_ツール_CellDrop2_GetData(clip_);
    clip_.Clip_Text_Last = clip_.Clip_Text;
}

Paste_Loop_End Paste_Run::Paste(const Paste_Options& options, Paste_Loop_Host& host) {
    in_paste_loop_ = true;
    const Paste_Loop_End end = Excel_ツール_CellDrop2(excel_, options, clip_, capture_, host);
    in_paste_loop_ = false;
    return end;
}

void Paste_Run::End() {
    capture_.Stop();
    Let_Go_Of_Excel(excel_, journal_);
    active_ = false;
}

void Paste_Run::Mark_Next(Copy_Source source) {
    clip_.Paste_Source = source;
    capture_.Mark_Next(source);
}

void Paste_Run::Set_Pasting(bool on, Paste_Loop_Host& host) {
    capture_.Set_Taking(on);
    // The copies waiting are not pasted later, at whatever cell is active then; they are kept in
    // the history.
    if (!on) (void)Keep_Waiting_Copies(capture_, host);
    // Whatever was copied while pasting was off is never pasted.
    if (on) {
        Excel_ツール_CellDrop2_Clear(clip_);
        // Held by another program, the clipboard may keep that copy: it is still not pasted.
        capture_.Ignore_Current();
    }
}

void Paste_Run::Stop_Taking(Paste_Loop_Host& host) {
    capture_.Set_Taking(false);
    (void)Keep_Waiting_Copies(capture_, host);
}

void Paste_Run::On_Take_Back_Change(std::function<void()> changed) {
    take_back_changed_ = changed;
    journal_.On_Change(std::move(changed));
}

void Paste_Run::Take_Back_Last_Paste() {
    if (take_back_turns_.Press()) Make_Take_Backs();
}

void Paste_Run::Paste_Step_Done() {
    if (take_back_turns_.Waiting() > 0 && !take_back_turns_.Running()) Make_Take_Backs();
    if (case_sheet_waiting_) Make_Case_Sheet();
}

void Paste_Run::Add_Case_Sheet() {
    if (!in_paste_loop_) return;
    case_sheet_waiting_ = true;
    // Not between a paste and its cell move, nor inside a take-back: the next step's end makes it.
    if (!journal_.Pasting() && !take_back_turns_.Running()) Make_Case_Sheet();
}

void Paste_Run::Make_Case_Sheet() {
    // One sheet however often the button was pressed meanwhile; a second press after it adds another.
    case_sheet_waiting_ = false;
    if (!in_paste_loop_) return;
    // Held as a paste is, so that neither a paste nor a take-back runs while Excel's calls let
    // window messages run.
    journal_.Begin_Other_Work();
    const Call_Result added = ::Add_Case_Sheet(excel_);
    journal_.Step_Done();
    if (case_sheet_done_) case_sheet_done_(added);
    // Take-back presses that came meanwhile waited for the sheet.
    if (take_back_turns_.Waiting() > 0 && !take_back_turns_.Running()) Make_Take_Backs();
}

void Paste_Run::Paste_In_Order(const std::vector<std::wstring>& texts) {
    if (!in_paste_loop_ || texts.empty()) return;
    // The first may be the text pasted last: it is pasted again all the same.
    Forget_Last_Copy();
    capture_.Queue_Texts(texts, Copy_Source::History);
}

void Paste_Run::Make_Take_Backs() {
    // A paste being made is finished first (its step's end calls here again): the presses take it back too.
    if (journal_.Pasting()) {
        take_back_turns_.Hold();
        return;
    }
    while (take_back_turns_.Next()) {
        switch (journal_.Take_Back_Last(excel_)) {
            case Paste_Journal::Take_Back::Done:
                // The same text copied once more is a new copy again.
                clip_.Clip_Text_Last.clear();
                if (const int number = journal_.Taken_Back_Number(); number > 0 && number_taken_back_)
                    number_taken_back_(number);
                continue;
            case Paste_Journal::Take_Back::Changed:
                // Presses that came meanwhile were made before the user knew of the refusal.
                take_back_turns_.Drop_Waiting();
                if (Ask_Yes_No(Ui_Text(Text_Id::Changed_After_Paste))) journal_.Drop_Refused();
                continue;
            case Paste_Journal::Take_Back::Failed:
                take_back_turns_.Drop_Waiting();
                Show_Message(Ui_Text(Text_Id::Take_Back_Failed));
                continue;
            case Paste_Journal::Take_Back::Nothing:
                take_back_turns_.Drop_Waiting();
                continue;
        }
    }
    if (take_back_changed_) take_back_changed_();
}

std::wstring Paste_Run::Notice_Line() const {
    std::wstring line;
    if (excel_busy_) line = Ui_Format(Text_Id::Waiting_For_Excel, {std::to_wstring(capture_.Size())});
    if (!paste_notice_.empty()) line += (line.empty() ? L"" : Ui_Text(Text_Id::Notice_Separator)) + paste_notice_;
    return line;
}

void Paste_Run::Watch_Busy(bool watch) {
    Set_Busy_Watcher(watch ? static_cast<Busy_Watcher*>(this) : nullptr);
    excel_busy_ = false;
    // Each run counts its own failed pastes.
    if (watch) {
        paste_notice_.clear();
        failed_pastes_ = 0;
    }
}

void Paste_Run::Paste_Failed(const std::wstring& message) {
    paste_notice_ = Ui_Format(Text_Id::Failure_Count, {message, std::to_wstring(++failed_pastes_)});
}

void Paste_Run::Set_Notice(const std::wstring& message) { paste_notice_ = message; }

void Paste_Run::Server_Busy(bool busy) {
    excel_busy_ = busy;
    if (notice_changed_) notice_changed_();
}
