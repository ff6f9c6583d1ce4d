// The copy history's files: renumbering at load, saving by renames, and damaged or foreign files.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

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

namespace {

// The colours of the pictures a fresh start reads, newest first.
std::vector<std::uint32_t> Colours_Read(const std::wstring& folder) {
    Picture_History h;
    h.Folder = folder;
    h.Load();
    std::vector<std::uint32_t> colours;
    for (int i = 0; i <= h.Rireki_Pic_Count; ++i) colours.push_back(h.Picture(i) ? h.Picture(i)->Pixels[0] : 0);
    return colours;
}

std::vector<std::wstring> Texts_Read(const std::wstring& folder) {
    Text_History h;
    h.Folder = folder;
    h.Load();
    return std::vector<std::wstring>(h.Rireki_Text.begin(), h.Rireki_Text.begin() + h.Rireki_Text_Count + 1);
}

std::vector<std::wstring> Olds(int from, int to) {
    std::vector<std::wstring> texts;
    for (int i = from; i <= to; ++i) texts.push_back(L"old " + std::to_wstring(i));
    return texts;
}

// Stops a save after the given number of steps, as if the program were ended there.
std::function<bool()> Stop_After(int steps, bool& stopped) {
    stopped = false;
    return [steps, &stopped]() mutable { return steps-- > 0 || (stopped = true, false); };
}

}  // namespace

TEST(Copy_History, TextsKeepTheNewestThirtyInNumbersTheProgramWrites) {
    Temp_Folder folder;
    ASSERT_TRUE(Write_Bytes(folder / L"Text00.txt", "kept"));
    Text_History history;
    history.Folder = folder.Path();
    for (int i = 1; i <= 31; ++i) history.Add(L"text " + std::to_wstring(i));
    EXPECT_FALSE(history.Add(L"\r\n　 \r\n"));  // blank: pasted, never kept
    EXPECT_EQ(history.Rireki_Text_Count, 29);
    std::vector<std::wstring> newest;  // text 31 first … text 2 last: every entry moved down by one
    for (int i = 31; i >= 2; --i) newest.push_back(L"text " + std::to_wstring(i));
    EXPECT_EQ(std::vector<std::wstring>(history.Rireki_Text.begin(), history.Rireki_Text.end()), newest);
    // Never read from its folder: a save would replace what is there, so it writes nothing.
    EXPECT_TRUE(history.Write());
    EXPECT_EQ(Read_Bytes(folder / L"Text00.txt"), "kept");
    history.Load();  // the texts it took wait in scratch files: they are the newest
    EXPECT_EQ(Texts_Read(folder.Path()), newest);
    EXPECT_EQ(Read_Bytes(folder / L"Text29.txt"), "text 2");

    // Gaps and a blank file are renumbered at once; numbers beyond 29 and foreign names are not the
    // history's: never read, never touched.
    Temp_Folder gaps;
    ASSERT_TRUE(Write_Bytes(gaps / L"Text00.txt", "a"));
    ASSERT_TRUE(Write_Bytes(gaps / L"Text01.txt", " \r\n"));
    ASSERT_TRUE(Write_Bytes(gaps / L"Text02.txt", "\r\n\r\nfirst\r\nsecond"));
    ASSERT_TRUE(Write_Bytes(gaps / L"Text30.txt", "c"));
    ASSERT_TRUE(Write_Bytes(gaps / L"Text31.txt", "d"));
    ASSERT_TRUE(Write_Bytes(gaps / L"memo.txt", "mine"));
    Text_History loaded;
    loaded.Folder = gaps.Path();
    loaded.Load();
    EXPECT_EQ(loaded.Rireki_Text_Count, 1);
    EXPECT_EQ(loaded.Lst_AddItem_RirekiText(1), L"first");
    EXPECT_EQ(Read_Bytes(gaps / L"Text01.txt"), "\r\n\r\nfirst\r\nsecond");
    EXPECT_EQ(Read_Bytes(gaps / L"Text02.txt"), "<missing>");
    for (int i = 0; i < 30; ++i) loaded.Add(L"more " + std::to_wstring(i));
    EXPECT_TRUE(loaded.Write());
    EXPECT_EQ(Read_Bytes(gaps / L"Text30.txt"), "c");
    EXPECT_EQ(Read_Bytes(gaps / L"Text31.txt"), "d");
    EXPECT_EQ(Read_Bytes(gaps / L"memo.txt"), "mine");
    EXPECT_EQ(List_Folder(gaps.Path()).size(), 33u);  // no scratch file or journal left
}

TEST(Copy_History, TextsTakenTogetherEndAsTakenOneByOneWithAScratchFileForTheKeptOnesOnly) {
    Temp_Folder one_by_one, together;
    std::vector<std::wstring> texts = Olds(1, 40);
    texts[35] = L" \r\n";  // blank among the newest: the thirty kept reach further back
    Text_History single, batch;
    single.Folder = one_by_one.Path();
    batch.Folder = together.Path();
    for (const std::wstring& text : texts) single.Add(text);
    EXPECT_TRUE(batch.Add_All(texts));
    EXPECT_EQ(batch.Rireki_Text_Count, single.Rireki_Text_Count);
    EXPECT_EQ(batch.Rireki_Text, single.Rireki_Text);
    EXPECT_EQ(batch.Rireki_Text[29], L"old 10");
    EXPECT_EQ(List_Folder(together.Path()).size(), 30u);  // one scratch file per kept text, none made and deleted
    EXPECT_FALSE(batch.Add_All({L"", L"\r\n"}));
}

TEST(Copy_History, AnUnreadablePictureIsMovedAsideOnceAndTheNumbersStayInPlace) {
    Temp_Folder folder;
    ASSERT_TRUE(Write_Bytes(folder / L"Pic00.bmp", "BM truncated"));
    ASSERT_TRUE(Write_Bytes(folder / L"Pic01.bmp", Encode_Bmp_File(Solid(40, 20, 0xFF0000))));
    Picture_History history;
    history.Folder = folder.Path();
    history.Thumbnail_Side = 10;
    history.Load();
    ASSERT_EQ(history.Rireki_Pic_Count, 0);
    EXPECT_EQ(history.Rireki_Pic[0].Thumbnail.Width, 10);
    EXPECT_EQ(history.Rireki_Pic[0].Thumbnail.Height, 5);
    const std::wstring aside = folder / L"Pic00_読めないファイル.bmp";
    EXPECT_EQ(history.Moved_Aside, std::vector<std::wstring>{aside});
    EXPECT_EQ(Read_Bytes(aside), "BM truncated");
    const std::string red = Read_Bytes(folder / L"Pic00.bmp");
    EXPECT_EQ(Decode_Bmp_File(red)->Width, 40);

    // A new picture waits in a scratch file; the save puts it first and the others after it.
    history.Add(Solid(3, 6, 0x00FF00));
    EXPECT_TRUE(history.Rireki_Pic_Dirty);
    EXPECT_EQ(history.Picture(0)->Pixels, Solid(3, 6, 0x00FF00).Pixels);
    history.Add(Bitmap_Image{0, 5, {}});  // no picture: not kept
    EXPECT_EQ(history.Rireki_Pic_Count, 1);
    ASSERT_TRUE(history.Write());
    EXPECT_EQ(Read_Bytes(folder / L"Pic00.bmp"), Encode_Bmp_File(Solid(3, 6, 0x00FF00)));
    EXPECT_EQ(Read_Bytes(folder / L"Pic01.bmp"), red);
    EXPECT_EQ(List_Folder(folder.Path()).size(), 3u);
    EXPECT_EQ(history.Picture(1)->Width, 40);
    history.Load();  // once: it is no history file any more
    EXPECT_TRUE(history.Moved_Aside.empty());
    EXPECT_EQ(history.Rireki_Pic_Count, 1);
}

TEST(Copy_History, ASaveEndedAtAnyStepLosesNoStoredEntry) {
    bool stopped = true;
    for (int steps = 0; stopped; ++steps) {
        SCOPED_TRACE(steps);
        // Pictures: three saved, two waiting; whatever step it stops at, the next start has all five.
        Temp_Folder pics;
        for (std::uint32_t c = 1; c <= 3; ++c)
            ASSERT_TRUE(Write_Bytes(pics / Rireki_File_Name(L"Pic", static_cast<int>(c) - 1, L".bmp"),
                                    Encode_Bmp_File(Solid(2, 2, c))));
        Picture_History history;
        history.Folder = pics.Path();
        history.Load();
        history.Add(Solid(2, 2, 4));
        history.Add(Solid(2, 2, 5));
        history.Store().Before_Step = Stop_After(steps, stopped);
        (void)history.Write();
        const bool pictures_stopped = stopped;
        EXPECT_EQ(Colours_Read(pics.Path()), (std::vector<std::uint32_t>{5, 4, 1, 2, 3}));

        // Texts: thirty saved, six new; the next start has the newest thirty in their order.
        Temp_Folder texts;
        Text_History t;
        t.Folder = texts.Path();
        t.Load();
        for (int i = 29; i >= 0; --i) t.Add(L"old " + std::to_wstring(i));
        ASSERT_TRUE(t.Write());
        for (int i = 1; i <= 6; ++i) t.Add(L"new " + std::to_wstring(i));
        t.Store().Before_Step = Stop_After(steps, stopped);
        (void)t.Write();
        std::vector<std::wstring> expected{L"new 6", L"new 5", L"new 4", L"new 3", L"new 2", L"new 1"};
        for (const std::wstring& old : Olds(0, 23)) expected.push_back(old);
        EXPECT_EQ(Texts_Read(texts.Path()), expected);
        stopped = stopped || pictures_stopped;
    }
}

TEST(Copy_History, HeldReplacedAndMissingFilesLoseNothingAndKeepTheirPlace) {
    // Pic02 removed during the run: the later pictures are saved all the same, in order.
    Temp_Folder pics;
    Picture_History history;
    history.Folder = pics.Path();
    history.Load();
    for (std::uint32_t c = 1; c <= 5; ++c) history.Add(Solid(1, 1, c));
    ASSERT_TRUE(history.Write());
    ASSERT_TRUE(DeleteFileW((pics / L"Pic02.bmp").c_str()));
    history.Add(Solid(1, 1, 6));
    history.Add(Solid(1, 1, 7));
    EXPECT_TRUE(history.Write());
    EXPECT_EQ(Colours_Read(pics.Path()), (std::vector<std::uint32_t>{7, 6, 5, 4, 2, 1}));

    // Text05 held open by another program: the save fails and changes nothing, the next start keeps
    // the held file in its place, and once it is closed the save puts everything in order.
    Temp_Folder texts;
    Text_History t;
    t.Folder = texts.Path();
    t.Load();
    for (int i = 9; i >= 0; --i) t.Add(L"old " + std::to_wstring(i));
    ASSERT_TRUE(t.Write());
    HANDLE held = CreateFileW((texts / L"Text05.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    t.Add(L"new");
    EXPECT_FALSE(t.Write());
    EXPECT_EQ(Read_Bytes(texts / L"Text00.txt"), "old 0");
    Text_History other;
    other.Folder = texts.Path();
    other.Load();
    EXPECT_EQ(other.Rireki_Text_Count, 10);
    EXPECT_EQ(other.Rireki_Text[0], L"new");
    other.Add(L"while held");
    EXPECT_FALSE(other.Write());
    CloseHandle(held);
    EXPECT_TRUE(other.Write());
    std::vector<std::wstring> expected{L"while held", L"new"};
    for (const std::wstring& old : Olds(0, 9)) expected.push_back(old);
    EXPECT_EQ(Texts_Read(texts.Path()), expected);

    // Text03 emptied by another program between two saves: written again from memory.
    ASSERT_TRUE(Write_Bytes(texts / L"Text03.txt", ""));
    other.Add(L"later");
    EXPECT_TRUE(other.Write());
    EXPECT_EQ(Read_Bytes(texts / L"Text04.txt"), "old 1");

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
    history.Load();
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
    void Record_Picture(Bitmap_Image picture) override { Picture_Widths.push_back(picture.Width); }
    std::vector<int> Picture_Widths;
    bool Text_History_Changed() override { return Text_Changed; }
    bool Picture_History_Changed() override { return Pictures_Changed; }
    void Write_Text_History() override { ++Text_Saves, Text_Changed = false; }
    void Write_Picture_History() override { ++Picture_Saves, Pictures_Changed = false; }
    Paste_Journal& Journal() override { return journal; }
    void Paste_Failed(const std::wstring&) override {}
    void Copies_Skipped(const std::wstring&) override {}
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

TEST(Copy_History, PicturesHeldAfterTheirPasteEnterItOldestFirstWithoutCountingAsNotPasted) {
    Clipboard_Capture capture;
    Saving_Host host;
    EXPECT_FALSE(capture.Landed_Due());
    for (int width : {1, 2})
        capture.Hold_Landed(std::make_shared<const Clipboard_Picture_Bytes>(Clipboard_Picture_Bytes{
            CF_DIB, Encode_Packed_Dib(Bitmap_Image{width, 1, std::vector<std::uint32_t>(width)})}));
    EXPECT_TRUE(capture.Landed_Due());  // no copy waits
    EXPECT_EQ(Keep_Waiting_Copies(capture, host), 0);
    EXPECT_EQ(host.Picture_Widths, (std::vector<int>{1, 2}));
    EXPECT_FALSE(capture.Landed_Due());
}
