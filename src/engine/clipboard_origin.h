#pragma once
// Copies made in Excel itself. A range copied in Excel offers its text and a picture of the same
// cells (and Excel's own formats): pasting the picture too would paste the cells twice, so such a copy
// is its text alone. A chart or picture object copied in Excel offers no text and stays a picture.
//
// Excel only promises what it offers and makes each format when a reader asks (WM_RENDERFORMAT), on
// the thread that also answers the program's automation calls. Reading its copy therefore waits for
// that thread: the read runs on a thread of its own, and a copy Excel has not made within
// Excel_Render_Wait_Ms is given up, so that a busy Excel never holds the capture, nor the paste run
// that may wait for the capture to stop.
#include <atomic>

#include "clipboard.h"

constexpr unsigned Excel_Render_Wait_Ms = 2000;

// The copy on the clipboard now, as Clipboard_Read_Copy reads it, except for a copy made in Excel (it
// offers Excel's own range formats, or it offers no text and its owner is a window of a thread that
// has an Excel main window, "XLMAIN"): its text alone when it offers text (without the line break
// Excel ends its last row with), and Not_Rendered when Excel did not make it within
// Excel_Render_Wait_Ms or stop was set.
// Its picture is left as bytes, for Ready_Copy_Picture.
Clipboard_Copy Clipboard_Read_Any_Copy(const std::atomic<bool>& stop);
