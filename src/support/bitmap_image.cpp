#include "bitmap_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint32_t Bi_Rgb = 0;
constexpr std::uint32_t Bi_Rle8 = 1;
constexpr std::uint32_t Bi_Rle4 = 2;
constexpr std::uint32_t Bi_Bitfields = 3;
constexpr std::size_t File_Header_Size = 14;
constexpr std::size_t Info_Header_Size = 40;

std::uint32_t U32(std::string_view b, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
std::uint16_t U16(std::string_view b, std::size_t at) {
    std::uint16_t v = 0;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}
void Put32(std::string& b, std::uint32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); }
void Put16(std::string& b, std::uint16_t v) { b.append(reinterpret_cast<const char*>(&v), 2); }

// One colour channel of a bit-field pixel, widened to 8 bits.
struct Channel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint32_t Max = 0;

    explicit Channel(std::uint32_t mask) : Mask(mask) {
        if (!mask) return;
        while (!(mask & 1)) mask >>= 1, ++Shift;
        Max = mask;
    }
    std::uint32_t Of(std::uint32_t pixel) const {
        if (!Max) return 0;
        // In 64 bits: a mask of more than 24 bits would overflow 255 times its value in 32.
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>((pixel & Mask) >> Shift) * 255 / Max);
    }
};

struct Dib_Layout {
    std::int64_t Width = 0;
    std::int64_t Height = 0;  // negative: rows top to bottom
    int Bits = 0;
    std::uint32_t Compression = 0;
    std::uint32_t Masks[3] = {0, 0, 0};
    std::uint32_t Alpha_Mask = 0;
    std::size_t Palette_At = 0;
    std::size_t Palette_Count = 0;
    std::size_t Packed_Bits_At = 0;  // where the rows start when they follow the header directly
};

std::optional<Dib_Layout> Read_Layout(std::string_view dib) {
    if (dib.size() < Info_Header_Size) return std::nullopt;
    const std::uint32_t header = U32(dib, 0);
    if (header < Info_Header_Size || header > dib.size()) return std::nullopt;
    Dib_Layout l;
    l.Width = static_cast<std::int32_t>(U32(dib, 4));
    l.Height = static_cast<std::int32_t>(U32(dib, 8));
    l.Bits = U16(dib, 14);
    l.Compression = U32(dib, 16);
    const std::uint32_t colours_used = U32(dib, 32);
    if (U16(dib, 12) != 1 || l.Width <= 0 || l.Height == 0 || l.Width > Max_Picture_Side ||
        std::abs(l.Height) > Max_Picture_Side || l.Width * std::abs(l.Height) > Max_Picture_Pixels)
        return std::nullopt;
    const int bits[] = {1, 4, 8, 16, 24, 32};
    if (std::find(std::begin(bits), std::end(bits), l.Bits) == std::end(bits)) return std::nullopt;
    std::size_t after = header;
    if (l.Compression == Bi_Bitfields) {
        if (l.Bits != 16 && l.Bits != 32) return std::nullopt;
        // The masks sit inside a later header (52 bytes and more), or right after the plain one; a
        // header of a size between holds only part of them.
        if (header == Info_Header_Size) {
            if (dib.size() < after + 12) return std::nullopt;
            after += 12;
        } else if (header < Info_Header_Size + 12) {
            return std::nullopt;
        }
        for (int i = 0; i < 3; ++i) l.Masks[i] = U32(dib, Info_Header_Size + 4 * i);
        if (l.Bits == 32 && header >= Info_Header_Size + 16) l.Alpha_Mask = U32(dib, Info_Header_Size + 12);
        // With the usual colour masks and no alpha mask, the fourth byte is alpha for the programs
        // that fill it, as for plain 32-bit rows; all zero means it is unused.
        if (l.Bits == 32 && !l.Alpha_Mask && l.Masks[0] == 0xFF0000 && l.Masks[1] == 0xFF00 && l.Masks[2] == 0xFF)
            l.Alpha_Mask = 0xFF000000;
    } else if (l.Compression == Bi_Rgb) {
        if (l.Bits == 16) l.Masks[0] = 0x7C00, l.Masks[1] = 0x03E0, l.Masks[2] = 0x001F;
        // The fourth byte is alpha for the programs that fill it; all zero means it is unused.
        if (l.Bits == 32) l.Masks[0] = 0xFF0000, l.Masks[1] = 0xFF00, l.Masks[2] = 0xFF, l.Alpha_Mask = 0xFF000000;
    } else if ((l.Compression == Bi_Rle8 && l.Bits == 8) || (l.Compression == Bi_Rle4 && l.Bits == 4)) {
        if (l.Height < 0) return std::nullopt;  // run-length rows are always bottom to top
    } else {
        return std::nullopt;  // embedded JPEG/PNG bitmaps are not taken in
    }
    if (l.Bits <= 8) {
        const std::size_t full = std::size_t{1} << l.Bits;
        l.Palette_Count = colours_used == 0 ? full : colours_used;
        if (l.Palette_Count > full) return std::nullopt;
    } else if (colours_used > 256) {
        return std::nullopt;
    } else {
        l.Palette_Count = colours_used;  // an optional palette for display, not used for the pixels
    }
    l.Palette_At = after;
    l.Packed_Bits_At = after + 4 * l.Palette_Count;
    if (l.Packed_Bits_At > dib.size()) return std::nullopt;
    return l;
}

std::vector<std::uint32_t> Palette_Of(std::string_view data, const Dib_Layout& l) {
    std::vector<std::uint32_t> palette(l.Palette_Count);
    for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = U32(data, l.Palette_At + 4 * i) & 0xFFFFFF;
    return palette;
}

// Run-length rows: pairs of (count, index) runs and escapes (end of line, end of picture, a jump, a run
// of literal indexes padded to 16 bits). Pixels no run reaches keep the first colour of the palette.
std::optional<Bitmap_Image> Decode_Rle(std::string_view data, const Dib_Layout& l, std::size_t bits_at) {
    if (bits_at > data.size()) return std::nullopt;
    // A run of two bytes gives at most 255 pixels: a picture far larger than its runs could fill is
    // damaged, and is refused before its pixels are allocated.
    if (static_cast<std::uint64_t>(l.Width * l.Height) > (data.size() - bits_at) * std::uint64_t{256})
        return std::nullopt;
    const std::vector<std::uint32_t> palette = Palette_Of(data, l);
    Bitmap_Image image;
    image.Width = static_cast<int>(l.Width);
    image.Height = static_cast<int>(l.Height);
    image.Pixels.assign(static_cast<std::size_t>(l.Width * l.Height), palette.empty() ? 0 : palette[0]);
    const auto* in = reinterpret_cast<const unsigned char*>(data.data());
    const std::size_t end = data.size();
    std::int64_t x = 0, y = 0;
    auto put = [&](unsigned index) {
        if (x < l.Width && y < l.Height && index < palette.size())
            image.Pixels[static_cast<std::size_t>((l.Height - 1 - y) * l.Width + x)] = palette[index];
        ++x;
    };
    auto nibble = [&](unsigned byte, std::int64_t k) {
        return l.Bits == 8 ? byte : (k % 2 == 0 ? byte >> 4 : byte & 0xF);
    };
    std::size_t p = bits_at;
    while (p + 1 < end && y < l.Height) {
        const unsigned count = in[p], value = in[p + 1];
        p += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count && x < l.Width; ++k) put(nibble(value, k));
        } else if (value == 0) {
            x = 0, ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (p + 1 >= end) break;
            x += in[p], y += in[p + 1];
            p += 2;
        } else {
            const std::size_t bytes = l.Bits == 8 ? value : (value + 1) / 2;
            if (bytes > end - p) break;
            for (unsigned k = 0; k < value; ++k) put(nibble(in[p + (l.Bits == 8 ? k : k / 2)], k));
            p += (bytes + 1) / 2 * 2;
        }
    }
    return image;
}

std::optional<Bitmap_Image> Decode_Rows(std::string_view data, const Dib_Layout& l, std::size_t bits_at) {
    if (l.Compression == Bi_Rle8 || l.Compression == Bi_Rle4) return Decode_Rle(data, l, bits_at);
    const std::uint64_t stride = (static_cast<std::uint64_t>(l.Width) * l.Bits + 31) / 32 * 4;
    const std::int64_t rows = std::abs(l.Height);
    if (bits_at > data.size() || stride * rows > data.size() - bits_at) return std::nullopt;
    Bitmap_Image image;
    image.Width = static_cast<int>(l.Width);
    image.Height = static_cast<int>(rows);
    image.Pixels.resize(static_cast<std::size_t>(l.Width * rows));
    const std::vector<std::uint32_t> palette = Palette_Of(data, l);
    const Channel red(l.Masks[0]), green(l.Masks[1]), blue(l.Masks[2]), alpha(l.Alpha_Mask);
    std::vector<std::uint8_t> alphas;
    bool alpha_used = false;
    if (l.Alpha_Mask) alphas.resize(image.Pixels.size());
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::int64_t source_row = l.Height < 0 ? y : rows - 1 - y;
        const unsigned char* row = reinterpret_cast<const unsigned char*>(data.data() + bits_at + source_row * stride);
        std::uint32_t* out = image.Pixels.data() + y * l.Width;
        for (std::int64_t x = 0; x < l.Width; ++x) {
            std::uint32_t pixel = 0;
            switch (l.Bits) {
                case 1:
                case 4:
                case 8: {
                    const std::int64_t bit = x * l.Bits;
                    const unsigned index = (row[bit / 8] >> (8 - l.Bits - bit % 8)) & ((1u << l.Bits) - 1);
                    pixel = index < palette.size() ? palette[index] : 0;
                    break;
                }
                case 16: {
                    const std::uint32_t v = row[2 * x] | row[2 * x + 1] << 8;
                    pixel = red.Of(v) << 16 | green.Of(v) << 8 | blue.Of(v);
                    break;
                }
                case 24:
                    pixel = row[3 * x + 2] << 16 | row[3 * x + 1] << 8 | row[3 * x];
                    break;
                case 32: {
                    std::uint32_t v = 0;
                    std::memcpy(&v, row + 4 * x, 4);
                    pixel = red.Of(v) << 16 | green.Of(v) << 8 | blue.Of(v);
                    if (l.Alpha_Mask) {
                        const std::uint32_t a = alpha.Of(v);
                        alphas[static_cast<std::size_t>(y * l.Width + x)] = static_cast<std::uint8_t>(a);
                        alpha_used = alpha_used || a != 0;
                    }
                    break;
                }
            }
            out[x] = pixel;
        }
    }
    // Laid on white by their opacity; an alpha channel left all zero means the picture is opaque.
    if (alpha_used) {
        for (std::size_t i = 0; i < image.Pixels.size(); ++i) {
            const std::uint32_t a = alphas[i], p = image.Pixels[i];
            auto mix = [a](std::uint32_t c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            image.Pixels[i] = mix(p >> 16 & 0xFF) << 16 | mix(p >> 8 & 0xFF) << 8 | mix(p & 0xFF);
        }
    }
    return image;
}

std::string Info_Header(const Bitmap_Image& image, std::uint32_t image_bytes) {
    std::string b;
    Put32(b, Info_Header_Size);
    Put32(b, static_cast<std::uint32_t>(image.Width));
    Put32(b, static_cast<std::uint32_t>(image.Height));
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, Bi_Rgb);
    Put32(b, image_bytes);
    Put32(b, 3780);  // 96 dpi in pixels per metre
    Put32(b, 3780);
    Put32(b, 0);
    Put32(b, 0);
    return b;
}

std::string Rows_24(const Bitmap_Image& image) {
    const std::size_t stride = (static_cast<std::size_t>(image.Width) * 3 + 3) / 4 * 4;
    std::string rows(stride * static_cast<std::size_t>(image.Height), '\0');
    for (int y = 0; y < image.Height; ++y) {
        char* out = rows.data() + static_cast<std::size_t>(image.Height - 1 - y) * stride;
        const std::uint32_t* in = image.Pixels.data() + static_cast<std::size_t>(y) * image.Width;
        for (int x = 0; x < image.Width; ++x) {
            out[3 * x] = static_cast<char>(in[x] & 0xFF);
            out[3 * x + 1] = static_cast<char>(in[x] >> 8 & 0xFF);
            out[3 * x + 2] = static_cast<char>(in[x] >> 16 & 0xFF);
        }
    }
    return rows;
}

}  // namespace

std::optional<Bitmap_Image> Decode_Packed_Dib(std::string_view dib) {
    const auto layout = Read_Layout(dib);
    if (!layout) return std::nullopt;
    return Decode_Rows(dib, *layout, layout->Packed_Bits_At);
}

bool Dib_Readable(std::string_view dib) {
    const auto l = Read_Layout(dib);
    if (!l) return false;
    if (l->Compression == Bi_Rle8 || l->Compression == Bi_Rle4) return true;
    const std::uint64_t stride = (static_cast<std::uint64_t>(l->Width) * l->Bits + 31) / 32 * 4;
    return stride * static_cast<std::uint64_t>(std::abs(l->Height)) <= dib.size() - l->Packed_Bits_At;
}

bool Dib_Without_Pixels(std::string_view dib) {
    if (dib.size() < 12) return false;
    const std::uint32_t header = U32(dib, 0);
    if (header == 12) return U16(dib, 4) == 0 || U16(dib, 6) == 0;  // the old core header's 16-bit sides
    if (header < 40) return false;
    return U32(dib, 4) == 0 || U32(dib, 8) == 0;
}

std::optional<Bitmap_Image> Decode_Bmp_File(std::string_view file) {
    if (file.size() < File_Header_Size || file.substr(0, 2) != "BM") return std::nullopt;
    const std::string_view dib = file.substr(File_Header_Size);
    const auto layout = Read_Layout(dib);
    if (!layout) return std::nullopt;
    const std::uint32_t bits_offset = U32(file, 10);
    if (bits_offset < File_Header_Size + layout->Packed_Bits_At) return std::nullopt;
    return Decode_Rows(dib, *layout, bits_offset - File_Header_Size);
}

std::string Encode_Packed_Dib(const Bitmap_Image& image) {
    std::string rows = Rows_24(image);
    std::string dib = Info_Header(image, static_cast<std::uint32_t>(rows.size()));
    dib += rows;
    return dib;
}

std::string Encode_Bmp_File(const Bitmap_Image& image) {
    const std::string dib = Encode_Packed_Dib(image);
    std::string file = "BM";
    Put32(file, static_cast<std::uint32_t>(File_Header_Size + dib.size()));
    Put32(file, 0);
    Put32(file, static_cast<std::uint32_t>(File_Header_Size + Info_Header_Size));
    file += dib;
    return file;
}

Fitted_Size Fit_In_Square(double width, double height, double side) {
    if (width <= 0 || height <= 0) return {};
    if (height < width) return {side, height * side / width};
    return {width * side / height, side};
}

Bitmap_Image Thumbnail_Of(const Bitmap_Image& image, int side) {
    if (image.Width <= 0 || image.Height <= 0 ||
        image.Pixels.size() < static_cast<std::size_t>(image.Width) * image.Height)
        return {};
    if (image.Width <= side && image.Height <= side) return image;
    const Fitted_Size fitted = Fit_In_Square(image.Width, image.Height, side);
    Bitmap_Image thumb;
    thumb.Width = std::max(1, static_cast<int>(std::lround(fitted.Width)));
    thumb.Height = std::max(1, static_cast<int>(std::lround(fitted.Height)));
    thumb.Pixels.resize(static_cast<std::size_t>(thumb.Width) * thumb.Height);
    for (int ty = 0; ty < thumb.Height; ++ty) {
        const int y0 = static_cast<int>(static_cast<std::int64_t>(ty) * image.Height / thumb.Height);
        const int y1 =
            std::max(y0 + 1, static_cast<int>(static_cast<std::int64_t>(ty + 1) * image.Height / thumb.Height));
        for (int tx = 0; tx < thumb.Width; ++tx) {
            const int x0 = static_cast<int>(static_cast<std::int64_t>(tx) * image.Width / thumb.Width);
            const int x1 =
                std::max(x0 + 1, static_cast<int>(static_cast<std::int64_t>(tx + 1) * image.Width / thumb.Width));
            std::uint64_t r = 0, g = 0, b = 0;
            for (int y = y0; y < y1; ++y) {
                const std::uint32_t* row = image.Pixels.data() + static_cast<std::size_t>(y) * image.Width;
                for (int x = x0; x < x1; ++x) r += row[x] >> 16 & 0xFF, g += row[x] >> 8 & 0xFF, b += row[x] & 0xFF;
            }
            const std::uint64_t n = static_cast<std::uint64_t>(y1 - y0) * (x1 - x0);
            thumb.Pixels[static_cast<std::size_t>(ty) * thumb.Width + tx] =
                static_cast<std::uint32_t>((r / n) << 16 | (g / n) << 8 | (b / n));
        }
    }
    return thumb;
}
