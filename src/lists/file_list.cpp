#include "file_list.h"

#include "memory_sort.h"
#include "message_box.h"
#include "paths.h"
#include "text.h"

std::optional<File_List_Line> File_List_Tree_Line(const std::wstring& base, const Dir_Entry& entry) {
    if (entry.Name.find(L'.') == std::wstring::npos) return std::nullopt;
    const std::wstring full = Path_Join(entry.Folder, entry.Name);
    // Every entry's path begins with the base folder exactly as it was given. What follows, with
    // the separators at the joint taken away, is the same whether the base ends with one or not.
    std::wstring relative = full.size() > base.size() ? full.substr(base.size()) : std::wstring();
    relative.erase(0, relative.find_first_not_of(L'\\'));
    if (relative.find(L'\\') == std::wstring::npos) return File_List_Line{L"2", relative};
    return File_List_Line{L"1", L"\\" + relative};
}

std::vector<std::wstring> File_List_Lines(const std::wstring& folder, bool sub_folders,
                                          const std::function<void()>& progress) {
    // An empty box names no folder; searching it would list the root of the current drive.
    if (Space_Remove(folder).empty()) return {};
    Memory_Sort sort;
    sort.Sort_Init();
    if (!sub_folders) {
        for (const Dir_Entry& file : Dir_Search_Files(folder, L"*.*")) {
            sort.Sort_Record_Clear();
            sort.Sort_Key[1] = file.Name;
            sort.Sort_Record_Store();
        }
    } else {
        for (const Dir_Entry& entry : Dir_Search_Tree(folder, L"*.*", progress)) {
            const std::optional<File_List_Line> line = File_List_Tree_Line(folder, entry);
            if (!line) continue;
            sort.Sort_Record_Clear();
            sort.Sort_Key[0] = line->Group;
            sort.Sort_Key[1] = line->Line;
            sort.Sort_Record_Store();
        }
    }
    std::vector<std::wstring> lines;
    if (sort.Sort_Max() < 0) return lines;
    if (const std::wstring problem = sort.Sort_Execute(); !problem.empty()) Show_Message(problem);
    lines.reserve(static_cast<std::size_t>(sort.Sort_Max()) + 1);
    for (std::int32_t i = 0; i <= sort.Sort_Max(); ++i) lines.push_back(sort.Sort_Keys_Out(i, 1));
    sort.Sort_Erase();
    return lines;
}
