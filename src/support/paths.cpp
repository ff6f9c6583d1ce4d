#include "paths.h"

#include "codepage.h"

Path_Parts Path_Split(std::wstring_view path) {
    Path_Parts r;
    std::wstring_view rest = path;
    auto add_level = [&r](std::wstring_view piece) {
        r.Parts.push_back((r.Parts.empty() ? std::wstring() : r.Parts.back()) + std::wstring(piece));
    };

    for (std::size_t p; (p = rest.find(L'\\')) != std::wstring_view::npos;) {
        const std::wstring_view piece = rest.substr(0, p + 1);
        r.Folder += piece;
        add_level(piece);
        rest.remove_prefix(p + 1);
        // The doubled backslash of a network path (\\server) stays with the level it follows.
        if (!rest.empty() && rest.front() == L'\\') {
            r.Parts.back() += L'\\';
            rest.remove_prefix(1);
        }
    }
    if (path.starts_with(L"\\\\")) r.Folder.insert(0, 1, L'\\');

    if (rest.find(L'.') != std::wstring_view::npos) {
        r.Name = rest;
    } else if (!rest.empty()) {
        // A last component without a point is one more folder level. A path ending with "\" has
        // no such component and adds no level.
        r.Folder += rest;
        add_level(rest);
    }

    for (std::wstring& part : r.Parts)
        if (part.ends_with(L'\\')) part.pop_back();
    while (r.Folder.ends_with(L'\\')) r.Folder.pop_back();

    if (r.Folder.size() >= 2 && r.Folder[1] == L':') r.Drive = r.Folder.substr(0, 2);
    if (const std::size_t dot = path.rfind(L'.'); dot != std::wstring_view::npos) r.Ext = path.substr(dot + 1);
    return r;
}

std::wstring Path_Proper_Case(std::wstring_view path) {
    const std::wstring upper = Upper_Case(path);
    const std::wstring lower = Lower_Case(path);
    std::wstring out(path);
    bool first_of_component = true;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == L'\\') {
            first_of_component = true;
            continue;
        }
        out[i] = first_of_component ? upper[i] : lower[i];
        first_of_component = false;
    }
    return out;
}

std::wstring Path_Join(std::wstring_view folder, std::wstring_view name) {
    const bool folder_slash = folder.ends_with(L'\\');
    const bool name_slash = name.starts_with(L'\\');
    std::wstring out(folder);
    if (folder_slash && name_slash) out.pop_back();
    else if (!folder_slash && !name_slash) out += L'\\';
    out += name;
    return out;
}

bool Same_File_Name(std::wstring_view a, std::wstring_view b) { return a.size() == b.size() && Upper_Case(a) == Upper_Case(b); }
