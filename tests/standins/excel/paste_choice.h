#pragma once
// What Excel's Worksheet.Paste and PasteSpecial take from a copy: its text, its picture, or nothing
// (the paste fails). Window-free, so that the format names are tested without a clipboard.
#include <optional>
#include <string>
#include <string_view>

#include "excel_model.h"

// A picture's size in pixels, as its bitmap header or metafile frame gives it.
struct Picture_Size {
    int Width = 0;
    int Height = 0;
};

// What one copy on the clipboard offers a paste.
struct Clipboard_Offer {
    std::optional<std::wstring> Text;
    // The ANSI text (CF_TEXT) as Excel reads it back through the code page: what the code page lacks
    // ("𠮷", emoji, "é") is "?" or a look-alike.
    std::optional<std::wstring> Ansi_Text;
    std::optional<Picture_Size> Picture;  // a bitmap or a metafile
    bool Svg = false;                     // the registered format "image/svg+xml"
    bool Html = false;                    // the registered format "HTML Format"
};

enum class Paste_As { Text, Ansi_Text, Picture, Nothing };

// Worksheet.Paste, and PasteSpecial without a Format: a copy's text when it has one (a drawing
// program's text-and-picture copy pastes as text), otherwise its picture.
Paste_As Default_Paste(const Clipboard_Offer& offer);
// PasteSpecial with a Format named as an Excel of that user-interface language names it (any
// language but Japanese takes the English names): Nothing when the copy cannot supply that format
// or Excel has no format of that name.
Paste_As Paste_Special_As(std::wstring_view format, const Clipboard_Offer& offer, long ui_language = Language_Japanese);
