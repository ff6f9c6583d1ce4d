#pragma once
// The Windows clipboard, for the whole program: the one place that opens it.

// Empties the clipboard. The clipboard may be held open by another program for a moment, so the
// open is retried briefly. False when it stayed busy.
[[nodiscard]] bool Clipboard_Clear();
