// The picture history with 30 full-HD screenshots: memory it keeps, the cost of a save after one new
// picture, of loading the folder and of showing the thumbnails. Each figure comes with a baseline
// measured in the same run: the raw pictures' size, a rewrite of all 30 files, reading the files'
// bytes, and scaling the full pictures down to the cells.
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "binary_file.h"
#include "copy_history.h"
#include "copy_history_view.h"
#include "form.h"
#include "temp_folder.h"

namespace {

constexpr int Width = 1920, Height = 1080;

// A screen-like picture: flat panels with lines of "text" in them, different for each seed.
Bitmap_Image Screenshot(unsigned seed) {
    Bitmap_Image image{Width, Height, std::vector<std::uint32_t>(static_cast<std::size_t>(Width) * Height)};
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const bool text = (y / 12 + seed) % 3 == 0 && (x * 7 + y * 13 + seed) % 11 < 4;
            image.Pixels[static_cast<std::size_t>(y) * Width + x] =
                text ? 0x202020 : 0xF0F0F0 - ((x / 480 + seed) % 4) * 0x101010;
        }
    return image;
}

double Working_Set_Mb() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

template <class F>
double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The paste screen's grid on its own: a frame, the sheet, the scroll bar and 30 cells.
class Grid_Form : public Form {
public:
    Grid_Form() : Form(L"CellDropBenchGrid", L"grid") {}
    Picture_Grid Grid() {
        Picture_Grid grid{(*this)(L"Pic_Screen"), (*this)(L"Pic_Scroll"), (*this)(L"VScroll1"), {}, 735};
        for (int i = 0; i < Rireki_Size; ++i) grid.Img_Pic[static_cast<std::size_t>(i)] = &(*this)(L"Img_Pic", i);
        return grid;
    }

protected:
    void On_Load() override {
        using K = Control_Kind;
        const Control_Def table[] = {
            {L"Pic_Screen", -1, K::Picture_Box, nullptr, 0, 0, 3975, 2055},
            {L"Pic_Scroll", -1, K::Picture_Box, nullptr, 0, 0, 3675, 4410, L"Pic_Screen"},
            {L"VScroll1", -1, K::VScroll_Bar, nullptr, 3975, 0, 255, 2055},
        };
        Add_Controls(table);
        for (int i = 0; i < Rireki_Size; ++i) {
            const Control_Def cell{L"Img_Pic",
                                   i,
                                   K::Image,
                                   nullptr,
                                   static_cast<float>(i % 5 * 735),
                                   static_cast<float>(i / 5 * 735),
                                   735,
                                   735,
                                   L"Pic_Scroll"};
            Add_Control(cell);
        }
        Show();
    }
};

}  // namespace

int main() {
    Temp_Folder folder;
    Picture_History history;
    history.Folder = folder.Path();
    history.Thumbnail_Side = 49;  // a cell of the paste screen at 96 dpi

    history.Load();  // a history is saved only into the folder it was read from

    // Memory: 30 new pictures, not yet saved.
    const double before = Working_Set_Mb();
    double add_seconds = 0;
    for (unsigned i = 0; i < Rireki_Size; ++i) {
        const Bitmap_Image picture = Screenshot(i);
        add_seconds += Seconds([&] { history.Add(picture); });
    }
    const double kept = Working_Set_Mb() - before;
    const double raw = Rireki_Size * Width * Height * 4.0 / (1024 * 1024);
    std::printf("memory: 30 full-HD pictures add %.1f MB (raw pictures %.1f MB, ratio %.3f; goal <= 60 MB)\n", kept,
                raw, kept / raw);
    std::printf("capture: %.1f ms per picture added\n", add_seconds * 1000 / Rireki_Size);

    // A save after one new picture, against writing all 30 files anew.
    if (!history.Write()) std::printf("the first save failed\n");
    history.Add(Screenshot(99));
    const double save = Seconds([&] { (void)history.Write(); });
    const std::string file = Encode_Bmp_File(Screenshot(7));
    const double rewrite = Seconds([&] {
        for (int i = 0; i < Rireki_Size; ++i)
            (void)Write_Binary_File(folder / (L"full" + std::to_wstring(i) + L".bmp"), file);
    });
    std::printf("save after one new picture: %.3f s (full rewrite %.3f s, ratio %.3f)\n", save, rewrite,
                save / rewrite);

    // Loading the folder (files read, thumbnails made), against reading the files' bytes alone.
    const double read = Seconds([&] {
        for (int i = 0; i < Rireki_Size; ++i)
            (void)Read_Binary_File(folder / Rireki_File_Name(L"Pic", i, L".bmp"), 1ull << 30);
    });
    Picture_History loaded;
    loaded.Folder = folder.Path();
    loaded.Thumbnail_Side = 49;
    const double load = Seconds([&] { loaded.Load(); });
    std::printf("load of 30 full-HD files: %.3f s (reading their bytes %.3f s, ratio %.2f)\n", load, read, load / read);

    // Showing the grid, against drawing the full pictures scaled into the cells.
    Grid_Form form;
    if (!form.Load()) return 1;
    const double show = Seconds([&] { Excel_ツール_CellDrop2_RirekiPic_Display(form.Grid(), loaded); });
    // What the grid would cost if it scaled the full pictures each time it is shown.
    const Bitmap_Image full = Screenshot(1);
    const double naive = Seconds([&] {
        for (int i = 0; i < Rireki_Size; ++i) (void)Thumbnail_Of(full, 49);
    });
    std::printf("show 30 thumbnails: %.3f s (scaling 30 full pictures %.3f s, ratio %.3f; goal <= 0.5 s)\n", show,
                naive, show / naive);
    form.Unload();
    return 0;
}
