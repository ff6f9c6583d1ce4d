// Bitmap files and packed bitmaps in and out, damaged headers refused, thumbnails.
#include <gtest/gtest.h>

#include <cstring>

#include "bitmap_image.h"

namespace {

Bitmap_Image Gradient(int width, int height) {
    Bitmap_Image image{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.Pixels.push_back(static_cast<std::uint32_t>((x * 7) << 16 | (y * 3) << 8 | 0x40));
    return image;
}

void Set32(std::string& b, std::size_t at, std::uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

}  // namespace

TEST(Bitmap_Image, FilesAndPackedBitmapsRoundTripWithOddRowSizes) {
    const Bitmap_Image image = Gradient(5, 3);  // 15-byte rows padded to 16
    const std::string file = Encode_Bmp_File(image);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(file.size(), 14u + 40u + 16u * 3u);
    const auto from_file = Decode_Bmp_File(file);
    ASSERT_TRUE(from_file);
    EXPECT_EQ(from_file->Width, 5);
    EXPECT_EQ(from_file->Pixels, image.Pixels);
    const auto from_dib = Decode_Packed_Dib(Encode_Packed_Dib(image));
    ASSERT_TRUE(from_dib);
    EXPECT_EQ(from_dib->Pixels, image.Pixels);
}

TEST(Bitmap_Image, OtherLayoutsAreReadAsScreenshotsAndPaintWriteThem) {
    // 32 bits with colour masks after the header, rows top to bottom (a negative height).
    std::string dib(40 + 12 + 8, '\0');
    Set32(dib, 0, 40);
    Set32(dib, 4, 2);
    Set32(dib, 8, static_cast<std::uint32_t>(-1));
    dib[12] = 1, dib[14] = 32, dib[16] = 3;
    Set32(dib, 40, 0xFF0000), Set32(dib, 44, 0xFF00), Set32(dib, 48, 0xFF);
    Set32(dib, 52, 0xFF123456), Set32(dib, 56, 0x00ABCDEF);
    const auto masked = Decode_Packed_Dib(dib);
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->Pixels, (std::vector<std::uint32_t>{0x123456, 0xABCDEF}));

    // 1 bit per pixel with a two-colour palette, rows bottom to top.
    std::string mono(40 + 8 + 8, '\0');
    Set32(mono, 0, 40), Set32(mono, 4, 3), Set32(mono, 8, 2);
    mono[12] = 1, mono[14] = 1;
    Set32(mono, 40, 0x000000), Set32(mono, 44, 0xFFFFFF);
    mono[48] = static_cast<char>(0b10100000);  // bottom row: white, black, white
    mono[52] = static_cast<char>(0b01000000);  // top row: black, white, black
    const auto palette = Decode_Packed_Dib(mono);
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->Pixels, (std::vector<std::uint32_t>{0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF}));
}

TEST(Bitmap_Image, DamagedOrAbsurdHeadersAreRefusedWithoutAllocating) {
    std::string file = Encode_Bmp_File(Gradient(4, 4));
    EXPECT_FALSE(Decode_Bmp_File(file.substr(0, file.size() - 1)));  // truncated rows
    EXPECT_FALSE(Decode_Bmp_File(file.substr(0, 20)));                // truncated header
    EXPECT_FALSE(Decode_Bmp_File("not a bitmap at all, just text"));
    std::string absurd = file;
    Set32(absurd, 18, 100000), Set32(absurd, 22, 100000);
    EXPECT_FALSE(Decode_Bmp_File(absurd));
    std::string wide = file;
    Set32(wide, 18, 16000), Set32(wide, 22, 16000);  // within the sides, but no data for it
    EXPECT_FALSE(Decode_Bmp_File(wide));
    std::string rle = file;
    rle[30] = 1;  // run-length compressed
    EXPECT_FALSE(Decode_Bmp_File(rle));
    // A picture without width is a picture all the same, with nothing to show.
    const auto empty = Decode_Bmp_File(Encode_Bmp_File(Bitmap_Image{0, 7, {}}));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Width, 0);
    EXPECT_TRUE(empty->Pixels.empty());
}

TEST(Bitmap_Image, ThumbnailsKeepTheShapeAndAverageThePixels) {
    EXPECT_DOUBLE_EQ(Fit_In_Square(400, 200, 735).Height, 367.5);
    EXPECT_DOUBLE_EQ(Fit_In_Square(400, 200, 735).Width, 735);
    EXPECT_DOUBLE_EQ(Fit_In_Square(200, 400, 735).Width, 367.5);
    EXPECT_DOUBLE_EQ(Fit_In_Square(300, 300, 735).Height, 735);
    EXPECT_DOUBLE_EQ(Fit_In_Square(0, 300, 735).Height, 0);

    Bitmap_Image checker{4, 2, {0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0xFFFFFF, 0, 0xFFFFFF}};
    const Bitmap_Image thumb = Thumbnail_Of(checker, 2);
    EXPECT_EQ(thumb.Width, 2);
    EXPECT_EQ(thumb.Height, 1);
    EXPECT_EQ(thumb.Pixels, (std::vector<std::uint32_t>{0x7F7F7F, 0x7F7F7F}));
    EXPECT_EQ(Thumbnail_Of(checker, 8).Pixels, checker.Pixels);  // small enough already
}
