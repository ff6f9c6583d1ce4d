// The value-list editor that drops down under the two path boxes with their histories.
#include <gtest/gtest.h>

#include "celldrop_app.h"
#include "test_files.h"
#include "value_list_editor_ids.h"

namespace {

namespace ed = value_list_editor_ids;
using Lines = std::vector<std::wstring>;
constexpr int Timeout_Ms = 10000;

// The enabled buttons as a string: pick, delete, up, down, ascending, descending.
std::string Buttons_Of(HWND editor) {
    std::string on;
    for (int id : {ed::Cmd_Ok, ed::Cmd_Delete, ed::Cmd_Up, ed::Cmd_Down, ed::Cmd_Sort + 0, ed::Cmd_Sort + 1})
        on += Is_Enabled(Find_Control(editor, id)) ? '1' : '0';
    return on;
}

}  // namespace

TEST(Value_List_Editor, PickMoveSortDeleteAndCloseOnAClickElsewhere) {
    Temp_Folder folder;
    const std::wstring data = folder / L"data";
    ASSERT_TRUE(CreateDirectoryW(data.c_str(), nullptr) && Write_Bytes(data + L"\\a.txt", "x"));
    ASSERT_TRUE(CreateDirectoryW((folder / L"Para").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"Para\\Para0_1_T.txt", "b\r\nA\r\na\r\n"));
    ASSERT_TRUE(Write_Bytes(folder / L"Para\\Para1_1_T.txt", std::string(data.begin(), data.end()) + "\r\n"));  // ASCII
    CellDrop_App app(folder);
    ASSERT_TRUE(app.Started() && app.Wait_Ready());
    const HWND target = app.Control(ids::Txt_File_0);
    HWND editor = nullptr, list = nullptr;
    auto open = [&](int button) {
        editor = Click(app.Control(button)) ? Wait_For_Window_Class(app.Process().Pid(), L"Update2_Value_F", Timeout_Ms)
                                            : nullptr;
        list = Find_Control(editor, ed::Lst_Value);
        return editor != nullptr;
    };
    auto closed = [&] { return Wait_Until([&] { return !IsWindow(editor); }, Timeout_Ms); };
    auto buttons_are = [&](const char* on) { return Wait_Until([&] { return Buttons_Of(editor) == on; }, Timeout_Ms); };

    // The workbook history right under its box; nothing selected: only sorting.
    ASSERT_TRUE(open(ids::Cmd_Control + 1));
    EXPECT_EQ(List_Items(list), (Lines{L"b", L"A", L"a"}));
    EXPECT_TRUE(buttons_are("000011"));
    RECT box_rect{}, list_rect{}, editor_rect{};
    GetWindowRect(target, &box_rect);
    GetWindowRect(list, &list_rect);
    GetWindowRect(editor, &editor_rect);
    EXPECT_EQ(list_rect.left, box_rect.left);
    EXPECT_EQ(editor_rect.top, box_rect.bottom);

    // Ascending: a and A together (in the system's choice of order) before b; descending: b first.
    auto sorted = [&](std::size_t b_at, std::size_t a_at) {
        return Wait_Until(
            [&] {
                const Lines l = List_Items(list);
                if (l.size() != 3 || l[b_at] != L"b") return false;
                const std::wstring pair = l[a_at] + l[a_at + 1];
                return pair == L"aA" || pair == L"Aa";
            },
            Timeout_Ms);
    };
    ASSERT_TRUE(Click(Find_Control(editor, ed::Cmd_Sort + 0)));
    EXPECT_TRUE(sorted(2, 0));
    ASSERT_TRUE(Click(Find_Control(editor, ed::Cmd_Sort + 1)));
    EXPECT_TRUE(sorted(0, 1));
    const Lines descending = List_Items(list);

    // The last line cannot go down; moved up, it stays selected at its new place.
    ASSERT_TRUE(Click_List_Item(list, 2));
    EXPECT_TRUE(buttons_are("111011"));
    ASSERT_TRUE(Click(Find_Control(editor, ed::Cmd_Up)));
    const Lines moved{descending[0], descending[2], descending[1]};
    EXPECT_TRUE(Wait_Until([&] { return List_Items(list) == moved; }, Timeout_Ms));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(buttons_are("111111"));

    // A click into the main window closes the editor and leaves the box alone.
    const std::wstring before = Text_Of(target);
    ASSERT_TRUE(Mouse_Click(app.Control(ids::Label1_16)));
    ASSERT_TRUE(closed());
    EXPECT_EQ(Text_Of(target), before);
    // The history kept every change; a double click picks.
    ASSERT_TRUE(open(ids::Cmd_Control + 1));
    EXPECT_EQ(List_Items(list), moved);
    ASSERT_TRUE(Double_Click_List_Item(list, 0));
    ASSERT_TRUE(closed());
    EXPECT_EQ(Text_Of(target), L"b");

    // The folder history of one entry: pick and delete only. A picked new folder rebuilds the list.
    ASSERT_TRUE(open(ids::Cmd_Control + 3));
    EXPECT_EQ(List_Items(list), (Lines{data}));
    ASSERT_TRUE(Click_List_Item(list, 0));
    EXPECT_TRUE(buttons_are("110000"));
    ASSERT_TRUE(Click(Find_Control(editor, ed::Cmd_Ok)));
    ASSERT_TRUE(closed());
    EXPECT_EQ(Text_Of(app.Control(ids::Txt_File_1)), data);
    EXPECT_TRUE(Wait_Until([&] { return Text_Of(app.Control(ids::Txt_Value3 + 0)) == L"a.txt"; }, Timeout_Ms));
    // Deleting the only entry: an empty list, every button but "閉じる" disabled, an empty history.
    ASSERT_TRUE(open(ids::Cmd_Control + 3));
    ASSERT_TRUE(Click_List_Item(list, 0));
    EXPECT_TRUE(buttons_are("110000"));
    ASSERT_TRUE(Click(Find_Control(editor, ed::Cmd_Delete)));
    EXPECT_TRUE(Wait_Until([&] { return List_Items(list).empty(); }, Timeout_Ms));
    EXPECT_TRUE(buttons_are("000000"));
    ASSERT_TRUE(Click(Find_Control(editor, ed::Cmd_Cancel)));
    ASSERT_TRUE(closed());
    // It reaches its file with the next save (with the folder box empty, nothing goes on top).
    ASSERT_TRUE(Type_Text(app.Control(ids::Txt_File_1), L""));
    ASSERT_TRUE(Click(app.Control(ids::Cmd_Update2_Save)));
    EXPECT_TRUE(Wait_Until([&] { return Read_Bytes(folder / L"Para\\Para1_1_T.txt").empty(); }, Timeout_Ms));
}
