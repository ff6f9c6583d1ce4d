// Bitmap files and packed bitmaps in and out, damaged headers refused, thumbnails.
#include <gtest/gtest.h>

#include <cstring>

#include "bitmap_image.h"

namespace {

Bitmap_Image Gradient(int width, int height) {
    Bitmap_Image image{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Pixels.push_back(static_cast<std::uint32_t>((x * 7) << 16 | (y * 3) << 8 | 0x40));
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
    Set32(dib, 52, 0xFF123456), Set32(dib, 56, 0xFFABCDEF);  // opaque: the fourth byte is alpha
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
    EXPECT_FALSE(Decode_Bmp_File(file.substr(0, 20)));               // truncated header
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
    // A picture without width or height is no picture: nothing to paste, keep or show.
    EXPECT_FALSE(Decode_Bmp_File(Encode_Bmp_File(Bitmap_Image{0, 7, {}})));
    EXPECT_FALSE(Decode_Packed_Dib(Encode_Packed_Dib(Bitmap_Image{7, 0, {}})));
    EXPECT_TRUE(Thumbnail_Of(Bitmap_Image{0, 7, {}}, 8).Pixels.empty());
    // Colour masks in a header too short to hold them: refused, not read beyond it.
    std::string short_header(44 + 8, '\0');
    Set32(short_header, 0, 44), Set32(short_header, 4, 1), Set32(short_header, 8, 1);
    short_header[12] = 1, short_header[14] = 32, short_header[16] = 3;
    EXPECT_FALSE(Decode_Packed_Dib(short_header));
}

namespace {

std::string Header(std::uint32_t size, int width, int height, int bits, int compression) {
    std::string dib(size, '\0');
    Set32(dib, 0, size), Set32(dib, 4, static_cast<std::uint32_t>(width)),
        Set32(dib, 8, static_cast<std::uint32_t>(height));
    dib[12] = 1, dib[14] = static_cast<char>(bits), dib[16] = static_cast<char>(compression);
    return dib;
}

}  // namespace

TEST(Bitmap_Image, WideMasksRunLengthTransparencyAndLongCapturesAreRead) {
    // A 30-bit channel mask: full is white, not an overflow to black.
    std::string wide = Header(40, 1, 1, 32, 3);
    wide += std::string(12, '\0') + std::string(4, '\0');
    Set32(wide, 40, 0x3FFFFFFF), Set32(wide, 44, 0x3FFFFFFF), Set32(wide, 48, 0x3FFFFFFF), Set32(wide, 52, 0x3FFFFFFF);
    ASSERT_TRUE(Decode_Packed_Dib(wide));
    EXPECT_EQ(Decode_Packed_Dib(wide)->Pixels[0], 0xFFFFFFu);

    // Run-length 8 bits, 3 x 2: bottom row a run of 3 of colour 1; top row literal 0, 1, 0.
    std::string rle8 = Header(40, 3, 2, 8, 1);
    Set32(rle8, 32, 2);  // two colours
    rle8 += std::string(8, '\0');
    Set32(rle8, 40, 0x0000FF), Set32(rle8, 44, 0xFF0000);
    rle8 += std::string("\x03\x01\x00\x00\x00\x03\x00\x01\x00\x00\x00\x01", 12);
    ASSERT_TRUE(Decode_Packed_Dib(rle8));
    EXPECT_EQ(Decode_Packed_Dib(rle8)->Pixels,
              (std::vector<std::uint32_t>{0xFF, 0xFF0000, 0xFF, 0xFF0000, 0xFF0000, 0xFF0000}));
    // Run-length 4 bits, 4 x 1: a run alternating colours 1 and 0.
    std::string rle4 = Header(40, 4, 1, 4, 2);
    rle4 += std::string(64, '\0');
    Set32(rle4, 44, 0x00FF00);
    rle4 += std::string("\x04\x10\x00\x01", 4);
    ASSERT_TRUE(Decode_Packed_Dib(rle4));
    EXPECT_EQ(Decode_Packed_Dib(rle4)->Pixels, (std::vector<std::uint32_t>{0xFF00, 0, 0xFF00, 0}));

    // 32 bits with alpha: transparent is white, half transparent black is grey, opaque stays.
    std::string alpha = Header(40, 3, 1, 32, 0);
    alpha += std::string(12, '\0');
    Set32(alpha, 40, 0x00000000), Set32(alpha, 44, 0x80000000), Set32(alpha, 48, 0xFF123456);
    ASSERT_TRUE(Decode_Packed_Dib(alpha));
    EXPECT_EQ(Decode_Packed_Dib(alpha)->Pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0x7F7F7F, 0x123456}));
    // An alpha byte left zero everywhere means an opaque picture.
    Set32(alpha, 44, 0x00ABCDEF), Set32(alpha, 48, 0x00123456);
    EXPECT_EQ(Decode_Packed_Dib(alpha)->Pixels, (std::vector<std::uint32_t>{0, 0xABCDEF, 0x123456}));
    // The same rule for bit fields with the usual masks, after a plain header or inside a version 5
    // header with its alpha mask (as screenshot tools and browsers copy).
    for (const std::uint32_t header : {40u, 124u}) {
        std::string fields = Header(header, 2, 1, 32, 3);
        if (header == 40) fields += std::string(12, '\0');
        Set32(fields, 40, 0xFF0000), Set32(fields, 44, 0xFF00), Set32(fields, 48, 0xFF);
        if (header == 124) Set32(fields, 52, 0xFF000000);
        fields += std::string(8, '\0');
        Set32(fields, fields.size() - 4, 0xFF123456);
        ASSERT_TRUE(Decode_Packed_Dib(fields)) << header;
        EXPECT_EQ(Decode_Packed_Dib(fields)->Pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0x123456})) << header;
    }

    // A full-page capture taller than 16,384 pixels.
    Bitmap_Image tall{2, 40000, {}};
    for (int i = 0; i < 80000; ++i) tall.Pixels.push_back(static_cast<std::uint32_t>(i) & 0xFFFFFF);
    const auto back = Decode_Bmp_File(Encode_Bmp_File(tall));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Pixels, tall.Pixels);
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
