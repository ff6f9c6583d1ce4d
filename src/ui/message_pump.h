#pragma once
// Letting pending window messages run while the program works or waits. Every place that lets
// messages run goes through here. Handlers run inside these calls, so a caller must expect that its
// window was closed meanwhile (check its own state after the call).

// Hands one message to its window; keyboard navigation (Tab, arrow keys between options) is
// handled for the program's windows on the way.
struct tagMSG;
void Dispatch_Message(tagMSG& msg);

// Dispatches every message now waiting in this thread's queue. Returns false once a WM_QUIT was seen
// (it is posted again, so the outer message loop ends too).
bool Do_Events();

// Do_Events at most every 15 ms: for loops over thousands of items, which stay responsive without
// paying for a full message check per item.
bool Do_Events_Sometimes();

// True once Do_Events has seen WM_QUIT.
bool Quit_Requested();
