#pragma once
// The same-run baseline of the picture paste benchmark: the least a program can do to paste each
// copied picture fitted to its cell. It listens to the clipboard and makes only the calls a fitted
// paste needs (ActiveCell, PasteSpecial, Selection, ShapeRange, its size, the cell's size, ScaleWidth),
// then empties the clipboard and moves one cell down, as CellDrop does; no history, journal or checks.
// Run in a process of its own (the benchmark started with "--minimal"), as CellDrop runs in its own.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "automation.h"

class Minimal_Picture_Paster {
public:
    // Excel started with a new workbook, then the clipboard's pictures pasted until the process ends.
    // It listens before Excel starts, as CellDrop does: the benchmark copies as soon as the workbook
    // is there, which may be before a paster that started Excel first has its window.
    int Run() {
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
        WNDCLASSW wc{};
        wc.lpfnWndProc = Window_Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MinimalPicturePaster";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
        if (!window_ || !AddClipboardFormatListener(window_)) return 1;
        seen_ = GetClipboardSequenceNumber();
        app_ = Create_Automation_Object(L"Excel.Application").Object();
        if (app_.Is_Nothing()) return 1;
        (void)app_.Get(L"Workbooks").Object().Call(L"Add");
        sheet_ = app_.Get(L"ActiveSheet").Object();
        // Wine now and then sends no notice of a change (about once in a thousand copies): the sequence
        // number is compared as often as CellDrop compares it. The first look takes a copy made while
        // Excel started.
        SetTimer(window_, 1, 250, nullptr);
        ready_ = true;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        return 0;
    }

private:
    static LRESULT CALLBACK Window_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
        auto* self = reinterpret_cast<Minimal_Picture_Paster*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        // Before Excel is there a change waits for the first timer's look.
        if (self && (message == WM_CLIPBOARDUPDATE || message == WM_TIMER) && !self->ready_) return 0;
        if (self && message == WM_TIMER && GetClipboardSequenceNumber() == self->seen_) return 0;
        if (self && (message == WM_CLIPBOARDUPDATE || message == WM_TIMER)) {
            // A change heard while a paste runs (its own emptying) is looked at once that paste is over.
            self->changed_ = true;
            if (!self->pasting_) {
                self->pasting_ = true;
                while (std::exchange(self->changed_, false)) self->Paste();
                self->pasting_ = false;
            }
            return 0;
        }
        return DefWindowProcW(window, message, wparam, lparam);
    }

    static double Number(const Call_Result& r) {
        double v = 0;
        return r.Value.To_Double(v) ? v : 0;
    }

    // The stand-in may find the clipboard held by another program for a moment: a paste that failed
    // while the copy is still there is made again, a few times. The clipboard is emptied once the
    // picture is in place, tried for up to 5 s: a copy left there would hold up the benchmark's pass.
    void Paste() {
        const DWORD copy = seen_ = GetClipboardSequenceNumber();
        if (!IsClipboardFormatAvailable(CF_DIB)) return;
        const Automation_Object cell = app_.Get(L"ActiveCell").Object();
        const auto paste = [&] {
            return sheet_
                .Call(L"PasteSpecial", {},
                      {{L"Format", Variant::Text(L"図 (PNG)")},
                       {L"Link", Variant::Bool(false)},
                       {L"DisplayAsIcon", Variant::Bool(false)}})
                .Ok();
        };
        bool pasted = paste();
        for (int attempt = 1; !pasted && attempt < 4 && GetClipboardSequenceNumber() == copy; ++attempt)
            pasted = paste();
        if (!pasted) return;
        const Automation_Object shape = app_.Get(L"Selection").Object().Get(L"ShapeRange").Object();
        const double shape_height = Number(shape.Get(L"Height")), shape_width = Number(shape.Get(L"Width"));
        const double cell_height = Number(cell.Get(L"Height")), cell_width = Number(cell.Get(L"Width"));
        if (shape_height > 0 && shape_width > 0) {
            const double factor = std::min(cell_height / shape_height, cell_width / shape_width);
            (void)shape.Call(L"ScaleWidth", {Variant::Double(factor), Variant::Bool(false), Variant::Long(0)});
        }
        const ULONGLONG give_up = GetTickCount64() + 5000;
        while (GetTickCount64() < give_up) {
            if (OpenClipboard(window_)) {
                EmptyClipboard();
                CloseClipboard();
                break;
            }
            Sleep(10);
        }
        (void)cell.Get(L"Offset", {Variant::Long(1), Variant::Long(0)}).Object().Call(L"Select");
    }

    Automation_Object app_, sheet_;
    HWND window_ = nullptr;
    bool pasting_ = false;
    bool changed_ = false;
    bool ready_ = false;  // Excel started and its workbook added
    DWORD seen_ = 0;      // the clipboard's sequence number when it was last looked at
};
