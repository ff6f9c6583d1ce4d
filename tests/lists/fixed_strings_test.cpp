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

// The table loaded from the folder, then edited to hold the texts.
Fixed_Strings Loaded_With(const std::wstring& folder, std::vector<std::wstring> texts) {
    Fixed_Strings k;
    k.Load(folder);
    if (texts.size() > k.Kotei_Data.size()) k.Kotei_Data.resize(texts.size());
    std::copy(texts.begin(), texts.end(), k.Kotei_Data.begin());
    k.Kotei_Max = static_cast<int>(texts.size()) - 1;
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

TEST(Fixed_Strings, FilesAreRenumberedAndForeignFilesAreLeftAlone) {
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
    ASSERT_EQ(k.Kotei_Max, 2);
    EXPECT_EQ(k.Kotei_Data[0], L"a");
    EXPECT_EQ(k.Kotei_Data[2], L"lower case");
    EXPECT_EQ(Sorted_Names(folder.Path()), (std::vector<std::wstring>{L"Kotei-1.txt", L"Kotei000.txt", L"Kotei001.txt",
                                                                      L"Kotei002.txt", L"Kotei004.txt", L"notes.txt"}));
    EXPECT_EQ(Read_Bytes(folder / L"Kotei001.txt"), "b");
    k.Load(folder.Path());  // the same three, not one more
    EXPECT_EQ(k.Kotei_Max, 2);
    ASSERT_TRUE(DeleteFileW((folder / L"Kotei-1.txt").c_str()));

    // Shrunk from 5 to 3: the files of the last two go.
    RemoveDirectoryW((folder / L"Kotei004.txt").c_str());
    Fixed_Strings five = Loaded_With(folder.Path(), {L"1", L"2", L"3", L"4", L"5", L"6"});
    EXPECT_TRUE(five.Write(folder.Path()).empty());
    five.Kotei_Max = 3;
    EXPECT_TRUE(five.Write(folder.Path()).empty());
    EXPECT_EQ(Read_Bytes(folder / L"Kotei004.txt"), "<missing>");
    EXPECT_EQ(Read_Bytes(folder / L"Kotei005.txt"), "<missing>");
    EXPECT_EQ(Read_Bytes(folder / L"Kotei003.txt"), "4");
    // Never written into a folder it did not load, nor before any load.
    Temp_Folder other;
    EXPECT_TRUE(five.Write(other.Path()).empty());
    EXPECT_TRUE(List_Folder(other.Path()).empty());
    EXPECT_TRUE(Of({L"x"}).Write(other.Path()).empty());
    EXPECT_TRUE(List_Folder(other.Path()).empty());
}

TEST(Fixed_Strings, NoSaveStepLosesAnEntry) {
    // Kotei000.txt held open by another program while its entry is edited: the save names it, the file
    // keeps its old text, and the edit stays pending until a save can make it.
    Temp_Folder folder;
    Fixed_Strings k = Loaded_With(folder.Path(), {L"a", L"b", L"c"});
    ASSERT_TRUE(k.Write(folder.Path()).empty());
    HANDLE held = CreateFileW((folder / L"Kotei000.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    k.Kotei_Data[0] = L"a2";
    EXPECT_EQ(k.Write(folder.Path()), (std::vector<std::wstring>{folder / L"Kotei000.txt"}));
    EXPECT_TRUE(k.Pending());
    // Held at a load: it keeps its place.
    Fixed_Strings during;
    during.Load(folder.Path());
    ASSERT_EQ(during.Kotei_Max, 3);  // and the edit that waits in its scratch file comes last
    EXPECT_EQ(during.Kotei_Data[1], L"b");
    EXPECT_EQ(during.Kotei_Data[3], L"a2");
    CloseHandle(held);
    EXPECT_TRUE(k.Write(folder.Path()).empty());
    EXPECT_FALSE(k.Pending());
    EXPECT_EQ(Read_Bytes(folder / L"Kotei000.txt"), "a2");

    // Kotei001.txt replaced by an empty file between two saves: the save writes it again.
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei001.txt", ""));
    k.Kotei_Data[2] = L"c2";
    EXPECT_TRUE(k.Write(folder.Path()).empty());
    EXPECT_EQ(Read_Bytes(folder / L"Kotei001.txt"), "b");
    Fixed_Strings after;
    after.Load(folder.Path());
    ASSERT_EQ(after.Kotei_Max, 2);
    EXPECT_EQ(after.Kotei_Data[2], L"c2");

    // A sort, an edit and a delete, ended at every step: the next load has the old table or the new one.
    bool stopped = true;
    for (int steps = 0; stopped; ++steps) {
        SCOPED_TRACE(steps);
        Temp_Folder f;
        Fixed_Strings s = Loaded_With(f.Path(), {L"c", L"a", L"d", L"b"});
        ASSERT_TRUE(s.Write(f.Path()).empty());
        s.Sort(0);
        s.Kotei_Data[1] = L"b2";
        s.Kotei_Index = 3;
        ASSERT_TRUE(s.Delete());
        int left = steps;
        stopped = false;
        s.Store(f.Path()).Before_Step = [&left, &stopped] { return left-- > 0 || (stopped = true, false); };
        (void)s.Write(f.Path());
        Fixed_Strings r;
        r.Load(f.Path());
        const std::vector<std::wstring> read(r.Kotei_Data.begin(), r.Kotei_Data.begin() + r.Kotei_Max + 1);
        // Stopped before its journal: the old table, and the edit that was on its way after it.
        const std::vector<std::wstring> old_set{L"c", L"a", L"d", L"b", L"b2"};
        const std::vector<std::wstring> new_set{L"a", L"b2", L"c"};
        const std::vector<std::wstring> untouched(old_set.begin(), old_set.end() - 1);
        EXPECT_TRUE(read == untouched || read == old_set || read == new_set) << testing::PrintToString(read);
        if (!stopped) {
            EXPECT_EQ(read, new_set);
        }
    }

    // Notepad's UTF-8 without a mark is read as UTF-8, line breaks and all; code page 932 as before.
    Temp_Folder utf8;
    ASSERT_TRUE(Write_Bytes(utf8 / L"Kotei000.txt", "\xE6\x97\xA5\xE6\x9C\xAC\r\nabc"));
    ASSERT_TRUE(Write_Bytes(utf8 / L"Kotei001.txt", "\x93\xFA\x96\x7B\r\nabc"));
    Fixed_Strings u;
    u.Load(utf8.Path());
    ASSERT_EQ(u.Kotei_Max, 1);
    EXPECT_EQ(u.Kotei_Data[0], L"日本\r\nabc");
    EXPECT_EQ(u.Kotei_Data[1], L"日本\r\nabc");
}
