// Text file bytes of any kind: what is read, written and read again is the same text; the UTF-8 test
// agrees with a strict decoder; a text split at a delimiter joins back to itself.
#include <cstdint>
#include <string>
#include <string_view>

#include "check.h"
#include "codepage.h"
#include "text.h"
#include "text_file.h"
#include "utf8_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::wstring text = Decode_Text_File(bytes);
    if (!Has_Lone_Surrogate(text)) FUZZ_CHECK(Decode_Text_File(Encode_Text_File(text)) == text);

    const std::wstring strict = Utf8_To_Wide(bytes);
    bool beyond_ascii = false;
    for (char b : bytes) beyond_ascii = beyond_ascii || static_cast<unsigned char>(b) >= 0x80;
    const bool well_formed =
        strict.find(L'\xFFFD') == std::wstring::npos || bytes.find("\xEF\xBF\xBD") != std::string_view::npos;
    if (Is_Utf8_Beyond_Ascii(bytes)) FUZZ_CHECK(beyond_ascii && Wide_To_Utf8(strict) == bytes);
    if (beyond_ascii && well_formed && Wide_To_Utf8(strict) == bytes) FUZZ_CHECK(Is_Utf8_Beyond_Ascii(bytes));

    // Str_Split: the parts joined by the delimiter give the text, but for a final delimiter after a
    // part that is not empty.
    const std::wstring delimiter = L"\r\n";
    const std::vector<std::wstring> parts = Str_Split(text, delimiter);
    FUZZ_CHECK(!parts.empty());
    std::wstring joined;
    for (std::size_t i = 0; i < parts.size(); ++i) joined += (i ? delimiter : L"") + parts[i];
    FUZZ_CHECK(joined == text || joined + delimiter == text);
    // What the program writes is text by the reader's own test; well-formed UTF-8 always is.
    if (!Has_Lone_Surrogate(text)) FUZZ_CHECK(Is_Text_File(Encode_Text_File(text)));
    if (Is_Well_Formed_Utf8(bytes)) FUZZ_CHECK(Is_Text_File(bytes));
    (void)Number_In_Text(text);
    (void)Is_Blank_Text(text);
    return 0;
}
