#pragma once
// Pictures a program copied only as "PNG" (a registered clipboard format: some programs copy so, and
// so does Wine's bridge from the X11 clipboard), decoded with the Windows Imaging Component, which
// every Windows and Wine has.
#include <optional>
#include <string_view>

#include "bitmap_image.h"

// The first frame of the PNG file, laid on white where it is transparent, as it looks on a sheet.
// Nothing for damaged data or a picture beyond the history's limits (Max_Picture_Side,
// Max_Picture_Pixels). Initialises COM for the calling thread when it has not been.
std::optional<Bitmap_Image> Decode_Png(std::string_view png);
