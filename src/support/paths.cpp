#include "paths.h"

#include "codepage.h"

std::vector<std::wstring> Path_Parts::Parts() const {
    std::vector<std::wstring> parts;
    for (std::size_t i = 0; i < Part_Count(); ++i) parts.push_back(Part(i));
    return parts;
}

Path_Parts Path_Split(std::wstring_view path) {
    Path_Parts r;
    r.Source = path;
    std::size_t at = 0;  // start of the rest of the path
    // A level ends after the backslash that closes it, which is not part of it.
    auto add_level = [&r, path](std::size_t end) {
        r.Part_Lengths.push_back(end > 0 && path[end - 1] == L'\\' ? end - 1 : end);
    };

    for (std::size_t p; (p = path.find(L'\\', at)) != std::wstring_view::npos;) {
        r.Folder += path.substr(at, p + 1 - at);
        at = p + 1;
        std::size_t end = at;
        // The doubled backslash of a network path (\\server) stays with the level it follows.
        if (at < path.size() && path[at] == L'\\') ++at, ++end;
        add_level(end);
    }
    if (path.starts_with(L"\\\\")) r.Folder.insert(0, 1, L'\\');

    const std::wstring_view rest = path.substr(at);
    if (rest.find(L'.') != std::wstring_view::npos) {
        r.Name = rest;
    } else if (!rest.empty()) {
        // A last component without a point is one more folder level. A path ending with "\" has
        // no such component and adds no level.
        r.Folder += rest;
        add_level(path.size());
    }

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
    if (folder_slash && name_slash)
        out.pop_back();
    else if (!folder_slash && !name_slash)
        out += L'\\';
    out += name;
    return out;
}

bool Same_File_Name(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && Upper_Case(a) == Upper_Case(b);
}
