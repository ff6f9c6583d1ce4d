// The copy history's files: renumbering at load, saving by renames, and damaged or foreign files.
#include <gtest/gtest.h>

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

TEST(Copy_History, PictureSavesRenameFilesAndKeepDamagedOnes) {
    Temp_Folder folder;
    ASSERT_TRUE(Write_Bytes(folder / L"Pic00.bmp", Encode_Bmp_File(Solid(40, 20, 0xFF0000))));
    ASSERT_TRUE(Write_Bytes(folder / L"Pic03.bmp", "BM truncated"));
    Picture_History history;
    history.Folder = folder.Path();
    history.Thumbnail_Side = 10;
    history.Load();  // out of order: Pic03 becomes Pic01 at once
    ASSERT_EQ(history.Rireki_Pic_Count, 1);
    EXPECT_EQ(history.Rireki_Pic[0].Thumbnail.Width, 10);
    EXPECT_EQ(history.Rireki_Pic[0].Thumbnail.Height, 5);
    EXPECT_TRUE(history.Rireki_Pic[1].Empty);
    EXPECT_EQ(Read_Bytes(folder / L"Pic01.bmp"), "BM truncated");
    EXPECT_FALSE(Exists(folder / L"Pic03.bmp"));

    // A new picture waits in a scratch file; the save shifts the others by renaming.
    const std::string red = Read_Bytes(folder / L"Pic00.bmp");
    history.Add(Solid(3, 6, 0x00FF00));
    EXPECT_TRUE(history.Rireki_Pic_Dirty);
    EXPECT_EQ(history.Picture(0)->Pixels, Solid(3, 6, 0x00FF00).Pixels);
    ASSERT_TRUE(history.Write());
    EXPECT_EQ(Read_Bytes(folder / L"Pic00.bmp"), Encode_Bmp_File(Solid(3, 6, 0x00FF00)));
    EXPECT_EQ(Read_Bytes(folder / L"Pic01.bmp"), red);
    EXPECT_EQ(Read_Bytes(folder / L"Pic02.bmp"), "BM truncated");
    EXPECT_EQ(List_Folder(folder.Path()).size(), 3u);  // no scratch file left
    EXPECT_EQ(history.Picture(1)->Width, 40);
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
