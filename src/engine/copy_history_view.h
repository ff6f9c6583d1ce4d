#pragma once
// The copy history on the paste-control screen: the text list and the grid of thumbnails, five to a
// row, in a sheet that the scroll bar slides inside its frame.
#include <array>

#include "control.h"
#include "copy_history.h"

struct Picture_Grid {
    Control& Pic_Screen;  // the visible frame
    Control& Pic_Scroll;  // the sheet of cells inside it
    Control& VScroll1;
    std::array<Control*, Rireki_Size> Img_Pic;
    float Pic_Cell_Size;  // side of a cell, in twips
};

void Excel_ツール_CellDrop2_RirekiText_Display(Control& list, const Text_History& history);
void Excel_ツール_CellDrop2_RirekiPic_Display(const Picture_Grid& grid, const Picture_History& history);

// A GDI bitmap of the picture, for an image control; none for an empty picture.
Bitmap_Handle Bitmap_From_Image(const Bitmap_Image& image);
