#include "dir_search.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace {

using Names = std::vector<std::wstring>;

Names Names_Of(const std::vector<Dir_Entry>& list) {
    Names names;
    for (const Dir_Entry& e : list) names.push_back(e.Name);
    return names;
}

void Make_File(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(Write_Bytes(path, "x"));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes));
}

}  // namespace

TEST(DirSearch, ExtensionTestLeavesOutFoldersHiddenAndSystemEntries) {
    Temp_Folder t;
    for (const wchar_t* name : {L"a.txt", L"b.TXT", L"c.txt.bak", L"a.txt1", L"noext"}) Make_File(t / name);
    Make_File(t / L"h.txt", FILE_ATTRIBUTE_HIDDEN);
    Make_File(t / L"s.txt", FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(CreateDirectoryW((t / L"x.txt").c_str(), nullptr));

    const std::vector<Dir_Entry> txt = Dir_Search_Files(t.Path(), L"*.txt");
    EXPECT_EQ(Names_Of(txt), (Names{L"a.txt", L"b.TXT"}));
    for (const Dir_Entry& e : txt) EXPECT_EQ(e.Folder, t.Path());
    EXPECT_EQ(Names_Of(Dir_Search_Files(t.Path(), L"*.*")),
              (Names{L"a.txt", L"a.txt1", L"b.TXT", L"c.txt.bak", L"noext"}));
    // Without "*." in front only the system's match applies.
    EXPECT_EQ(Names_Of(Dir_Search_Files(t.Path() + L"\\", L"a.*")), (Names{L"a.txt", L"a.txt1"}));
}

TEST(DirSearch, SortsByUpperCasedFolderThenName) {
    Temp_Folder t;
    for (const wchar_t* name : {L"kotei011.txt", L"Kotei010.txt", L"Kotei002.txt"}) Make_File(t / name);
    EXPECT_EQ(Names_Of(Dir_Search_Files(t.Path(), L"*.txt")),
              (Names{L"Kotei002.txt", L"Kotei010.txt", L"kotei011.txt"}));

    std::vector<Dir_Entry> list{{L"b", L"a"}, {L"A", L"z"}, {L"a", L"Y"}, {L"B", L""}};
    Dir_Search_Sort(list);
    EXPECT_EQ(Names_Of(list), (Names{L"Y", L"z", L"", L"a"}));
}

TEST(DirSearch, FoldersTrailingSeparatorAndMissingFolder) {
    Temp_Folder t;
    ASSERT_TRUE(CreateDirectoryW((t / L"b").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((t / L"A").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((t / L"hidden").c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesW((t / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
    Make_File(t / L"file");
    for (const std::wstring& folder : {t.Path(), t.Path() + L"\\"}) {
        const std::vector<Dir_Entry> found = Dir_Search_Folders(folder);
        ASSERT_EQ(found.size(), 2u);
        EXPECT_EQ(found[0].Folder, t / L"A");
        EXPECT_EQ(found[1].Folder, t / L"b");
        EXPECT_EQ(found[1].Name, L"");
    }
    for (const std::wstring& missing : {t / L"none", std::wstring(L"Q:\\none")}) {
        EXPECT_TRUE(Dir_Search_Files(missing, L"*.*").empty());
        EXPECT_TRUE(Dir_Search_Folders(missing).empty());
        EXPECT_TRUE(Dir_Search_Tree(missing, L"*.*").empty());
    }
}

TEST(DirSearch, TreeListsSubfoldersBeforeOwnFilesAndSeparatorsLowest) {
    Temp_Folder t;
    Make_File(t / L"r.txt");
    Make_File(t / L"R.bmp");
    EXPECT_EQ(Names_Of(Dir_Search_Tree(t.Path(), L"*.txt")), Names_Of(Dir_Search_Files(t.Path(), L"*.txt")));

    for (const wchar_t* folder : {L"a", L"a b", L"a\\b", L"hidden"})
        ASSERT_TRUE(CreateDirectoryW((t / folder).c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesW((t / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
    for (const wchar_t* file : {L"a\\f.txt", L"a b\\g.txt", L"a\\b\\h.txt", L"a\\b\\i.bmp", L"hidden\\j.txt"})
        Make_File(t / file);
    for (const wchar_t* pattern : {L"*.txt", L"?.txt"}) {
        const std::vector<Dir_Entry> tree = Dir_Search_Tree(t.Path(), pattern);
        std::vector<std::wstring> paths;
        for (const Dir_Entry& e : tree) paths.push_back(e.Name.empty() ? e.Folder : e.Folder + L"|" + e.Name);
        EXPECT_EQ(paths, (Names{t / L"a", t / L"a\\b", t / L"a\\b|h.txt", t / L"a|f.txt", t / L"a b", t / L"a b|g.txt",
                                t.Path() + L"|r.txt"}))
            << "pattern " << testing::PrintToString(std::wstring(pattern));
    }
}
