#include "file_dialog_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A file system of a few folders.
const Folder_Test fs = [](const std::wstring& path) {
    static const std::set<std::wstring> folders{L"C:\\", L"C:\\Data", L"D:\\"};
    return folders.contains(path);
};

}  // namespace

TEST(FileDialogRules, PatternListMatchesWholeLongNamesIgnoringCase) {
    const std::vector<std::wstring> excel = Pattern_List(L"*.xls; *.xlsx;;*.xlsm");
    EXPECT_EQ(excel, (std::vector<std::wstring>{L"*.xls", L"*.xlsx", L"*.xlsm"}));
    EXPECT_TRUE(Name_Matches_Patterns(L"Book1.XLSX", excel));
    // What the system's short-name match lets through, or a pattern's start alone.
    EXPECT_FALSE(Name_Matches_Patterns(L"c.xlsx1", excel));
    EXPECT_FALSE(Name_Matches_Patterns(L"old.xls.bak", excel));
    EXPECT_TRUE(Name_Matches_Patterns(L"README", Pattern_List(L"*.*")));
    EXPECT_FALSE(Name_Matches_Patterns(L"a.txt", Pattern_List(L"*.")));
    EXPECT_TRUE(Name_Matches_Patterns(L"ab.txt", Pattern_List(L"a?.T*")));
}

TEST(FileDialogRules, StartFolders) {
    const std::wstring current = L"C:\\Work";
    // Old is gone: C:\Data. A file at a drive's root opens the root, not the drive's current folder.
    EXPECT_EQ(File_Dialog_Start_Folder(Path_Split(L"C:\\Data\\Old\\Book1.xlsx"), current, fs), L"C:\\Data");
    EXPECT_EQ(File_Dialog_Start_Folder(Path_Split(L"D:\\Book1.xlsx"), current, fs), L"D:\\");
    // No drive (the new-workbook choice, a network path) or a drive that is not there.
    EXPECT_EQ(File_Dialog_Start_Folder(Path_Split(L"新規、空白のブック"), current, fs), current);
    EXPECT_EQ(File_Dialog_Start_Folder(Path_Split(L"\\\\server\\share\\a.xlsx"), current, fs), current);
    EXPECT_EQ(File_Dialog_Start_Folder(Path_Split(L"Q:\\Data\\a.xlsx"), current, fs), current);
    // The system's dialog: C:\ when nothing of the path exists.
    EXPECT_EQ(Open_Dialog_Start_Folder(L"C:\\Data\\Old\\Book1.xlsx", fs), L"C:\\Data");
    EXPECT_EQ(Open_Dialog_Start_Folder(L"Q:\\x.xlsx", fs), L"C:\\");

    // A name longer than any file system allows: neither it nor a level below it is asked about.
    std::vector<std::wstring> asked;
    const Folder_Test recorded = [&](const std::wstring& path) {
        asked.push_back(path);
        return fs(path);
    };
    const std::wstring deep = L"C:\\Data\\" + std::wstring(256, L'x') + L"\\a\\b.xlsx";
    EXPECT_EQ(File_Dialog_Start_Folder(Path_Split(deep), current, recorded), L"C:\\Data");
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"C:\\", L"C:\\Data"}));
}

TEST(FileDialogRules, FilterEntriesAndParents) {
    const std::wstring filter = Open_Dialog_Filter(L"Excel(*.xls)|*.xls|すべて(*.*)|*.*");
    EXPECT_EQ(filter, std::wstring(L"Excel(*.xls)\0*.xls\0すべて(*.*)\0*.*\0", 32));
    EXPECT_EQ(Folder_List_Entry(L"[..]"), L"..");
    EXPECT_EQ(Folder_List_Entry(L"sub"), std::nullopt);
    EXPECT_EQ(Drive_List_Entry(L"[-c-]"), L"C:");
    EXPECT_EQ(Parent_Folder(L"C:\\Data\\Old"), L"C:\\Data");
    EXPECT_EQ(Parent_Folder(L"C:\\Data"), L"C:\\");
    EXPECT_EQ(Parent_Folder(L"C:\\"), L"C:\\");
}
