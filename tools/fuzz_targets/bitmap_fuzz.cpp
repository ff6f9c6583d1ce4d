// Bitmap files and packed bitmaps of any bytes: never read out of bounds; a picture read is saved and
// read again with the same size and pixels; its thumbnail fits its square.
#include <cstdint>
#include <string_view>

#include "bitmap_image.h"
#include "check.h"

namespace {

void Check_Picture(const Bitmap_Image& image) {
    FUZZ_CHECK(image.Width > 0 && image.Height > 0);
    FUZZ_CHECK(image.Width <= Max_Picture_Side && image.Height <= Max_Picture_Side);
    FUZZ_CHECK(image.Pixels.size() == static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height));
    for (std::uint32_t p : image.Pixels) FUZZ_CHECK(p <= 0xFFFFFF);
    const auto file = Decode_Bmp_File(Encode_Bmp_File(image));
    FUZZ_CHECK(file && file->Width == image.Width && file->Height == image.Height && file->Pixels == image.Pixels);
    const auto dib = Decode_Packed_Dib(Encode_Packed_Dib(image));
    FUZZ_CHECK(dib && dib->Pixels == image.Pixels);
    const Bitmap_Image thumb = Thumbnail_Of(image, 16);
    FUZZ_CHECK(thumb.Width >= 1 && thumb.Width <= 16 && thumb.Height >= 1 && thumb.Height <= 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto image = Decode_Bmp_File(bytes)) Check_Picture(*image);
    if (const auto image = Decode_Packed_Dib(bytes)) Check_Picture(*image);
    return 0;
}
