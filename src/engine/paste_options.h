#pragma once
// How the paste run pastes: the choices of the paste screen's option groups, as types. The screen
// maps its options to these in one place; nothing here knows a caption.

// Where the active cell goes after a paste.
enum class Move_Mode { Right, Down };

// What a text's line breaks become.
enum class Text_Mode {
    Breaks_Removed,  // one cell, the lines joined
    Breaks_In_Cell,  // one cell, each line break the cell's own
    Row_Per_Line,    // Excel's paste of the text: a row for each line
};

// The clipboard format a picture is pasted in: Excel's own paste, or one of its Paste Special formats.
enum class Picture_Format { Excel_Paste, Png, Jpeg, Gif, Metafile, Bitmap, Office_Drawing, Svg, Html };

// How a pasted picture is scaled to its cell, from its top-left corner.
enum class Picture_Size { As_Pasted, Fit_Inside, Cell_Width, Cell_Height };

// Who put a copy on the clipboard: the user in another program, or this program from its history or
// its fixed texts (such a copy is pasted, but is no new entry of the history).
enum class Copy_Source { User, History, Fixed };

struct Paste_Options {
    int Paste_On = 0;  // 1: pasting on ("する"), 0: off ("しない")
    Move_Mode Move = Move_Mode::Right;
    Text_Mode Text = Text_Mode::Breaks_Removed;
    Picture_Format Picture = Picture_Format::Excel_Paste;
    Picture_Size Size = Picture_Size::As_Pasted;
    bool Picture_Caption = false;  // the copy's time and window written before each picture
    bool Picture_Number = false;   // each picture numbered as a step ("No.n" before it)
    // After a picture, the active cell goes past it (below or right of it) instead of to the next
    // cell, which the picture would cover.
    bool Move_Past_Picture = false;
};
