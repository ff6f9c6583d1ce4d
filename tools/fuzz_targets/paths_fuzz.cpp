// Paths of any characters, separators and points weighted: splitting gives the levels a plain
// level-by-level split gives (and stays linear), joining keeps both sides, the extended-length form
// is cleaned up, and a file dialog opens on a level of the path or its default.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "file_dialog_rules.h"
#include "long_path.h"
#include "paths.h"

namespace {

// The split as it was first written, level after level in full: quadratic, but plainly right.
std::vector<std::wstring> Reference_Levels(std::wstring_view path) {
    std::vector<std::wstring> parts;
    std::wstring_view rest = path;
    auto add_level = [&parts](std::wstring_view piece) {
        parts.push_back((parts.empty() ? std::wstring() : parts.back()) + std::wstring(piece));
    };
    for (std::size_t p; (p = rest.find(L'\\')) != std::wstring_view::npos;) {
        add_level(rest.substr(0, p + 1));
        rest.remove_prefix(p + 1);
        if (!rest.empty() && rest.front() == L'\\') {
            parts.back() += L'\\';
            rest.remove_prefix(1);
        }
    }
    if (rest.find(L'.') == std::wstring_view::npos && !rest.empty()) add_level(rest);
    for (std::wstring& part : parts)
        if (part.ends_with(L'\\')) part.pop_back();
    return parts;
}

// Bytes to a path: most bytes pick a character that matters to paths, the others are taken as they are.
std::wstring Path_Of(std::string_view bytes) {
    static constexpr wchar_t Alphabet[] = L"\\\\\\/.:Cab?";
    std::wstring path;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 200)
            path += Alphabet[b % (std::size(Alphabet) - 1)];
        else if (i + 1 < bytes.size())
            path += static_cast<wchar_t>(b << 8 | static_cast<unsigned char>(bytes[++i]));
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring path = Path_Of(bytes);

    const Path_Parts parts = Path_Split(path);
    FUZZ_CHECK(parts.Parts() == Reference_Levels(path));
    for (std::size_t i = 0; i < parts.Part_Count(); ++i) FUZZ_CHECK(parts.Part_Lengths[i] <= path.size());
    FUZZ_CHECK(parts.Folder.size() <= path.size() + 1 && parts.Name.size() <= path.size());
    FUZZ_CHECK(path.ends_with(parts.Name));
    FUZZ_CHECK(parts.Drive.empty() || (parts.Drive.size() == 2 && parts.Folder.starts_with(parts.Drive)));

    // The dialogs open on a level of the path that is a folder, or their default.
    const Folder_Test every_other = [](const std::wstring& folder) { return folder.size() % 2 == 0; };
    const std::wstring start = File_Dialog_Start_Folder(parts, L"D:\\current", every_other);
    FUZZ_CHECK(start == L"D:\\current" || (every_other(start) && path.starts_with(start.substr(0, 2))));
    const std::wstring open_start = Open_Dialog_Start_Folder(path, every_other);
    FUZZ_CHECK(open_start == L"C:\\" || every_other(open_start));

    // Joining: the folder, one backslash, the name.
    const std::size_t half = path.size() / 2;
    const std::wstring folder = path.substr(0, half), name = path.substr(half);
    const std::wstring joined = Path_Join(folder, name);
    FUZZ_CHECK(joined.ends_with(name) || (name.starts_with(L'\\') && joined.ends_with(name.substr(1))));
    FUZZ_CHECK(joined.size() <= folder.size() + name.size() + 1);

    const std::wstring proper = Path_Proper_Case(path);
    FUZZ_CHECK(proper.size() == path.size());

    // The extended-length form: made only of long full paths, with nothing left to clean up.
    const std::wstring extended = Extended_Length_Path(path);
    if (extended != path) {
        FUZZ_CHECK(path.size() >= Long_Path_From && extended.starts_with(L"\\\\?\\"));
        const std::wstring_view tail = std::wstring_view(extended).substr(4);
        FUZZ_CHECK(tail.find(L'/') == std::wstring_view::npos || !tail.starts_with(L"UNC\\"));
        FUZZ_CHECK(tail.find(L"\\.\\") == std::wstring_view::npos && tail.find(L"\\..\\") == std::wstring_view::npos);
        FUZZ_CHECK(!tail.ends_with(L"\\.") && !tail.ends_with(L"\\.."));
        FUZZ_CHECK(extended.size() <= path.size() + 8);
    }
    FUZZ_CHECK(Path_Too_Long(path) == (path.size() > Max_Path_Length));
    return 0;
}
