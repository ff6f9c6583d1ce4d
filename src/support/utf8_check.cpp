#include "utf8_check.h"

namespace {

// The longest sequence of well-formed UTF-8 (1 for ASCII only), 0 when the bytes are not UTF-8.
int Longest_Utf8_Sequence(std::string_view bytes) {
    int longest = bytes.empty() ? 0 : 1;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned long value = 0, least = 0;
        if (lead >= 0xC2 && lead <= 0xDF)
            more = 1, value = lead & 0x1F, least = 0x80;
        else if (lead >= 0xE0 && lead <= 0xEF)
            more = 2, value = lead & 0x0F, least = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4)
            more = 3, value = lead & 0x07, least = 0x10000;
        else
            return 0;
        if (bytes.size() - i <= static_cast<std::size_t>(more)) return 0;
        for (int k = 1; k <= more; ++k) {
            const unsigned char c = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) return 0;
            value = value << 6 | (c & 0x3F);
        }
        if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
        if (more + 1 > longest) longest = more + 1;
        i += static_cast<std::size_t>(more) + 1;
    }
    return longest;
}

}  // namespace

bool Is_Utf8_Beyond_Ascii(std::string_view bytes) { return Longest_Utf8_Sequence(bytes) >= 2; }

bool Is_Well_Formed_Utf8(std::string_view bytes) { return bytes.empty() || Longest_Utf8_Sequence(bytes) > 0; }

bool Is_Valid_Cp932(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
            ++i;
            continue;
        }
        if (!((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) || i + 1 >= bytes.size()) return false;
        const unsigned char t = static_cast<unsigned char>(bytes[i + 1]);
        if (!((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC))) return false;
        i += 2;
    }
    return true;
}

bool Is_Utf8_Text(std::string_view bytes) {
    const int longest = Longest_Utf8_Sequence(bytes);
    return longest >= 3 || (longest == 2 && !Is_Valid_Cp932(bytes));
}
