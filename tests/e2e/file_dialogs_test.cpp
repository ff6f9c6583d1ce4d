// The choosers of the two path boxes: the program's own file dialog in file and folder mode, the
// system's open-file dialog and the system's folder chooser.
#include "celldrop_app.h"

#include <commctrl.h>

#include "codepage.h"
#include "file_dialog_ids.h"
#include "paths.h"
#include "test_files.h"

namespace {

namespace dlg = file_dialog_ids;
constexpr int Timeout_Ms = 15000;
constexpr wchar_t Data_Files[] = L"b.xlsm\r\nbook1.XLSX\r\nc.xlsx1\r\nnotes.txt";

// The program with a folder "data": two workbooks, files the Excel patterns leave out, a subfolder.
class File_Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(data.c_str(), nullptr) && CreateDirectoryW((data + L"\\sub").c_str(), nullptr));
        for (const wchar_t* name : {L"book1.XLSX", L"b.xlsm", L"c.xlsx1", L"notes.txt", L"sub\\x.xlsx"})
            ASSERT_TRUE(Write_Bytes(data + L"\\" + name, "x"));
        app = std::make_unique<CellDrop_App>(folder);
        ASSERT_TRUE(app->Started() && app->Wait_Ready());
    }
    // Clicks the button and waits for the program's own dialog with that caption.
    HWND Open(int button, const std::wstring& caption) {
        if (!Click(app->Control(button))) return nullptr;
        dialog = Wait_For_Window(app->Process().Pid(), caption, Timeout_Ms);
        return dialog;
    }
    HWND Open_System(int button) {
        dialog = Click(app->Control(button)) ? Wait_For_Dialog(app->Process().Pid(), Timeout_Ms) : nullptr;
        return dialog;
    }
    HWND Item(int id) const { return Find_Control(dialog, id); }
    bool Press(HWND button) {
        return Click(button) && Wait_Until([&] { return !IsWindow(dialog); }, Timeout_Ms);
    }
    bool In_Folder(const std::wstring& path) const {
        return Wait_Until([&] { return Text_Of(Item(dlg::Dir_Label)) == path; }, Timeout_Ms);
    }
    bool Double_Click(int list, const std::wstring& item) {
        const std::vector<std::wstring> items = List_Items(Item(list));
        const auto at = std::find(items.begin(), items.end(), item);
        return at != items.end() && Double_Click_List_Item(Item(list), static_cast<int>(at - items.begin()));
    }
    bool List_Is(const std::wstring& text) const {
        return Wait_Until([&] { return Text_Of(app->Control(ids::Txt_Value3 + 0)) == text; }, Timeout_Ms);
    }

    Temp_Folder folder;
    const std::wstring data = folder / L"data";
    std::unique_ptr<CellDrop_App> app;
    HWND dialog = nullptr;
};

bool Same_Path(const std::wstring& a, const std::wstring& b) { return Upper_Case(a) == Upper_Case(b); }

}  // namespace

TEST_F(File_Dialogs, OwnDialogChoosesAFile) {
    const HWND box = app->Control(ids::Txt_File_0);
    // The folder "gone" does not exist: the dialog starts in the deepest one that does.
    ASSERT_TRUE(Type_Text(box, data + L"\\gone\\Other.xlsx"));
    ASSERT_NE(Open(ids::Cmd_Control + 6, L"貼付先Excelファイル"), nullptr);
    EXPECT_TRUE(In_Folder(data));
    EXPECT_EQ(Text_Of(Item(dlg::Kensaku_Label)), L"*.xls;*.xlsx;*.xlsm");
    // Exactly the names a pattern matches; no file chosen yet, so OK waits; the main window is held.
    EXPECT_EQ(List_Items(Item(dlg::File_List)), (std::vector<std::wstring>{L"b.xlsm", L"book1.XLSX"}));
    EXPECT_FALSE(Is_Enabled(Item(dlg::Cmd_Ok)));
    EXPECT_FALSE(Is_Enabled(app->Main()));
    ASSERT_TRUE(Click_List_Item(Item(dlg::File_List), 1));
    EXPECT_TRUE(Wait_Until([&] { return Is_Enabled(Item(dlg::Cmd_Ok)); }, Timeout_Ms));
    EXPECT_EQ(Text_Of(Item(dlg::File_Label)), L"book1.XLSX");
    // Another folder disables OK again, until a file is chosen there.
    ASSERT_TRUE(Double_Click(dlg::Dir1, L"[sub]"));
    EXPECT_TRUE(In_Folder(data + L"\\sub"));
    EXPECT_FALSE(Is_Enabled(Item(dlg::Cmd_Ok)));
    ASSERT_TRUE(Double_Click(dlg::Dir1, L"[..]"));
    EXPECT_TRUE(In_Folder(data));
    ASSERT_TRUE(Double_Click_List_Item(Item(dlg::File_List), 1));  // a double click chooses at once
    ASSERT_TRUE(Wait_Until([&] { return !IsWindow(dialog); }, Timeout_Ms));
    // Proper-cased; the main window takes input again. The box takes the path just after the dialog
    // has gone, and the program may answer in between.
    const std::wstring chosen = Path_Proper_Case(data + L"\\book1.XLSX");
    EXPECT_TRUE(chosen.ends_with(L"\\Data\\Book1.xlsx"));
    EXPECT_TRUE(Wait_Until([&] { return Text_Of(box) == chosen; }, Timeout_Ms))
        << ::testing::PrintToString(Text_Of(box));
    EXPECT_TRUE(Is_Enabled(app->Main()));

    // Opened again on that path, the file is chosen already; Cancel leaves the box alone.
    ASSERT_NE(Open(ids::Cmd_Control + 6, L"貼付先Excelファイル"), nullptr);
    EXPECT_TRUE(Is_Enabled(Item(dlg::Cmd_Ok)));
    EXPECT_EQ(Text_Of(Item(dlg::File_Label)), L"book1.XLSX");
    ASSERT_TRUE(Press(Item(dlg::Cmd_Cancel)));
    EXPECT_EQ(Text_Of(box), chosen);
    // The folder of the last OK became the current directory: a box without a drive starts there.
    ASSERT_TRUE(Type_Text(box, L""));  // becomes the new-workbook choice
    ASSERT_NE(Open(ids::Cmd_Control + 6, L"貼付先Excelファイル"), nullptr);
    EXPECT_TRUE(Same_Path(Text_Of(Item(dlg::Dir_Label)), data));
    ASSERT_TRUE(Close_Window(dialog));
    ASSERT_TRUE(Wait_Until([&] { return !IsWindow(dialog) && Is_Enabled(app->Main()); }, Timeout_Ms));
    EXPECT_EQ(Text_Of(box), L"新規、空白のブック");
}

TEST_F(File_Dialogs, OwnDialogChoosesAFolderAndTheListFollows) {
    const HWND box = app->Control(ids::Txt_File_1);
    ASSERT_TRUE(Type_Text(box, data + L"\\sub"));
    ASSERT_TRUE(Type_Text(app->Control(ids::Txt_Value3 + 0), L"manual"));
    // Cancel: the folder and the list stay as they were. A folder is always chosen, so OK is enabled.
    ASSERT_NE(Open(ids::Cmd_Control + 7, L"参照、ディレクトリ検索"), nullptr);
    EXPECT_TRUE(In_Folder(data + L"\\sub"));
    EXPECT_TRUE(Is_Enabled(Item(dlg::Cmd_Ok)));
    ASSERT_TRUE(Press(Item(dlg::Cmd_Cancel)));
    EXPECT_EQ(Text_Of(box), data + L"\\sub");
    EXPECT_TRUE(List_Is(L"manual"));
    // One folder up and OK: the folder proper-cased, and the list of its files.
    ASSERT_NE(Open(ids::Cmd_Control + 7, L"参照、ディレクトリ検索"), nullptr);
    ASSERT_TRUE(Double_Click(dlg::Dir1, L"[..]"));
    EXPECT_TRUE(In_Folder(data));
    ASSERT_TRUE(Press(Item(dlg::Cmd_Ok)));
    // The box takes the folder once the dialog's own loop has ended, just after the press.
    EXPECT_TRUE(Wait_Until([&] { return Text_Of(box) == Path_Proper_Case(data); }, Timeout_Ms))
        << ::testing::PrintToString(Text_Of(box));
    EXPECT_TRUE(List_Is(Data_Files));
}

TEST_F(File_Dialogs, SystemOpenDialogAndFolderChooser) {
    const HWND target = app->Control(ids::Txt_File_0);
    // The open dialog: its title, the Excel filter first of two; a file name typed and opened.
    ASSERT_NE(Open_System(ids::Cmd_Control + 0), nullptr);
    EXPECT_EQ(Text_Of(dialog), L"貼付先Excelファイル");
    EXPECT_EQ(Text_Of(Find_Control(dialog, 0x470, L"ComboBox")), L"Excelファイル(*.xls;*.xlsx;*.xlsm)");
    EXPECT_EQ(SendMessageW(Find_Control(dialog, 0x470, L"ComboBox"), CB_GETCOUNT, 0, 0), 2);
    ASSERT_TRUE(Type_Text(Find_Control(dialog, 0x47C, L"Edit"), data + L"\\book1.XLSX"));
    ASSERT_TRUE(Press(GetDlgItem(dialog, IDOK)));
    EXPECT_TRUE(Same_Path(Text_Of(target), data + L"\\book1.XLSX")) << Text_Of(target);
    // Cancel leaves the box as it is.
    ASSERT_TRUE(Type_Text(target, data + L"\\b.xlsm"));
    ASSERT_NE(Open_System(ids::Cmd_Control + 0), nullptr);
    ASSERT_TRUE(Press(GetDlgItem(dialog, IDCANCEL)));
    EXPECT_EQ(Text_Of(target), data + L"\\b.xlsm");

    // The folder chooser with its title: Cancel changes nothing and builds nothing.
    const HWND box = app->Control(ids::Txt_File_1);
    ASSERT_TRUE(Type_Text(box, data + L"\\sub"));
    ASSERT_TRUE(Type_Text(app->Control(ids::Txt_Value3 + 0), L"manual"));
    ASSERT_NE(Open_System(ids::Cmd_Control + 2), nullptr);
    EXPECT_NE(Find_By_Text(dialog, L"参照、ディレクトリ検索"), std::nullopt);
    ASSERT_TRUE(Press(GetDlgItem(dialog, IDCANCEL)));
    EXPECT_EQ(Text_Of(box), data + L"\\sub");
    EXPECT_TRUE(List_Is(L"manual"));
    // It opens on the box's folder; one up from there (the tree's selection moved by the keyboard)
    // is a new folder, and the list is rebuilt.
    ASSERT_NE(Open_System(ids::Cmd_Control + 2), nullptr);
    const HWND tree = Find_Control(dialog, 0x3741, L"SysTreeView32");
    auto selected = [tree] { return SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0); };
    ASSERT_TRUE(Wait_Until([&] { return selected() != 0; }, Timeout_Ms));
    const LRESULT start = selected();
    ASSERT_TRUE(Press_Key(tree, VK_UP));
    ASSERT_TRUE(Wait_Until([&] { return selected() != start; }, Timeout_Ms));
    ASSERT_TRUE(Press(GetDlgItem(dialog, IDOK)));
    EXPECT_TRUE(Same_Path(Text_Of(box), data)) << Text_Of(box);
    EXPECT_TRUE(List_Is(Data_Files));
}
