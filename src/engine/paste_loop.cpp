#include "paste_loop.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "message_box.h"
#include "message_pump.h"
#include "mouse_pointer.h"
#include "ui_text.h"
#include "wait.h"
#include "window_titles.h"

#include "clipboard.h"
#include "picture_caption.h"
#include "picture_paste.h"
#include "text_rows.h"

namespace {

// While nothing is copied the workbook is looked at this often (a closed workbook or Excel ends the run).
constexpr unsigned long long Idle_Check_Ms = 1000;
// The history list shows the texts pasted once copies have paused this long: on a busy machine its
// redraw takes longer than quick copies leave between them.
constexpr unsigned long long Show_History_After_Ms = 300;

// What of a copy was not pasted enters the history (a copy the program put there itself is in it).
void Record_Unpasted(const Captured_Copy& copy, Paste_Loop_Host& host) {
    if (copy.Paste_Source != Copy_Source::User) return;
    if (copy.Text && !copy.Text_Done) host.Record_Text(*copy.Text);
    if (copy.Has_Picture && copy.Picture) host.Record_Copied_Picture(copy.Picture);
}

// The pictures pasted and held back from the history (they are older than any copy not pasted).
void Record_Landed(Clipboard_Capture& capture, Paste_Loop_Host& host) {
    for (auto& picture : capture.Take_Landed()) host.Record_Copied_Picture(std::move(picture));
}

int Record_Skipped(Clipboard_Capture& capture, Paste_Loop_Host& host) {
    const std::vector<Captured_Copy> skipped = capture.Take_Skipped();
    if (!skipped.empty()) Record_Landed(capture, host);
    for (const Captured_Copy& copy : skipped) Record_Unpasted(copy, host);
    return static_cast<int>(skipped.size());
}

// Puts the copy back on the clipboard for a paste that reads it there, when a newer copy (or the
// program's own emptying) has replaced it meanwhile. The write is the program's, not a new copy, and
// it never writes over a copy the capture has not read yet (another program held the clipboard). A
// picture goes back in the bytes it was copied in; one offered only as "PNG" as a bitmap, which every
// paste format reads.
bool Clipboard_Holds(Captured_Copy& copy, Clipboard_Capture& capture, bool picture) {
    if (Clipboard_Sequence() == copy.Sequence && !(picture && copy.Png_Only)) return true;
    Clipboard_Capture::Own_Write own(capture);
    const auto read = [&] { return capture.Has_Read_Current(); };
    const bool put = picture ? copy.Picture && Clipboard_Put_Picture_Bytes(*copy.Picture, read)
                             : copy.Text && Clipboard_Set_Text(*copy.Text, read);
    if (!put) return false;
    own.Written();
    copy.Sequence = Clipboard_Sequence();
    if (picture) copy.Png_Only = false;
    return true;
}

// The caption as text in the active cell (the quote keeps Excel from reading a date), and the cell
// moved on as after a paste, so that the picture lands beside or below it. Its column is widened as for
// a text when the box asks for it, and always when the picture goes beside it, which would otherwise
// lie over the end of the caption. widths: the column's widths for taking it back.
void Write_Picture_Caption(const Excel_Session& excel, const Paste_Options& options, const std::wstring& caption,
                           const Automation_Object& start, bool widen, Text_Paste_Result& widths) {
    Error_State errors;
    const Automation_Object cell = start.Is_Nothing() ? excel.Active_Cell(errors) : start;
    if (cell.Is_Nothing()) return;
    if (widen || options.Move == Move_Mode::Right) Widen_Column(excel, cell, {caption}, widths);
    if (!errors.Record(excel.Put(cell, Cell_Content::Value, Variant::Text(L"'" + caption))).Ok()) return;
    if (options.Move == Move_Mode::Right) excel.Select_Offset(cell, 0, 1, errors);
    if (options.Move == Move_Mode::Down) excel.Select_Offset(cell, 1, 0, errors);
}

// The picture just pasted (its shape range) carries its number, time, window and program. Failures
// leave it without: the paste itself went well.
void Label_Picture(const Excel_Session& excel, const Automation_Object& shapes, const Captured_Copy& copy,
                   std::optional<int> number) {
    if (shapes.Is_Nothing()) return;
    (void)excel.Set_Alternative_Text(
        shapes, Picture_Alternative_Text(number, copy.Copied_At, copy.Front_Window, copy.Front_Program));
}

// How many rows down and columns right of the cell it was pasted at the first cell wholly clear of the
// picture lies, from the cell under its bottom-right corner; nothing when Excel could not tell.
std::optional<std::pair<long, long>> Cells_Past_Picture(const Excel_Session& excel, const Automation_Object& shapes,
                                                        const Automation_Object& cell) {
    const Automation_Object corner = excel.Bottom_Right_Cell(excel.First_Shape(shapes).Object()).Object();
    long top = 0, left = 0, bottom = 0, right = 0;
    if (corner.Is_Nothing() || !excel.Position(cell, top, left) || !excel.Position(corner, bottom, right))
        return std::nullopt;
    return std::pair{std::max(bottom - top + 1, 1L), std::max(right - left + 1, 1L)};
}

enum class Copy_Left { Nothing, Picture, Retry };

struct Paste_Step {
    std::optional<long> Rows;  // rows filled; nothing when nothing was pasted or the paste failed
    long Columns = 1;          // cells filled to the right (texts written together, moving right)
    Automation_Object Cell;    // the cell the paste started from, for the move
    Copy_Left Left = Copy_Left::Nothing;
};

Paste_Step Left_Over(Copy_Left left) {
    Paste_Step step;
    step.Left = left;
    return step;
}

Paste_Step Pasted(long rows, long columns, Automation_Object cell, Copy_Left left) {
    Paste_Step step;
    step.Rows = rows;
    step.Columns = columns;
    step.Cell = std::move(cell);
    step.Left = left;
    return step;
}

// How often a paste is made again when it failed because the next copy replaced the clipboard
// between the put-back and Excel's reading of it.
constexpr int Raced_Paste_Attempts = 4;

// A paste that reads the clipboard, made again while it fails and the clipboard no longer holds the
// copy (another program copied in between): the copy is put back each time. The newer copy was
// queued by the capture before it could be written over.
template <class Paste>
bool Paste_Reading_Clipboard(Captured_Copy& copy, Clipboard_Capture& capture, bool picture, Paste paste) {
    for (int attempt = 1;; ++attempt) {
        if (paste()) return true;
        if (attempt >= Raced_Paste_Attempts || Clipboard_Sequence() == copy.Sequence) return false;
        // The copy that raced this paste is read first, then written over.
        (void)Wait_Time_Until(200, [&] { return capture.Has_Read_Current(); });
        if (!Clipboard_Holds(copy, capture, picture)) return false;
    }
}

// Waiting texts that follow the copy in hand, written together with it: only in the modes that put
// a text into one cell and move the active cell after each, and never past a picture.
std::vector<std::wstring> Batch_Texts(const Paste_Options& options, Clip_State& clip, Clipboard_Capture& capture,
                                      Captured_Copy& first, std::vector<std::wstring>& to_record) {
    constexpr std::size_t Max_Batch = 1000;
    std::vector<std::wstring> texts{One_Cell_Text(*first.Text, options.Text)};
    if (!Is_One_Cell_Mode(options.Text) || first.Has_Picture) return texts;
    while (texts.size() < Max_Batch) {
        std::optional<Captured_Copy> next = capture.Take_Oldest_Text();
        if (!next) break;
        // The same text again is no new copy, as when it comes alone.
        if (*next->Text == clip.Clip_Text_Last) continue;
        clip.Clip_Text = *next->Text;
        clip.Clip_Text_Last = clip.Clip_Text;
        if (next->Paste_Source == Copy_Source::User) to_record.push_back(clip.Clip_Text);
        texts.push_back(One_Cell_Text(*next->Text, options.Text));
    }
    return texts;
}

// One pass's paste of the copy in hand: its text when it differs from the last text taken (with the
// texts waiting behind it), else its picture (a copy offering both has its picture pasted one pass
// after its text). A copy that could not be put back on the clipboard (another program holds it
// open) stays in hand, unrecorded, and is tried again at the next pass. The texts taken enter the
// history together once their write is over: the user waits for the write, not for the history.
Paste_Step Paste_Copy(Excel_Session& excel, const Automation_Object& sheet, const Paste_Options& options,
                      Clip_State& clip, Clipboard_Capture& capture, Captured_Copy& copy, Paste_Loop_Host& host) {
    const Copy_Left after_text = copy.Has_Picture ? Copy_Left::Picture : Copy_Left::Nothing;
    if (copy.Text && !copy.Text_Done && *copy.Text != clip.Clip_Text_Last) {
        std::vector<std::wstring> to_record;
        (void)excel.Ensure_Target(sheet);
        const bool reads_clipboard = Text_Paste_Reads_Clipboard(options.Text);
        if (reads_clipboard && !Clipboard_Holds(copy, capture, false)) return Left_Over(Copy_Left::Retry);
        copy.Text_Done = true;
        clip.Clip_Text = *copy.Text;
        clip.Clip_Text_Last = clip.Clip_Text;
        if (copy.Paste_Source == Copy_Source::User) to_record.push_back(clip.Clip_Text);
        if (!reads_clipboard) {
            const std::vector<std::wstring> texts = Batch_Texts(options, clip, capture, copy, to_record);
            if (texts.size() > 1) {
                const bool down = options.Move == Move_Mode::Down;
                const Text_Edits edits = host.Edits();
                const long count = static_cast<long>(texts.size());
                host.Journal().Begin(excel, down ? count : 1, down ? 1 : count);
                const Text_Paste_Result pasted = Paste_Texts(excel, texts, down, edits, host.Journal().Start_Cell());
                host.Record_Texts(to_record);
                // Each copy is taken back on its own, as if it had come alone.
                host.Journal().End_Each(pasted.Ok, pasted.Widths_Before, pasted.Widths_After);
                if (!pasted) {
                    host.Paste_Failed(Ui_Text(Text_Id::Text_Paste_Failed));
                    return Left_Over(after_text);
                }
                return Pasted(pasted.Rows, down ? 1 : static_cast<long>(texts.size()), pasted.Cell, after_text);
            }
        }
        Text_Paste_Result pasted;
        const Text_Edits edits = host.Edits();
        const auto paste = [&] {
            pasted = Paste_Text(excel, clip.Clip_Text, options.Text, edits, host.Journal().Start_Cell());
            return pasted.Ok;
        };
        const long rows = reads_clipboard ? static_cast<long>(Split_Pasted_Text(clip.Clip_Text).size()) : 1;
        host.Journal().Begin(excel, std::max(rows, 1L));
        const bool done = reads_clipboard ? Paste_Reading_Clipboard(copy, capture, false, paste) : paste();
        host.Record_Texts(to_record);
        host.Journal().End(done, pasted.Widths_Before, pasted.Widths_After);
        if (!done) {
            host.Paste_Failed(Ui_Text(Text_Id::Text_Paste_Failed));
            return Left_Over(after_text);
        }
        return Pasted(pasted.Rows, 1, pasted.Cell, after_text);
    }
    copy.Text_Done = true;  // the same text as the last one: no new copy
    if (!copy.Has_Picture) return {};
    (void)excel.Ensure_Target(sheet);
    if (!Clipboard_Holds(copy, capture, true)) {
        if (copy.Picture) return Left_Over(Copy_Left::Retry);
        // A picture the capture could not read (too large, damaged) cannot be put back once a newer
        // copy replaced it: it is given up, once, and the copies after it are pasted.
        copy.Has_Picture = false;
        host.Paste_Failed(Ui_Text(Text_Id::Picture_Paste_Failed));
        return {};
    }
    copy.Has_Picture = false;
    // The history's work for a picture (its thumbnail, its file waiting to be written) waits until no
    // copy does: the user waits for the pastes. The picture is recorded whether or not the paste worked.
    // The time before the picture is taken back with it.
    const bool caption = options.Picture_Caption || options.Picture_Number;
    const std::optional<int> number =
        options.Picture_Number ? std::optional<int>(host.Next_Picture_Number()) : std::nullopt;
    host.Journal().Begin(excel, caption ? 1 : 0);
    Text_Paste_Result caption_widths;
    if (caption)
        Write_Picture_Caption(excel, options,
                              Picture_Caption(number, options.Picture_Caption, copy.Copied_At, copy.Front_Window),
                              host.Journal().Start_Cell(), host.Edits().Widen, caption_widths);
    Error_State errors;
    // Where the picture goes, for its size and the move: the journal's cell, unless a caption moved it.
    Automation_Object cell = caption ? Automation_Object() : host.Journal().Start_Cell();
    if (cell.Is_Nothing()) cell = excel.Active_Cell(errors);
    const bool pasted =
        Paste_Reading_Clipboard(copy, capture, true, [&] { return Paste_Picture_Now(excel, options.Picture); });
    std::optional<std::pair<long, long>> past;
    if (pasted) {
        // Excel selects the picture it has just pasted: one look at the selection serves its fit, its
        // labels and its taking back.
        const Automation_Object selection = excel.Selection().Object();
        const Automation_Object shapes = excel.Shape_Range(selection).Object();
        Size_Picture(excel, options.Size, shapes, cell, excel.Pasted_Aspect_Locked[options.Picture]);
        Label_Picture(excel, shapes, copy, number);
        if (options.Move_Past_Picture) past = Cells_Past_Picture(excel, shapes, cell);
        host.Journal().Picture_Added(selection);
        if (number) {
            host.Journal().Picture_Numbered(*number);
            host.Set_Next_Picture_Number(*number + 1);
        }
    }
    // Emptied once the picture is in place: the user waits for the paste, not for this. Emptied, the
    // clipboard no longer holds this copy, so nothing copied after can merely complete it.
    if (Excel_ツール_CellDrop2_Clear(clip, copy.Sequence)) capture.Forget_Handed_Out();
    if (!pasted) host.Paste_Failed(Ui_Text(Text_Id::Picture_Paste_Failed));
    host.Journal().End(pasted, caption_widths.Widths_Before, caption_widths.Widths_After);
    if (copy.Paste_Source == Copy_Source::User && copy.Picture)
        capture.Hold_Landed(std::exchange(copy.Picture, nullptr));
    if (!pasted) return {};
    // Past the picture: as if it had filled the cells it covers.
    if (past) return Pasted(past->first, past->second, cell, Copy_Left::Nothing);
    return Pasted(1, 1, cell, Copy_Left::Nothing);
}

// The active cell moves one to the right of the pasted block's top cell, or to the row below its last
// row: a copy of several lines must not land on its own second line.
void Move_Active_Cell(const Excel_Session& excel, Move_Mode move, const Paste_Step& step) {
    Error_State errors;
    const Automation_Object cell = step.Cell.Is_Nothing() ? excel.Active_Cell(errors) : step.Cell;
    if (move == Move_Mode::Right) excel.Select_Offset(cell, 0, std::max(step.Columns, 1L), errors);
    if (move == Move_Mode::Down) excel.Select_Offset(cell, std::max(step.Rows.value_or(1), 1L), 0, errors);
}

// Up to 200 ms with window messages running; over as soon as a copy waits, the end is asked for, or
// the window is closed. A copy that waits for the clipboard (retry) does not end it.
void Wait_For_Copy(Clipboard_Capture& capture, Paste_Loop_Host& host, bool retry) {
    const auto ended = [&] { return host.Stop_Requested() || host.Window_Closed(); };
    if (retry) {
        (void)Wait_Time_Until(200, ended);
        return;
    }
    const unsigned long long until = GetTickCount64() + 200;
    // Objects the pastes before let go of are let go of now, one at a time while no copy waits.
    while (capture.Size() == 0 && !ended() && Release_Held_One()) {
    }
    while (!ended()) {
        const unsigned ready_in = capture.Ms_Until_Ready();
        const unsigned long long now = GetTickCount64();
        if (ready_in == 0 || now >= until) return;
        const auto slice = static_cast<std::int32_t>(std::min<unsigned long long>(ready_in, until - now));
        const std::size_t waiting = capture.Size();
        (void)Wait_Time_Until(std::max(slice, 1), [&] { return capture.Size() != waiting || ended(); });
    }
}

// The stop path: Excel's window forward, the workbook closed (Excel asks whether to save), Excel quit.
// False while Excel is busy and has been so for less than Stop_Wait_Ms since the end was asked for.
bool Run_Stop_Path(Excel_Session& excel, Paste_Loop_Host& host, unsigned long long stop_asked) {
    const Call_Result workbook = excel.Active_Workbook();
    if (Is_Busy_Answer(workbook.Hr)) {
        if (GetTickCount64() - stop_asked < Stop_Wait_Ms) return false;
        // The workbook stays open in Excel, for the user to save.
        Let_Go_Of_Excel(excel, host.Journal());
        Show_Message(Ui_Text(Text_Id::Excel_Not_Answering));
        return true;
    }
    // Closed by hand meanwhile: nothing left to close.
    if (!workbook.Ok()) return true;
    std::wstring name;
    (void)excel.Name_Of(workbook.Object()).Value.To_Text(name);
    if (!name.empty() && Activate_Window_Titled(host.Main_Window(), name)) Do_Events();
    excel.Close_Active_Workbook();
    Let_Go_Of_Excel(excel, host.Journal(), true);
    return true;
}

}  // namespace

void Let_Go_Of_Excel(Excel_Session& excel, Paste_Journal& journal, bool quit) {
    // The journal holds cells of Excel's: they go first, or Excel would stay alive for them.
    journal.Clear();
    if (quit)
        excel.Xl_Quit();
    else
        excel.Let_Go();
    // Held back, they would keep Excel alive.
    Release_Held_All();
}

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

int Keep_Waiting_Copies(Clipboard_Capture& capture, Paste_Loop_Host& host) {
    Record_Landed(capture, host);
    int count = Record_Skipped(capture, host);
    for (const Captured_Copy& copy : capture.Take_Waiting()) {
        Record_Unpasted(copy, host);
        ++count;
    }
    return count;
}

std::wstring Skipped_Copies_Message(int count) {
    // The history keeps only its newest entries: it is not named as the place where these are.
    return Ui_Format(Text_Id::Copies_Not_Pasted, {std::to_wstring(count)});
}

Paste_Loop_End Excel_ツール_CellDrop2(Excel_Session& excel, const Paste_Options& options, Clip_State& clip,
                                      Clipboard_Capture& capture, Paste_Loop_Host& host, int (*now_second)()) {
    host.Clear_Stop_Request();
    // A paste's objects are let go of while the loop waits for the next copy, not on a copy's way.
    Release_Hold hold_releases;
    int last_second = 0;
    // The copy being pasted: out of the queue, so that no overflow can take it.
    std::optional<Captured_Copy> current;
    bool retry = false;
    int skipped = 0;  // of the overflow going on: one message once the copies have caught up
    unsigned long long stop_asked = 0;
    unsigned long long last_check = 0;
    unsigned long long last_paste = 0;
    // However the run ends: what was not pasted into the history, both histories written, Excel let go.
    const auto end_run = [&](Paste_Loop_End end) {
        Record_Landed(capture, host);
        host.Show_Recorded_Texts();
        host.Show_Recorded_Pictures();
        if (current) Record_Unpasted(*current, host);
        (void)Keep_Waiting_Copies(capture, host);
        host.Write_Text_History();
        host.Write_Picture_History();
        Let_Go_Of_Excel(excel, host.Journal());
        return end;
    };
    while (true) {
        Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);
        // A copy waiting ends the wait at once: it is pasted now, not at the next tick.
        if (!current || retry) Wait_For_Copy(capture, host, retry);
        if (capture.Landed_Due()) Record_Landed(capture, host);
        if (host.Window_Closed() || Quit_Requested()) {
            // Excel and the workbook stay open for the user to save.
            return end_run(Paste_Loop_End::Window_Closed);
        }

        History_Autosave(now_second(), last_second, host);

        if (host.Stop_Requested()) {
            // The set-up screen is back already and the histories written; Excel is closed as soon as
            // it answers.
            if (stop_asked == 0) stop_asked = std::max(GetTickCount64(), 1ULL);
            if (Run_Stop_Path(excel, host, stop_asked)) return end_run(Paste_Loop_End::Stopped);
            continue;
        }

        if (!current && capture.Size() == 0 && GetTickCount64() - last_paste >= Show_History_After_Ms) {
            host.Show_Recorded_Texts();
            host.Show_Recorded_Pictures();
        }

        // One call tells whether the workbook is still there: before each paste, and once a second
        // while nothing is copied. The active sheet it answers is the paste's target check as well.
        if (!current && capture.Size() == 0 && GetTickCount64() - last_check < Idle_Check_Ms) continue;
        last_check = GetTickCount64();
        const Call_Result sheet = excel.Check_Active_Sheet();
        // Excel busy for longer than the retries (a cell being edited, a dialog open) is still there:
        // look again at the next pass instead of ending the run.
        if (Is_Busy_Answer(sheet.Hr)) continue;
        if (!sheet.Ok()) {
            const Paste_Loop_End end = end_run(Paste_Loop_End::Excel_Closed);
            Show_Message(Ui_Text(Text_Id::Excel_Closed));
            host.Return_To_Setup();
            return end;
        }
        skipped += Record_Skipped(capture, host);
        if (options.Paste_On == 0) {
            // "しない": what waited is not pasted later (Keep_Waiting_Copies took the queue).
            Record_Landed(capture, host);
            if (current) Record_Unpasted(*current, host);
            current.reset();
            retry = false;
            continue;
        }
        if (!current) current = capture.Take_Oldest();
        if (!current) {
            if (skipped > 0) host.Copies_Skipped(Skipped_Copies_Message(std::exchange(skipped, 0)));
            continue;
        }
        const Paste_Step step = Paste_Copy(excel, sheet.Object(), options, clip, capture, *current, host);
        last_paste = GetTickCount64();
        retry = step.Left == Copy_Left::Retry;
        if (step.Left == Copy_Left::Nothing) current.reset();
        if (step.Rows) {
            Do_Events();
            Move_Active_Cell(excel, options.Move, step);
        }
        // Take-backs asked for meanwhile waited for the paste and its move.
        host.Journal().Step_Done();
        host.Paste_Step_Done();
    }
}
