// Round trips to Excel of one paste pass, counted where the program makes them (its automation
// layer): name lookups, calls and the last releases of Excel's objects. The passes are made in this
// process with the engine's own steps, in the loop's order, against the stand-in Excel: a text (check,
// journal, write, journal, move) and a picture fitted to its cell. The first pass of a run asks for
// every member's ID; the baseline is that first pass, the figures are the passes after it. Passes are
// made as the paste loop makes them, with the releases held back until the loop waits, and once
// without that hold, its baseline.
#include <windows.h>

#include <cstdio>

#include "automation.h"
#include "clipboard_copy.h"
#include "excel_session.h"
#include "paste_journal.h"
#include "paste_loop.h"
#include "picture_paste.h"
#include "text_paste.h"

namespace {

struct Trips {
    unsigned long long Lookups = 0, Calls = 0, Releases = 0;
    unsigned long long Released_After = 0;  // held back, made while the loop waits for a copy
};

template <class Pass>
Trips Count(Pass pass) {
    const Automation_Traffic before = Automation_Traffic_So_Far();
    pass();
    const Automation_Traffic after = Automation_Traffic_So_Far();
    Release_Held_All();
    return {after.Lookups - before.Lookups, after.Calls - before.Calls, after.Releases - before.Releases,
            Automation_Traffic_So_Far().Releases - after.Releases};
}

}  // namespace

int main() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    int status = 0;
    {
        Excel_Session excel;
        Paste_Journal journal;
        if (!excel.Xl_Create()) {
            std::printf("Excel could not be started\n");
            return 1;
        }
        excel.Open_Target(L"");
        const auto text_pass = [&](int i) {
            const Call_Result sheet = excel.Check_Active_Sheet();
            (void)excel.Ensure_Target(sheet.Object());
            journal.Begin(excel, 1);
            const Text_Paste_Result pasted =
                Paste_Text(excel, L"text " + std::to_wstring(i), Text_Mode::Breaks_Removed, {}, journal.Start_Cell());
            journal.End(pasted.Ok, pasted.Widths_Before, pasted.Widths_After);
            Error_State errors;
            excel.Select_Offset(pasted.Cell, 1, 0, errors);
            journal.Step_Done();
        };
        const auto picture_pass = [&] {
            if (!Copy_Picture(64, 48)) status = 1;
            const Call_Result sheet = excel.Check_Active_Sheet();
            (void)excel.Ensure_Target(sheet.Object());
            journal.Begin(excel, 0);
            const Automation_Object cell = journal.Start_Cell();
            const bool pasted = Paste_Picture_Now(excel, Picture_Format::Excel_Paste);
            if (pasted) {
                const Automation_Object selection = excel.Selection().Object();
                Size_Picture(excel, Picture_Size::Fit_Inside, excel.Shape_Range(selection).Object(), cell,
                             excel.Pasted_Aspect_Locked[Picture_Format::Excel_Paste]);
                journal.Picture_Added(selection);
            }
            journal.End(pasted);
            Error_State errors;
            excel.Select_Offset(cell, 1, 0, errors);
            journal.Step_Done();
        };
        const Trips text_first = Count([&] { text_pass(0); });
        const Trips text_unheld = Count([&] { text_pass(1); });
        const Trips picture_first = Count(picture_pass);
        const Trips picture_unheld = Count(picture_pass);
        Trips text, picture;
        {
            Release_Hold hold;
            text = Count([&] { text_pass(2); });
            picture = Count(picture_pass);
        }
        std::printf(
            "round trips of a text pass: %llu lookups + %llu calls + %llu releases, %llu releases after it (first "
            "pass of the run, the baseline: %llu + %llu + %llu; releases not held back: %llu in the pass)\n",
            text.Lookups, text.Calls, text.Releases, text.Released_After, text_first.Lookups, text_first.Calls,
            text_first.Releases, text_unheld.Releases);
        std::printf(
            "round trips of a fitted picture's pass: %llu lookups + %llu calls + %llu releases, %llu releases after "
            "it (first pass: %llu + %llu + %llu; releases not held back: %llu in the pass)\n",
            picture.Lookups, picture.Calls, picture.Releases, picture.Released_After, picture_first.Lookups,
            picture_first.Calls, picture_first.Releases, picture_unheld.Releases);
        Let_Go_Of_Excel(excel, journal);
    }
    CoUninitialize();
    return status;
}
