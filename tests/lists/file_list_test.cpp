#include "file_list.h"

#include <gtest/gtest.h>

namespace {

std::wstring Line_Of(const std::wstring& base, const Dir_Entry& entry) {
    const auto line = File_List_Tree_Line(base, entry);
    return line ? line->Group + L":" + line->Line : L"-";
}

}  // namespace

TEST(FileList, TreeLinesAreTheSameWithOrWithoutATrailingSeparator) {
    // The entries as the tree search gives them for the base folder written each way, and for a root.
    for (const std::wstring base : {L"C:\\d", L"C:\\d\\", L"C:\\"}) {
        const std::wstring sub = base.ends_with(L'\\') ? base + L"s" : base + L"\\s";
        EXPECT_EQ(Line_Of(base, {base, L"z.txt"}), L"2:z.txt") << base;
        EXPECT_EQ(Line_Of(base, {sub, L"a.txt"}), L"1:\\s\\a.txt") << base;
        EXPECT_EQ(Line_Of(base, {sub + L"\\t", L"b.txt"}), L"1:\\s\\t\\b.txt") << base;
        EXPECT_EQ(Line_Of(base, {base, L"README"}), L"-");  // no point in the name
        EXPECT_EQ(Line_Of(base, {sub, L""}), L"-");         // a folder entry
    }
    // An empty box names no folder, not the root of the current drive.
    EXPECT_TRUE(File_List_Lines(L"", true).empty());
}
