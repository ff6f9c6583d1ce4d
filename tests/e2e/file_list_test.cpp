// The file list of the set-up screen built from a folder, with and without its subfolders.
#include <gtest/gtest.h>

#include "celldrop_app.h"
#include "test_files.h"

namespace {

constexpr int Build_Timeout_Ms = 10000;

bool Wait_List(const CellDrop_App& app, const std::wstring& expected) {
    return Wait_Until([&] { return Text_Of(app.Control(ids::Txt_Value3 + 0)) == expected; }, Build_Timeout_Ms);
}

}  // namespace

TEST(File_List, OrderModesSubfoldersAndTrailingSeparator) {
    Temp_Folder folder;
    const std::wstring flat = folder / L"flat";
    const std::wstring tree = folder / L"tree";
    for (const std::wstring& f : {flat, tree, tree + L"\\s"}) ASSERT_TRUE(CreateDirectoryW(f.c_str(), nullptr));
    for (const wchar_t* name : {L"c.txt", L"B.txt", L"a.txt"}) ASSERT_TRUE(Write_Bytes(flat + L"\\" + name, "x"));
    for (const wchar_t* name : {L"z.txt", L"README", L"s\\a.txt"}) ASSERT_TRUE(Write_Bytes(tree + L"\\" + name, "x"));

    CellDrop_App app(folder);
    ASSERT_TRUE(app.Started());
    ASSERT_TRUE(app.Wait_Ready());
    const HWND build = app.Control(ids::Cmd_Control + 5);
    const HWND sub_folders = app.Control(ids::Che_Control + 3);

    // Upper case before lower case: the order of the text, code unit by code unit.
    ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_1), flat));
    ASSERT_TRUE(Click(build));
    EXPECT_TRUE(Wait_List(app, L"B.txt\r\na.txt\r\nc.txt"));

    // This folder only: every file, README too.
    ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_1), tree));
    ASSERT_TRUE(Click(build));
    EXPECT_TRUE(Wait_List(app, L"README\r\nz.txt"));
    // Ticking the box rebuilds at once: subfolders' files first, names without a point left out.
    ASSERT_TRUE(Click(sub_folders));
    EXPECT_TRUE(Wait_List(app, L"\\s\\a.txt\r\nz.txt"));
    // The error check runs again after the build: the list names existing files.
    EXPECT_TRUE(Wait_Until([&] { return Is_Enabled(app.Control(ids::Cmd_Update2_Start)); }, Start_Timeout_Ms));

    // A folder written with a final "\" gives the same lines.
    ASSERT_TRUE(Type_Text(app.Control(ids::Txt_Value3 + 0), L"manual"));
    ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_1), tree + L"\\"));
    ASSERT_TRUE(Click(build));
    EXPECT_TRUE(Wait_List(app, L"\\s\\a.txt\r\nz.txt"));
    ASSERT_TRUE(Click(sub_folders));
    EXPECT_TRUE(Wait_List(app, L"README\r\nz.txt"));
}
