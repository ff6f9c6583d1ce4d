// Pictures copied only as "PNG": decoded as they look on a sheet, damaged data refused.
#include <gtest/gtest.h>

#include <string>

#include "png_picture.h"

namespace {

// 3×1 RGBA: opaque red, fully transparent black, blue at alpha 128.
const std::string Three_Pixels(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x03\x00\x00\x00\x01\x08\x06\x00"
    "\x00\x00\x1b\xe0\x14\xb4\x00\x00\x00\x11\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\x00\x44\x20\xf0\xbf\x01\x00"
    "\x17\x76\x03\x7e\x7b\x55\x22\xed\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    74);

int Channel(std::uint32_t pixel, int shift) { return static_cast<int>(pixel >> shift & 0xFF); }

}  // namespace

TEST(Png_Picture, TransparencyIsLaidOnWhiteAndDamagedDataGivesNothing) {
    const auto image = Decode_Png(Three_Pixels);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->Width, 3);
    ASSERT_EQ(image->Height, 1);
    EXPECT_EQ(image->Pixels[0], 0xFF0000u);  // opaque: as it is, no alpha kept
    EXPECT_EQ(image->Pixels[1], 0xFFFFFFu);  // transparent: the white of the sheet
    // Half blue over white: blue stays full, red and green half-way (rounding may differ by one).
    EXPECT_EQ(Channel(image->Pixels[2], 0), 255);
    EXPECT_NEAR(Channel(image->Pixels[2], 16), 127, 1);
    EXPECT_NEAR(Channel(image->Pixels[2], 8), 127, 1);
    EXPECT_EQ(image->Pixels[2] >> 24, 0u);

    EXPECT_FALSE(Decode_Png(""));
    EXPECT_FALSE(Decode_Png(Three_Pixels.substr(0, 40)));  // cut inside its data
    std::string bad_crc = Three_Pixels;
    bad_crc[45] ^= 0x55;  // a byte of the compressed pixels
    EXPECT_FALSE(Decode_Png(bad_crc));
    EXPECT_FALSE(Decode_Png(std::string("GIF89a") + Three_Pixels.substr(6)));
}
