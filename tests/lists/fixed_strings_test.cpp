// The fixed strings' table operations and their Kotei files.
#include <gtest/gtest.h>

#include <algorithm>

#include "fixed_strings.h"
#include "temp_folder.h"
#include "test_files.h"

namespace {

Fixed_Strings Of(std::vector<std::wstring> texts) {
    Fixed_Strings k;
    k.Kotei_Max = static_cast<int>(texts.size()) - 1;
    k.Kotei_Data = std::move(texts);
    return k;
}

std::vector<std::wstring> Sorted_Names(const std::wstring& folder) {
    std::vector<std::wstring> names = List_Folder(folder);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(Fixed_Strings, EditingKeepsTheSelectionWhereTheUserExpectsIt) {
    Fixed_Strings k;
    ASSERT_TRUE(k.New());
    EXPECT_EQ(k.Kotei_Data[0], L"新規文字列");
    EXPECT_EQ(k.Kotei_Index, 0);

    k = Of({L"a", L"b", L"c"});
    k.Kotei_Index = 2;  // the last: the one before it is selected afterwards
    ASSERT_TRUE(k.Delete());
    EXPECT_EQ(k.Kotei_Index, 1);
    k.Kotei_Index = 0;  // in the middle: the one that followed it
    ASSERT_TRUE(k.Delete());
    EXPECT_EQ(k.Kotei_Max, 0);
    EXPECT_EQ(k.Kotei_Data[0], L"b");
    EXPECT_EQ(k.Kotei_Index, 0);
    ASSERT_TRUE(k.Delete());  // the only one: nothing is selected
    EXPECT_EQ(k.Kotei_Index, -1);
    EXPECT_FALSE(k.Delete());

    k = Of({L"b", L"B", L"a"});
    k.Sort(0);
    EXPECT_EQ(std::vector<std::wstring>(k.Kotei_Data.begin(), k.Kotei_Data.begin() + 3),
              (std::vector<std::wstring>{L"B", L"a", L"b"}));
    k.Sort(1);
    EXPECT_EQ(std::vector<std::wstring>(k.Kotei_Data.begin(), k.Kotei_Data.begin() + 3),
              (std::vector<std::wstring>{L"b", L"a", L"B"}));
    k.Kotei_Index = 0;
    EXPECT_FALSE(k.Move(-1));
    ASSERT_TRUE(k.Move(1));
    EXPECT_EQ(k.Kotei_Data[1], L"b");

    // Entries start with a line break: the list shows the first line that is not empty.
    EXPECT_EQ(Of({L"\r\nabc\r\ndef"}).Lst_AddItem_Kotei(0), L"abc");

    // The files are numbered with three digits: a thousand is the most the user makes.
    Fixed_Strings full = Of(std::vector<std::wstring>(999, L"x"));
    EXPECT_TRUE(full.New());
    EXPECT_FALSE(full.New());
    EXPECT_EQ(full.Kotei_Max, 999);
}

TEST(Fixed_Strings, FilesAreRenumberedAndNoForeignFileIsTakenTwice) {
    Temp_Folder folder;
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei000.txt", "a"));
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei002.txt", "b"));
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei003.txt", " \x81\x40\r\n"));  // spaces (one full-width) and a line break
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei-1.txt", "minus"));
    ASSERT_TRUE(Write_Bytes(folder / L"kotei005.txt", "lower case"));
    ASSERT_TRUE(Write_Bytes(folder / L"notes.txt", "mine"));
    ASSERT_TRUE(CreateDirectoryW((folder / L"Kotei004.txt").c_str(), nullptr));
    Fixed_Strings k;
    k.Load(folder.Path());
    ASSERT_EQ(k.Kotei_Max, 3);
    EXPECT_EQ(k.Kotei_Data[0], L"minus");
    EXPECT_EQ(k.Kotei_Data[3], L"lower case");
    EXPECT_EQ(Sorted_Names(folder.Path()), (std::vector<std::wstring>{L"Kotei000.txt", L"Kotei001.txt", L"Kotei002.txt",
                                                                      L"Kotei003.txt", L"Kotei004.txt", L"notes.txt"}));
    EXPECT_EQ(Read_Bytes(folder / L"Kotei001.txt"), "a");
    k.Load(folder.Path());  // the same four, not one more
    EXPECT_EQ(k.Kotei_Max, 3);

    // Shrunk from 5 to 3: the files of the last two go.
    Fixed_Strings five = Of({L"1", L"2", L"3", L"4", L"5", L"6"});
    RemoveDirectoryW((folder / L"Kotei004.txt").c_str());
    EXPECT_TRUE(five.Write(folder.Path()).empty());
    five.Kotei_Max = 3;
    EXPECT_TRUE(five.Write(folder.Path()).empty());
    EXPECT_EQ(Read_Bytes(folder / L"Kotei004.txt"), "<missing>");
    EXPECT_EQ(Read_Bytes(folder / L"Kotei005.txt"), "<missing>");
    EXPECT_EQ(Read_Bytes(folder / L"Kotei003.txt"), "4");

    // A file that cannot be written is named; the others are written.
    ASSERT_TRUE(DeleteFileW((folder / L"Kotei001.txt").c_str()));
    ASSERT_TRUE(CreateDirectoryW((folder / L"Kotei001.txt").c_str(), nullptr));
    five.Kotei_Data[2] = L"changed";
    EXPECT_EQ(five.Write(folder.Path()), (std::vector<std::wstring>{folder / L"Kotei001.txt"}));
    EXPECT_EQ(Read_Bytes(folder / L"Kotei002.txt"), "changed");
}
