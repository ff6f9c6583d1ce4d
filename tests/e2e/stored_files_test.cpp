// What the program keeps in its folders survives folders removed during a run, files that hold no
// text, files the user made read-only, and a program ended in the middle of a save.
#include <string>
#include <vector>

#include "numbered_files.h"
#include "paste_run_fixture.h"

namespace {

constexpr wchar_t Moved_Aside_Message[] = L"読み込めないファイルがあったため、名前を変えて残しました。";

// Bytes that are text in no form: neither code page 932 nor UTF-8.
std::string Not_Text(std::size_t size) {
    std::string bytes;
    unsigned x = 12345;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1103515245 + 12345;
        bytes += static_cast<char>(x >> 16);
    }
    return bytes + "\x80\xFF";
}

// The names in the folder that are the program's scratch files.
std::vector<std::wstring> Scratch_Files(const std::wstring& folder) {
    std::vector<std::wstring> scratch;
    for (const std::wstring& name : List_Folder(folder))
        if (name.starts_with(L"~") || name.starts_with(L"cd~")) scratch.push_back(name);
    return scratch;
}

std::string Texts_Of(const std::wstring& folder, const wchar_t* prefix, int digits, int count) {
    std::string all;
    for (int i = 0; i < count; ++i) {
        std::wstring number = std::to_wstring(i);
        number.insert(0, static_cast<std::size_t>(digits) - number.size(), L'0');
        all += Read_Bytes(folder + L"\\" + prefix + number + L".txt") + "|";
    }
    return all;
}

}  // namespace

// A save stopped half way (as the program ended at that step) in each of the three folders: the next
// start completes it before anything else, so that every folder holds its whole numbered set.
TEST(Stored_Files, AStartCompletesTheSavesAStoppedProgramLeftHalfDone) {
    Temp_Folder folder;
    const std::wstring texts = folder / L"RirekiText", pictures = folder / L"RirekiPic", kotei = folder / L"Kotei";
    for (const std::wstring& f : {texts, pictures, kotei}) ASSERT_TRUE(CreateDirectoryW(f.c_str(), nullptr));
    struct Half_Save {
        std::wstring Folder, Prefix;
        int Digits, Highest, Count, Stop_After;
    };
    const Half_Save saves[] = {
        {texts, L"Text", 2, 29, 30, 12}, {pictures, L"Pic", 2, 29, 30, 40}, {kotei, L"Kotei", 3, 999, 5, 4}};
    for (const Half_Save& h : saves) {
        const std::wstring extension = h.Prefix == L"Pic" ? L".bmp" : L".txt";
        Numbered_Files store(h.Folder, h.Prefix, h.Digits, extension, h.Prefix != L"Kotei", h.Highest);
        std::vector<Numbered_Entry> entries;
        for (int i = 0; i < h.Count; ++i) {
            const std::string bytes = "old " + std::to_string(i);
            ASSERT_TRUE(Write_Bytes(store.Path_Of(i), bytes));
            entries.push_back({i, {}, bytes, false});
        }
        // A new entry first: every file moves up one place, and the oldest of a full history goes.
        entries.insert(entries.begin(), Numbered_Entry{-1, {}, "new", true});
        int left = h.Stop_After;
        store.Before_Step = [&left] { return left-- > 0; };
        ASSERT_FALSE(store.Write(entries).empty());
        ASSERT_TRUE(store.Journal_Pending()) << h.Prefix;
    }

    CellDrop_App app(folder);
    ASSERT_TRUE(app.Wait_Ready());
    std::string expected = "new|";
    for (int i = 0; i < 29; ++i) expected += "old " + std::to_string(i) + "|";
    EXPECT_EQ(Texts_Of(texts, L"Text", 2, 30), expected);
    EXPECT_EQ(Read_Bytes(texts + L"\\Text30.txt"), "<missing>");
    EXPECT_EQ(Read_Bytes(pictures + L"\\Pic00.bmp"), "new");
    EXPECT_EQ(Read_Bytes(pictures + L"\\Pic29.bmp"), "old 28");
    EXPECT_EQ(Texts_Of(kotei, L"Kotei", 3, 6), "new|old 0|old 1|old 2|old 3|old 4|");
    for (const std::wstring& f : {texts, pictures, kotei})
        EXPECT_TRUE(Scratch_Files(f).empty()) << Scratch_Files(f).size();
}

// The history and settings folders removed while a run goes on (a user tidying up): the saves make
// them again, and nothing the run kept in memory is lost.
TEST_F(Paste_Run_Test, FoldersRemovedDuringARunAreMadeAgainByTheirSaves) {
    ASSERT_TRUE(CreateDirectoryW((folder / L"Kotei").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei\\Kotei000.txt", "kept"));
    Start();
    for (const wchar_t* text : {L"a", L"b"}) {
        ASSERT_TRUE(Copy(text));
        ASSERT_TRUE(Wait_Until(
            [&] { return Sheet()["cells"].Size() > 0 && Cell(text == std::wstring(L"a") ? "A1" : "B1") == text; },
            Paste_Timeout_Ms));
    }
    for (const wchar_t* name : {L"RirekiText", L"RirekiPic", L"Kotei", L"Para"}) Remove_Tree(folder / name);
    ASSERT_TRUE(Copy(L"c"));
    ASSERT_TRUE(Wait_Cell("C1", L"c"));
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    ASSERT_TRUE(Back_On_Setup_Screen());
    ASSERT_TRUE(Wait_Until([&] { return Read_Bytes(folder / L"RirekiText\\Text02.txt") == "a"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text00.txt"), "c");
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text01.txt"), "b");
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0)) << "a save was reported as failed";

    // The panels take clicks again once the run has let go of everything.
    ASSERT_TRUE(Wait_Until([&] { return Is_Usable(app->Control(ids::Cmd_Update2_Save)); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Save)));
    ASSERT_TRUE(Wait_Until([&] { return Read_Bytes(folder / L"Kotei\\Kotei000.txt") == "kept"; }, Paste_Timeout_Ms));
    EXPECT_NE(Read_Bytes(folder / L"Para\\Para1_1.txt"), "<missing>");
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0)) << "a save was reported as failed";
}

// Files that hold no text are moved aside with the one message, and files read and not changed keep
// their bytes; a value list beyond 16 MB is refused with a message that names it and is never written.
TEST_F(Paste_Run_Test, FilesThatAreNoTextAreMovedAsideAndOthersKeepTheirBytes) {
    const std::string garbage = Not_Text(3000);
    // Code page 932 bytes that are no assigned character: read as "・", but the file keeps them.
    const std::string odd = "\x85\x40 odd \x82\xA0";
    for (const wchar_t* name : {L"RirekiText", L"Kotei", L"Para"})
        ASSERT_TRUE(CreateDirectoryW((folder / name).c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiText\\Text00.txt", garbage));
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiText\\Text01.txt", odd));
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei\\Kotei000.txt", garbage));
    ASSERT_TRUE(Write_Bytes(folder / L"Kotei\\Kotei001.txt", odd));
    std::string huge(static_cast<std::size_t>(16 * 1024 * 1024) + 2, 'x');
    huge.replace(0, 6, "a.txt\n");
    ASSERT_TRUE(Write_Bytes(folder / L"Para\\Para1_2.txt", huge));

    app = std::make_unique<CellDrop_App>(folder, 2);
    ASSERT_TRUE(app->Started());
    ASSERT_EQ(app->Start_Messages.size(), 2u);
    EXPECT_NE(app->Start_Messages[0].find(folder / L"Para\\Para1_2.txt"), std::wstring::npos) << app->Start_Messages[0];
    EXPECT_NE(app->Start_Messages[0].find(L"16MB"), std::wstring::npos) << app->Start_Messages[0];
    EXPECT_EQ(app->Start_Messages[1],
              std::wstring(Moved_Aside_Message) + L"\r\n" + (folder / L"Kotei\\Kotei000_読めないファイル.txt"));
    ASSERT_TRUE(app->Wait_Ready());
    EXPECT_EQ(Read_Bytes(folder / L"Kotei\\Kotei000.txt"), odd);
    EXPECT_EQ(Read_Bytes(folder / L"Kotei\\Kotei000_読めないファイル.txt"), garbage);
    EXPECT_EQ(Text_Of(app->Control(ids::Txt_Value3)), L"");

    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
    auto box = Wait_For_Message_Box(app->Process().Pid(), Paste_Timeout_Ms);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text,
              std::wstring(Moved_Aside_Message) + L"\r\n" + (folder / L"RirekiText\\Text00_読めないファイル.txt"));
    ASSERT_TRUE(Answer_Message_Box(*box));
    Expect_Message(Start_Message);
    ASSERT_TRUE(Wait_Until([&] { return !State()["activeWorkbook"].Is_Null(); }, Paste_Timeout_Ms));
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text00.txt"), odd);
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text01.txt"), "<missing>");
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text00_読めないファイル.txt"), garbage);
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    ASSERT_TRUE(Back_On_Setup_Screen());
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text00.txt"), odd);
    EXPECT_EQ(Read_Bytes(folder / L"Para\\Para1_2.txt"), huge);
}

// History files the user made read-only: a save that would delete one is not begun, its message names
// the file, the marks stay, and no scratch file is left once the program has ended.
TEST_F(Paste_Run_Test, AReadOnlyHistoryBlocksItsSaveWhichIsUndoneAndNamesTheFile) {
    const std::wstring texts = folder / L"RirekiText";
    ASSERT_TRUE(CreateDirectoryW(texts.c_str(), nullptr));
    std::string expected;
    for (int i = 0; i < 30; ++i) {
        const std::wstring path = texts + L"\\Text" + (i < 10 ? L"0" : L"") + std::to_wstring(i) + L".txt";
        ASSERT_TRUE(Write_Bytes(path, "old " + std::to_string(i)));
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
        expected += "old " + std::to_string(i) + "|";
    }
    Start();
    ASSERT_TRUE(Copy(L"new"));
    ASSERT_TRUE(Wait_Cell("A1", L"new"));
    // The save made once a minute fails while the run goes on: the notice line says so, no message box
    // holds the copies after it.
    const HWND notice = app->Control(ids::Label1 + 21);
    ASSERT_TRUE(Wait_Until([&] { return Text_Of(notice) == L"コピー履歴を保存できませんでした。"; }, 65000));
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
    ASSERT_TRUE(Copy(L"after"));
    ASSERT_TRUE(Wait_Cell("B1", L"after"));
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    // Two new texts would push the two oldest files out: both are named.
    const std::wstring message =
        L"コピー履歴を保存できませんでした。\r\n" + texts + L"\\Text28.txt\r\n" + texts + L"\\Text29.txt";
    Expect_Message(message);
    ASSERT_TRUE(Back_On_Setup_Screen());
    EXPECT_EQ(Texts_Of(texts, L"Text", 2, 30), expected);
    for (const std::wstring& name : Scratch_Files(texts)) EXPECT_TRUE(name.ends_with(L".tmp")) << name;

    // Tried once more as the program ends, said once more, then given up without a trace.
    ASSERT_TRUE(Wait_Until([&] { return Is_Usable(app->Control(ids::Cmd_Update2_Save)); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Close_Window(app->Main()));
    Expect_Message(message);
    ASSERT_TRUE(app->Process().Wait_For_Exit(Paste_Timeout_Ms));
    EXPECT_EQ(Texts_Of(texts, L"Text", 2, 30), expected);
    EXPECT_EQ(Scratch_Files(texts), std::vector<std::wstring>{});
    EXPECT_EQ(GetFileAttributesW((texts + L"\\Text29.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}
