#include "long_path.h"

#include <algorithm>
#include <vector>

namespace {

bool Is_Separator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool Is_Drive_Letter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// The components after the root, with "." dropped and ".." taking the previous one away (never the
// root itself), trailing separators gone.
std::wstring Clean_Tail(std::wstring_view tail) {
    std::vector<std::wstring_view> parts;
    std::size_t start = 0;
    while (start <= tail.size()) {
        std::size_t end = start;
        while (end < tail.size() && !Is_Separator(tail[end])) ++end;
        const std::wstring_view part = tail.substr(start, end - start);
        if (part == L"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::wstring out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += L'\\';
        out += parts[i];
    }
    return out;
}

}  // namespace

std::wstring Extended_Length_Path(std::wstring_view path) {
    const std::wstring unchanged(path);
    if (path.size() < Long_Path_From) return unchanged;
    // "\\?\..." and "\\.\..." are passed on as they are.
    if (path.size() >= 4 && Is_Separator(path[0]) && Is_Separator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
        Is_Separator(path[3]))
        return unchanged;
    if (Is_Drive_Letter(path[0]) && path[1] == L':' && Is_Separator(path[2])) {
        return L"\\\\?\\" + std::wstring(path.substr(0, 2)) + L"\\" + Clean_Tail(path.substr(3));
    }
    if (Is_Separator(path[0]) && Is_Separator(path[1]) && !Is_Separator(path[2])) {
        // \\server\share\...: the server and the share are the root, never taken away by "..".
        std::size_t server_end = 2;
        while (server_end < path.size() && !Is_Separator(path[server_end])) ++server_end;
        std::size_t share_end = server_end + 1;
        while (share_end < path.size() && !Is_Separator(path[share_end])) ++share_end;
        if (share_end > path.size()) return unchanged;
        // A server or share named "." or ".." (or no share at all) is no UNC root: Windows would walk
        // it as a folder, so the path is left for Windows to refuse as it stands.
        const std::wstring_view server = path.substr(2, server_end - 2);
        const std::wstring_view share = path.substr(server_end + 1, std::min(share_end, path.size()) - server_end - 1);
        if (server == L"." || server == L".." || share.empty() || share == L"." || share == L"..") return unchanged;
        const std::wstring root(path.substr(2, std::min(share_end, path.size()) - 2));
        const std::wstring tail = share_end < path.size() ? Clean_Tail(path.substr(share_end + 1)) : std::wstring();
        std::wstring out = L"\\\\?\\UNC\\" + root;
        for (wchar_t& c : out)
            if (c == L'/') c = L'\\';
        return tail.empty() ? out : out + L"\\" + tail;
    }
    return unchanged;
}
