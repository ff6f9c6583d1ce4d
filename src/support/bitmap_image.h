#pragma once
// Pictures as the copy history keeps them: 32-bit pixels in memory; Windows bitmap files (.bmp) and
// packed device-independent bitmaps (the clipboard's bitmap format) in and out; small thumbnails.
// Headers are checked against the data before anything is allocated, so a damaged or hostile file
// (truncated, absurd dimensions) is refused instead of costing gigabytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Bitmap_Image {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;  // rows top to bottom, each pixel 0x00RRGGBB
};

// Larger pictures are refused. A side may be as long as a bitmap header can say (a full-page capture
// of a web page is tens of thousands of pixels high); the whole is bounded at 100 M pixels, 400 MB
// while it is read. Only the thumbnail stays in memory afterwards.
constexpr int Max_Picture_Side = 65535;
constexpr std::int64_t Max_Picture_Pixels = 100ll * 1000 * 1000;

// A packed DIB: a BITMAPINFOHEADER (or a later version), its colour masks or palette, then the rows.
// Uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, and run-length 4 and 8 bits; nothing for
// anything else, damaged data or a picture without pixels (0 wide or high). Pixels with transparency
// (32 bits with an alpha channel in use: the header's alpha mask, else the fourth byte when the colour
// masks are the usual ones) are laid on white, as they look on a sheet.
std::optional<Bitmap_Image> Decode_Packed_Dib(std::string_view dib);
// True when the DIB's header says it is 0 pixels wide or high: a picture with nothing to show, which
// is neither pasted nor kept (unlike one that is merely damaged or too large for the history).
bool Dib_Without_Pixels(std::string_view dib);
// True when the DIB's header and size promise a picture Decode_Packed_Dib reads, without decoding it
// (run-length rows are only checked as they are decoded).
bool Dib_Readable(std::string_view dib);
// A .bmp file: the file header, then a DIB whose rows start where the file header says.
std::optional<Bitmap_Image> Decode_Bmp_File(std::string_view file);

// 24 bits per pixel, rows bottom to top, 96 dpi: the form every program that opens bitmaps reads.
std::string Encode_Bmp_File(const Bitmap_Image& image);
std::string Encode_Packed_Dib(const Bitmap_Image& image);

// The size of a picture of width x height shown in a square of the given side, keeping its shape:
// a landscape picture takes the full width, any other the full height. Zero when the picture has none.
struct Fitted_Size {
    double Width = 0;
    double Height = 0;
};
Fitted_Size Fit_In_Square(double width, double height, double side);

// The picture reduced to fit a square of side pixels, each new pixel the average of the pixels it
// covers; a picture that fits already is returned as it is.
Bitmap_Image Thumbnail_Of(const Bitmap_Image& image, int side);
