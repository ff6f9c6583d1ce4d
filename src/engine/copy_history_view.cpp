#include "copy_history_view.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "message_pump.h"
#include "mouse_pointer.h"

void Excel_ツール_CellDrop2_RirekiText_Display(Control& list, const Text_History& history) {
    {
        const Hourglass busy;
        Do_Events();
        // Drawn once at the end, not line by line: the list is rebuilt during a paste. Messages run
        // between lines, but not after every one, for the same reason.
        SendMessageW(list.Hwnd(), WM_SETREDRAW, FALSE, 0);
        list.Clear_List();
        for (int i = 0; i <= history.Rireki_Text_Count; ++i) {
            list.Add_Item(history.Lst_AddItem_RirekiText(i));
            Do_Events_Sometimes();
        }
        SendMessageW(list.Hwnd(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list.Hwnd(), nullptr, TRUE);
    }
    Do_Events();
}

void Excel_ツール_CellDrop2_RirekiPic_Display(const Picture_Grid& grid, const Picture_History& history) {
    const int n = history.Rireki_Pic_Count;
    for (int a = 0; a < Rireki_Size; ++a) {
        grid.Img_Pic[a]->Set_Enabled(a <= n);
        if (a > n) grid.Img_Pic[a]->Set_Picture(Bitmap_Handle());
    }
    if (n < 0) {
        grid.Pic_Scroll.Set_Visible(false);
        grid.VScroll1.Set_Enabled(false);
        return;
    }
    {
        const Hourglass busy;
        Do_Events();
        grid.Pic_Scroll.Set_Visible(true);

        // The sheet ends below the row of the last picture: a full cell, whatever the shape of the
        // thumbnails in that row.
        grid.Pic_Scroll.Set_Height(grid.Img_Pic[n]->Top() + grid.Pic_Cell_Size);
        const float frame = grid.Pic_Screen.Inner_Height();
        const bool scrolls = grid.Pic_Scroll.Height() > frame;
        grid.VScroll1.Set_Enabled(scrolls);
        const int max = static_cast<int>(std::lround(std::max(0.0f, grid.Pic_Scroll.Height() - frame)));
        grid.VScroll1.Set_Scroll_Range(0, max, 1, static_cast<int>(std::lround(grid.Pic_Cell_Size)));
        grid.Pic_Scroll.Set_Top(-static_cast<float>(grid.VScroll1.Value()));

        for (int e = 0; e <= n; ++e) {
            const Picture_Entry& entry = history.Rireki_Pic[static_cast<std::size_t>(e)];
            Control& cell = *grid.Img_Pic[e];
            // Anchored at the top-left of its square; a picture without width or height shows an empty cell.
            const Fitted_Size size = Fit_In_Square(entry.Width, entry.Height, grid.Pic_Cell_Size);
            const bool shown = !entry.Empty && size.Width > 0 && size.Height > 0;
            cell.Move(cell.Left(), cell.Top(), shown ? static_cast<float>(size.Width) : grid.Pic_Cell_Size,
                      shown ? static_cast<float>(size.Height) : grid.Pic_Cell_Size);
            cell.Set_Picture(shown ? Bitmap_From_Image(entry.Thumbnail) : Bitmap_Handle());
            Do_Events_Sometimes();
        }
    }
    Do_Events();
}

Bitmap_Handle Bitmap_From_Image(const Bitmap_Image& image) {
    if (image.Width <= 0 || image.Height <= 0) return Bitmap_Handle();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.Width;
    info.bmiHeader.biHeight = -image.Height;  // rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap_Handle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return Bitmap_Handle();
    std::memcpy(bits, image.Pixels.data(), image.Pixels.size() * sizeof(std::uint32_t));
    return bitmap;
}
