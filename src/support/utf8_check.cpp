#include "utf8_check.h"

bool Is_Utf8_Beyond_Ascii(std::string_view bytes) {
    bool beyond = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned long value = 0, least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) more = 1, value = lead & 0x1F, least = 0x80;
        else if (lead >= 0xE0 && lead <= 0xEF) more = 2, value = lead & 0x0F, least = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4) more = 3, value = lead & 0x07, least = 0x10000;
        else return false;
        if (bytes.size() - i <= static_cast<std::size_t>(more)) return false;
        for (int k = 1; k <= more; ++k) {
            const unsigned char c = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) return false;
            value = value << 6 | (c & 0x3F);
        }
        if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        beyond = true;
        i += static_cast<std::size_t>(more) + 1;
    }
    return beyond;
}
