// The copy history's files: renumbering at load, saving by renames, and damaged or foreign files.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "copy_history.h"
#include "paste_loop.h"
#include "temp_folder.h"
#include "test_files.h"

namespace {

Bitmap_Image Solid(int width, int height, std::uint32_t colour) {
    return Bitmap_Image{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, colour)};
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

TEST(Copy_History, TextsKeepTheNewestThirtyAndRenumberTheirFiles) {
    Temp_Folder folder;
    Text_History history;
    history.Folder = folder.Path();
    for (int i = 1; i <= 31; ++i) history.Add(L"text " + std::to_wstring(i));
    EXPECT_FALSE(history.Add(L"\r\n　 \r\n"));  // blank: pasted, never kept
    EXPECT_EQ(history.Rireki_Text_Count, 29);
    EXPECT_EQ(history.Rireki_Text[0], L"text 31");
    ASSERT_TRUE(history.Write());
    EXPECT_EQ(Read_Bytes(folder / L"Text29.txt"), "text 2");

    // Gaps, a blank file, a foreign file and one numbered beyond the places: renumbered at once.
    Temp_Folder gaps;
    ASSERT_TRUE(Write_Bytes(gaps / L"Text00.txt", "a"));
    ASSERT_TRUE(Write_Bytes(gaps / L"Text01.txt", " \r\n"));
    ASSERT_TRUE(Write_Bytes(gaps / L"Text02.txt", "\r\n\r\nfirst\r\nsecond"));
    ASSERT_TRUE(Write_Bytes(gaps / L"Text45.txt", "c"));
    ASSERT_TRUE(Write_Bytes(gaps / L"memo.txt", "mine"));
    Text_History loaded;
    loaded.Folder = gaps.Path();
    loaded.Load();
    EXPECT_EQ(loaded.Rireki_Text_Count, 2);
    EXPECT_EQ(loaded.Lst_AddItem_RirekiText(1), L"first");
    EXPECT_EQ(Read_Bytes(gaps / L"Text01.txt"), "\r\n\r\nfirst\r\nsecond");
    EXPECT_EQ(Read_Bytes(gaps / L"Text02.txt"), "c");
    EXPECT_FALSE(Exists(gaps / L"Text45.txt"));
    EXPECT_EQ(Read_Bytes(gaps / L"memo.txt"), "mine");
    loaded.Load();  // nothing is taken in twice
    EXPECT_EQ(loaded.Rireki_Text_Count, 2);
}

TEST(Copy_History, PictureSavesRenameFilesAndLeaveDamagedOnesAlone) {
    Temp_Folder folder;
    ASSERT_TRUE(Write_Bytes(folder / L"Pic00.bmp", Encode_Bmp_File(Solid(40, 20, 0xFF0000))));
    ASSERT_TRUE(Write_Bytes(folder / L"Pic01.bmp", "BM truncated"));
    Picture_History history;
    history.Folder = folder.Path();
    history.Thumbnail_Side = 10;
    history.Load();  // the damaged one is no entry, and stays where it is
    ASSERT_EQ(history.Rireki_Pic_Count, 0);
    EXPECT_EQ(history.Rireki_Pic[0].Thumbnail.Width, 10);
    EXPECT_EQ(history.Rireki_Pic[0].Thumbnail.Height, 5);

    // A new picture waits in a scratch file; the save shifts the others by renaming.
    const std::string red = Read_Bytes(folder / L"Pic00.bmp");
    history.Add(Solid(3, 6, 0x00FF00));
    EXPECT_TRUE(history.Rireki_Pic_Dirty);
    EXPECT_EQ(history.Picture(0)->Pixels, Solid(3, 6, 0x00FF00).Pixels);
    history.Add(Bitmap_Image{0, 5, {}});  // no picture: not kept
    EXPECT_EQ(history.Rireki_Pic_Count, 1);
    ASSERT_TRUE(history.Write());
    EXPECT_EQ(Read_Bytes(folder / L"Pic00.bmp"), Encode_Bmp_File(Solid(3, 6, 0x00FF00)));
    EXPECT_EQ(Read_Bytes(folder / L"Pic01.bmp"), "BM truncated");
    EXPECT_EQ(Read_Bytes(folder / L"Pic02.bmp"), red);
    EXPECT_EQ(List_Folder(folder.Path()).size(), 3u);  // no scratch file left
    EXPECT_EQ(history.Picture(1)->Width, 40);
}

namespace {

// The colours of the pictures a fresh start reads, newest first.
std::vector<std::uint32_t> Colours_Read(const std::wstring& folder) {
    Picture_History h;
    h.Folder = folder;
    h.Load();
    std::vector<std::uint32_t> colours;
    for (int i = 0; i <= h.Rireki_Pic_Count; ++i) colours.push_back(h.Picture(i)->Pixels[0]);
    return colours;
}

std::vector<std::wstring> Texts_Read(const std::wstring& folder) {
    Text_History h;
    h.Folder = folder;
    h.Load();
    return std::vector<std::wstring>(h.Rireki_Text.begin(), h.Rireki_Text.begin() + h.Rireki_Text_Count + 1);
}

// Stops a save after the given number of steps, as if the program were ended there.
std::function<bool()> Stop_After(int steps) {
    return [steps]() mutable { return steps-- > 0; };
}

}  // namespace

TEST(Copy_History, ASaveEndedAtAnyStepLosesNoStoredEntry) {
    for (int steps = 0; steps < 12; ++steps) {
        SCOPED_TRACE(steps);
        // Pictures: three saved, two waiting; whatever step it stops at, the next start has all five.
        Temp_Folder pics;
        for (std::uint32_t c = 1; c <= 3; ++c)
            ASSERT_TRUE(Write_Bytes(pics / Rireki_File_Name(L"Pic", static_cast<int>(c) - 1, L".bmp"), Encode_Bmp_File(Solid(2, 2, c))));
        Picture_History history;
        history.Folder = pics.Path();
        history.Load();
        history.Add(Solid(2, 2, 4));
        history.Add(Solid(2, 2, 5));
        history.Store().Before_Step = Stop_After(steps);
        (void)history.Write();
        EXPECT_EQ(Colours_Read(pics.Path()), (std::vector<std::uint32_t>{5, 4, 1, 2, 3}));

        // Texts: thirty saved, two new; every stored one that stays is read back in its order.
        Temp_Folder texts;
        Text_History t;
        t.Folder = texts.Path();
        for (int i = 29; i >= 0; --i) t.Add(L"old " + std::to_wstring(i));
        ASSERT_TRUE(t.Write());
        t.Add(L"new 1");
        t.Add(L"new 2");
        t.Store().Before_Step = Stop_After(steps);
        (void)t.Write();
        std::vector<std::wstring> read = Texts_Read(texts.Path());
        std::erase_if(read, [](const std::wstring& x) { return x == L"new 1" || x == L"new 2"; });
        // The two oldest fall out; they may still be there, after all the others.
        ASSERT_GE(read.size(), 28u);
        ASSERT_LE(read.size(), 30u);
        for (std::size_t i = 0; i < 28; ++i) EXPECT_EQ(read[i], L"old " + std::to_wstring(i));
    }
}

TEST(Copy_History, MissingLockedAndLeftoverFilesLoseNothingElse) {
    // Pic02 removed during the run: the later pictures are saved all the same, in order.
    Temp_Folder pics;
    Picture_History history;
    history.Folder = pics.Path();
    for (std::uint32_t c = 1; c <= 5; ++c) history.Add(Solid(1, 1, c));
    ASSERT_TRUE(history.Write());
    ASSERT_TRUE(DeleteFileW((pics / L"Pic02.bmp").c_str()));
    history.Add(Solid(1, 1, 6));
    history.Add(Solid(1, 1, 7));
    EXPECT_TRUE(history.Write());
    EXPECT_EQ(Colours_Read(pics.Path()), (std::vector<std::uint32_t>{7, 6, 5, 4, 2, 1}));

    // Text05 held open by another program: the save says it failed and overwrites nothing; once it is
    // closed, the next save puts everything in place.
    Temp_Folder texts;
    Text_History t;
    t.Folder = texts.Path();
    for (int i = 9; i >= 0; --i) t.Add(L"old " + std::to_wstring(i));
    ASSERT_TRUE(t.Write());
    HANDLE held = CreateFileW((texts / L"Text05.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    t.Add(L"new");
    EXPECT_FALSE(t.Write());
    // Unreadable at a start: not taken for blank, left where it is, and its neighbours keep their order.
    Text_History other;
    other.Folder = texts.Path();
    other.Load();
    EXPECT_EQ(other.Rireki_Text_Count, 8);
    other.Add(L"while held");
    EXPECT_TRUE(other.Write());
    CloseHandle(held);
    // The held file kept its number while the others moved on: all are there, the others in order.
    std::vector<std::wstring> read = Texts_Read(texts.Path());
    ASSERT_EQ(read.size(), 11u);
    EXPECT_EQ(std::count(read.begin(), read.end(), L"old 5"), 1);
    std::erase(read, L"old 5");
    EXPECT_EQ(read[0], L"while held");
    for (int i = 0; i < 9; ++i) EXPECT_EQ(read[static_cast<std::size_t>(i) + 1], L"old " + std::to_wstring(i < 5 ? i : i + 1));

    // The temporary file of a write that was cut short is removed at the next start; other files stay.
    ASSERT_TRUE(Write_Bytes(texts / L"cd~1A2B.tmp", "half"));
    ASSERT_TRUE(Write_Bytes(texts / L"memo.txt", "mine"));
    (void)Texts_Read(texts.Path());
    EXPECT_FALSE(Exists(texts / L"cd~1A2B.tmp"));
    EXPECT_TRUE(Exists(texts / L"memo.txt"));
}

TEST(Copy_History, APictureThatCannotBeSavedIsKeptForTheNextSave) {
    Temp_Folder folder;
    Picture_History history;
    history.Folder = folder.Path();
    history.Add(Solid(2, 2, 0x123456));
    ASSERT_TRUE(history.Write());
    ASSERT_TRUE(CreateDirectoryW((folder / L"Pic01.bmp").c_str(), nullptr));  // stands where the old one goes
    history.Add(Solid(4, 4, 0xABCDEF));
    EXPECT_FALSE(history.Write());
    // Nothing was lost: both pictures are still there to paste again.
    EXPECT_EQ(history.Picture(0)->Width, 4);
    EXPECT_EQ(history.Picture(1)->Width, 2);
    RemoveDirectoryW((folder / L"Pic01.bmp").c_str());
    ASSERT_TRUE(history.Write());
    EXPECT_EQ(Decode_Bmp_File(Read_Bytes(folder / L"Pic01.bmp"))->Width, 2);
    EXPECT_EQ(Decode_Bmp_File(Read_Bytes(folder / L"Pic00.bmp"))->Width, 4);
}

namespace {

// Counts the saves the loop asks for.
class Saving_Host : public Paste_Loop_Host {
public:
    bool Text_Changed = true, Pictures_Changed = true;
    int Text_Saves = 0, Picture_Saves = 0;
    bool Stop_Requested() override { return false; }
    void Clear_Stop_Request() override {}
    bool Window_Closed() override { return false; }
    void Return_To_Setup() override {}
    HWND Main_Window() override { return nullptr; }
    Text_Edits Edits() override { return {}; }
    void Record_Text(const std::wstring&) override {}
    void Record_Picture(const Bitmap_Image&) override {}
    bool Text_History_Changed() override { return Text_Changed; }
    bool Picture_History_Changed() override { return Pictures_Changed; }
    void Write_Text_History() override { ++Text_Saves, Text_Changed = false; }
    void Write_Picture_History() override { ++Picture_Saves, Pictures_Changed = false; }
    Paste_Journal& Journal() override { return journal; }
    Paste_Journal journal;
};

}  // namespace

TEST(Copy_History, SavedOnceAMinuteAtTheirOwnSecondOnlyWhenChanged) {
    Saving_Host host;
    int last = 0;
    // Passes at seconds 59, 0, 0 (the same second twice), 1 … 30, 30.
    for (int second : {59, 0, 0, 1, 29, 30, 30}) History_Autosave(second, last, host);
    EXPECT_EQ(host.Text_Saves, 1);
    EXPECT_EQ(host.Picture_Saves, 1);
    // The loop starts with second 0 seen: a run that begins in second 0 waits for the next minute.
    Saving_Host fresh;
    int start = 0;
    History_Autosave(0, start, fresh);
    EXPECT_EQ(fresh.Text_Saves, 0);
    // Unchanged histories are not written.
    for (int second : {59, 0, 30}) History_Autosave(second, last, host);
    EXPECT_EQ(host.Text_Saves, 1);
    EXPECT_EQ(host.Picture_Saves, 1);
}
