#pragma once
// The real Windows clipboard, read as Excel reads it for a paste. Windows (and Wine) offer
// CF_UNICODETEXT for a CF_TEXT copy, CF_DIB for a CF_BITMAP or CF_DIBV5 copy, and CF_ENHMETAFILE
// for a CF_METAFILEPICT copy, so reading those three covers every text and picture.
#include <windows.h>

#include "paste_choice.h"

// What the clipboard offers; an empty offer when another program kept it locked.
Clipboard_Offer Read_Clipboard(HWND owner);
