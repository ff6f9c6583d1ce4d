#pragma once
// One paste run, from the start button to the end of the paste loop: the clipboard capture, the Excel
// session, the take-back journal and its turns, the clipboard state, and what the notice line says.
// However a run ends, it lets go of Excel in one order (the journal, then Excel).
//
//     run.Begin();                                  // no second run starts until End
//     if (!run.Watch_Clipboard(window)) ...         // from here on every copy is taken
//     if (run.Start_Excel()) { run.Open_Target(path); (void)run.Paste(options, host); }
//     run.End();
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "automation.h"
#include "clipboard_capture.h"
#include "excel_session.h"
#include "paste_journal.h"
#include "paste_loop.h"
#include "paste_options.h"
#include "paste_state.h"
#include "take_back_turns.h"

class Paste_Run : private Busy_Watcher {
public:
    Paste_Run() = default;
    Paste_Run(const Paste_Run&) = delete;
    Paste_Run& operator=(const Paste_Run&) = delete;

    // A run has begun and not yet let go of its Excel (an ended run may still wait for a busy Excel).
    bool Active() const { return active_; }
    // The paste loop is running (a failed save is said on the notice line, not in a message box).
    bool In_Paste_Loop() const { return in_paste_loop_; }
    void Begin() { active_ = true; }
    // What the clipboard holds now counts as seen; then the capture listens, and the last run's
    // journal and take-back presses are forgotten. False when the clipboard cannot be watched.
    [[nodiscard]] bool Watch_Clipboard(HWND notify);
    // Starts Excel or takes the running one; false when there is none to paste into.
    [[nodiscard]] bool Start_Excel() { return excel_.Xl_Create(); }
    // The workbook to paste into: the one named, or a new one when path is empty.
    void Open_Target(const std::wstring& path) { (void)excel_.Open_Target(path); }
    // Opens a workbook of the file list in the run's Excel.
    [[nodiscard]] bool Open_Workbook(const std::wstring& path) { return excel_.Open_Workbook(path).Ok(); }
    Paste_Loop_End Paste(const Paste_Options& options, Paste_Loop_Host& host);
    // The capture stops, the journal is cleared and Excel let go: a next run may start.
    void End();

    // The user's next copy is the user's own (not the program's).
    void Mark_User_Copy() { Mark_Next(Copy_Source::User); }
    // The next copy comes from the program's history or fixed texts.
    void Mark_Next(Copy_Source source);
    // The same text copied once more is a new copy again.
    void Forget_Last_Copy() { clip_.Clip_Text_Last.clear(); }
    // "する"/"しない": whether copies are taken. Off keeps the copies waiting in the history; on
    // forgets whatever was copied while pasting was off.
    void Set_Pasting(bool on, Paste_Loop_Host& host);
    // The end button: nothing taken is lost, the copies not pasted enter the history.
    void Stop_Taking(Paste_Loop_Host& host);
    const Clip_State& Clip() const { return clip_; }

    // What the paste loop records its pastes in.
    Paste_Journal& Journal() { return journal_; }
    bool Can_Take_Back() const { return !journal_.Empty(); }
    // Told whenever what can be taken back changes.
    void On_Take_Back_Change(std::function<void()> changed);
    // "直前の貼付を取り消す": the newest paste of the run not yet taken back; a press that comes while a
    // paste or another take-back is being made waits its turn.
    void Take_Back_Last_Paste();
    // A paste and its cell move are over: the presses that waited for it are made.
    void Paste_Step_Done();
    // Told of the step number of each picture taken back.
    void On_Number_Taken_Back(std::function<void(int number)> taken_back) {
        number_taken_back_ = std::move(taken_back);
    }

    // "新しいシート": the pastes go on at A1 of a new case sheet (case_sheet.h); asked for while a paste
    // is being made, it waits for that paste's end. Told whether the sheet was added.
    void Add_Case_Sheet();
    void On_Case_Sheet(std::function<void(const Call_Result& added)> done) { case_sheet_done_ = std::move(done); }
    // "選んだ履歴を順に貼付": the texts, oldest first, each a paste of its own that the history does not
    // record again. Only during the paste loop.
    void Paste_In_Order(const std::vector<std::wstring>& texts);

    // The notice line: that Excel refuses calls and how many copies wait meanwhile (gone once it
    // answers), and the last paste that failed with how many failed in the run so far.
    std::wstring Notice_Line() const;
    bool Excel_Busy() const { return excel_busy_; }
    // Busy answers are watched while the keys of a run are held; a new run counts its own failures.
    void Watch_Busy(bool watch);
    // Told whenever the notice line changes.
    void On_Notice_Change(std::function<void()> changed) { notice_changed_ = std::move(changed); }
    void Paste_Failed(const std::wstring& message);
    void Set_Notice(const std::wstring& message);

private:
    // Tests set the clipboard state a run would have reached.
    friend struct Paste_Run_Test_Access;
    void Server_Busy(bool busy) override;
    // The clipboard as it is now is the last copy seen: only a later copy is pasted.
    void Take_Clipboard_As_Seen();
    void Make_Take_Backs();
    void Make_Case_Sheet();

    Clipboard_Capture capture_;
    Excel_Session excel_;
    Paste_Journal journal_;
    Take_Back_Turns take_back_turns_;
    Clip_State clip_;
    std::function<void()> take_back_changed_;
    std::function<void()> notice_changed_;
    std::function<void(int)> number_taken_back_;
    std::function<void(const Call_Result&)> case_sheet_done_;
    bool case_sheet_waiting_ = false;
    bool active_ = false;
    bool in_paste_loop_ = false;
    bool excel_busy_ = false;
    int failed_pastes_ = 0;
    std::wstring paste_notice_;
};
