// The numbered store on its own: a save by renames that a stop at any step cannot mix up, names it
// does not write left alone, and a read-only file that stops a save before it begins.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "numbered_files.h"
#include "temp_folder.h"
#include "test_files.h"

namespace {

Numbered_Files Store_In(const std::wstring& folder) { return Numbered_Files(folder, L"Item", 2, L".txt", true, 3); }

// What the store's files hold, in number order ("-" for a number without a file).
std::vector<std::string> Contents(const std::wstring& folder) {
    Numbered_Files store = Store_In(folder);
    std::vector<std::string> contents(4, "-");
    for (const Numbered_File& f : store.Load()) contents[f.Number] = Read_Bytes(store.Path_Of(f.Number));
    return contents;
}

// Files A, B, C in 00 to 02, and names the store never writes.
void Plant(const Temp_Folder& folder) {
    ASSERT_TRUE(Write_Bytes(folder / L"Item00.txt", "A"));
    ASSERT_TRUE(Write_Bytes(folder / L"Item01.txt", "B"));
    ASSERT_TRUE(Write_Bytes(folder / L"Item02.txt", "C"));
    ASSERT_TRUE(Write_Bytes(folder / L"Item4.txt", "foreign"));
    ASSERT_TRUE(Write_Bytes(folder / L"Item07.txt", "beyond"));
}

// C first, then A, then a new D: B is no entry any more.
std::vector<Numbered_Entry> Reordered() { return {{2, L"", "C", false}, {0, L"", "A", false}, {-1, L"", "D", true}}; }

}  // namespace

TEST(Numbered_Files, ASaveStoppedAtAnyStepLeavesTheOldSetOrTheNewOne) {
    const std::vector<std::string> old_set{"A", "B", "C", "-"}, new_set{"C", "A", "D", "-"};
    bool completed = false;
    for (int steps = 0; !completed && steps < 20; ++steps) {
        SCOPED_TRACE("stopped after " + std::to_string(steps) + " steps");
        Temp_Folder folder;
        Plant(folder);
        Numbered_Files store = Store_In(folder.Path());
        store.Load();
        int left = steps;
        store.Before_Step = [&left] { return left-- > 0; };
        std::vector<Numbered_Entry> entries = Reordered();
        completed = store.Write(entries).empty();
        // The next start finds one whole set: a journal left behind is completed by its load.
        const std::vector<std::string> found = Contents(folder.Path());
        EXPECT_TRUE(found == old_set || found == new_set) << found[0] << found[1] << found[2] << found[3];
        if (completed) {
            EXPECT_EQ(found, new_set);
            EXPECT_EQ(entries[0].File, 0);
            EXPECT_EQ(entries[2].File, 2);
        }
        EXPECT_EQ(Read_Bytes(folder / L"Item4.txt"), "foreign");
        EXPECT_EQ(Read_Bytes(folder / L"Item07.txt"), "beyond");
        if (found == new_set) {
            EXPECT_EQ(List_Folder(folder.Path()).size(), 5u);  // no scratch file or journal
        }
    }
    EXPECT_TRUE(completed);
}

TEST(Numbered_Files, AReadOnlyFileTheSaveWouldRemoveStopsItBeforeItBegins) {
    Temp_Folder folder;
    Plant(folder);
    const std::wstring b = folder / L"Item01.txt";
    ASSERT_TRUE(SetFileAttributesW(b.c_str(), FILE_ATTRIBUTE_READONLY));
    Numbered_Files store = Store_In(folder.Path());
    store.Load();
    std::vector<Numbered_Entry> entries = Reordered();
    EXPECT_FALSE(store.Write(entries).empty());
    EXPECT_EQ(store.Blocked(), std::vector<std::wstring>{b});
    EXPECT_EQ(Contents(folder.Path()), (std::vector<std::string>{"A", "B", "C", "-"}));
    EXPECT_EQ(List_Folder(folder.Path()).size(), 5u);  // the scratch file it wrote is taken back
    EXPECT_EQ(GetFileAttributesW(b.c_str()) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(entries[2].Changed);  // the new entry still waits for a save
    SetFileAttributesW(b.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(store.Write(entries).empty());
    EXPECT_EQ(Contents(folder.Path()), (std::vector<std::string>{"C", "A", "D", "-"}));
}
