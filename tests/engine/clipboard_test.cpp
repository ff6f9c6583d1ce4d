#include "clipboard.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "clipboard_capture.h"
#include "clipboard_copy.h"
#include "paste_state.h"
#include "png_picture.h"

namespace {

void Put_Format(UINT format, const void* data, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
}

// The capture thread takes each copy on its own: polled with a deadline.
template <class Done>
bool Soon(Done done) {
    for (const ULONGLONG deadline = GetTickCount64() + 5000; GetTickCount64() < deadline; Sleep(1))
        if (done()) return true;
    return false;
}

}  // namespace

TEST(Clipboard, TextRoundTripAndClear) {
    ASSERT_TRUE(Clipboard_Set_Text(L"貼付 😀\r\n2行目"));
    const Clipboard_Snapshot s = Clipboard_Read();
    EXPECT_TRUE(s.Has_Content);
    EXPECT_TRUE(s.Has_Text);
    EXPECT_FALSE(s.Has_Picture);
    EXPECT_FALSE(s.Private);
    EXPECT_EQ(s.Text, L"貼付 😀\r\n2行目");

    Clip_State state;
    state.Clip_Text_Last = L"old";
    Excel_ツール_CellDrop2_Clear(state);
    EXPECT_EQ(state.Clip_Text_Last, L"");
    EXPECT_FALSE(Clipboard_Read().Has_Content);
}

TEST(Clipboard, OnlyRegisteredFormatsCountAsNothing) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const char data[] = "x";
    Put_Format(RegisterClipboardFormatW(L"CellDrop Test Format"), data, sizeof data);
    CloseClipboard();
    EXPECT_FALSE(Clipboard_Read().Has_Content);
}

TEST(Clipboard, PrivateCopiesAreMarked) {
    for (const wchar_t* marker : {L"ExcludeClipboardContentFromMonitorProcessing", L"CanIncludeInClipboardHistory"}) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        Put_Format(CF_UNICODETEXT, L"password", sizeof L"password");
        const DWORD zero = 0;
        Put_Format(RegisterClipboardFormatW(marker), &zero, sizeof zero);
        CloseClipboard();
        Clip_State state;
        const Clipboard_Snapshot s = Excel_ツール_CellDrop2_GetData(state);
        EXPECT_TRUE(s.Private);
        EXPECT_EQ(state.Clip_Text, L"");
    }
    // "May go into the history" (1) is no private copy.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    Put_Format(CF_UNICODETEXT, L"ok", sizeof L"ok");
    const DWORD one = 1;
    Put_Format(RegisterClipboardFormatW(L"CanIncludeInClipboardHistory"), &one, sizeof one);
    CloseClipboard();
    EXPECT_FALSE(Clipboard_Read().Private);
}

// A version 5 bitmap of two pixels with an alpha mask: a transparent one, then an opaque 0x123456.
static std::string Two_Pixel_Version5_Dib() {
    BITMAPV5HEADER v5{};
    v5.bV5Size = sizeof v5;
    v5.bV5Width = 2;
    v5.bV5Height = 1;
    v5.bV5Planes = 1;
    v5.bV5BitCount = 32;
    v5.bV5Compression = BI_BITFIELDS;
    v5.bV5RedMask = 0xFF0000, v5.bV5GreenMask = 0xFF00, v5.bV5BlueMask = 0xFF, v5.bV5AlphaMask = 0xFF000000;
    std::string dib(reinterpret_cast<const char*>(&v5), sizeof v5);
    const DWORD pixels[2] = {0x00000000, 0xFF123456};
    dib.append(reinterpret_cast<const char*>(pixels), sizeof pixels);
    return dib;
}

// A screenshot tool's copy: a version 5 bitmap with an alpha mask, beside the plain DIB made from it
// without its alpha. The transparent pixel is white, as on a sheet.
TEST(Clipboard, AVersion5BitmapKeepsItsTransparency) {
    const std::string dib = Two_Pixel_Version5_Dib();
    std::string plain = Encode_Packed_Dib(Bitmap_Image{2, 1, {0x000000, 0x123456}});
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    Put_Format(CF_DIB, plain.data(), plain.size());
    Put_Format(CF_DIBV5, dib.data(), dib.size());
    CloseClipboard();
    const auto picture = Clipboard_Read_Picture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0x123456}));
    EXPECT_TRUE(Clipboard_Read().Has_Picture);
}

// The copier's own bitmap is read as it is, never the one Windows makes from it on request; both hold
// the same picture, transparency included.
TEST(Clipboard, TheCopiersOwnBitmapIsRead) {
    const Bitmap_Image image{2, 1, {0x000000, 0x123456}};
    for (const UINT put : {UINT{CF_DIB}, UINT{CF_DIBV5}}) {
        std::string dib = Encode_Packed_Dib(image);
        if (put == CF_DIBV5) {
            dib = Two_Pixel_Version5_Dib();
        }
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        Put_Format(put, dib.data(), dib.size());
        CloseClipboard();
        Clipboard_Copy copy = Clipboard_Read_Copy(true, false);
        ASSERT_TRUE(copy.Picture_Bytes) << put;
        EXPECT_EQ(copy.Picture_Bytes->Format, put);
        EXPECT_EQ(copy.Picture_Bytes->Bytes.substr(0, dib.size()), dib);
        const std::optional<Bitmap_Image> picture = Decode_Picture_Bytes(*copy.Picture_Bytes);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->Pixels, Clipboard_Read_Picture()->Pixels);
        EXPECT_EQ(picture->Pixels[1], 0x123456u);
    }
}

// A program that has the clipboard open while CellDrop reads and writes keeps it: its copy goes
// through, and CellDrop's read is reported busy instead of taking the clipboard from it.
TEST(Clipboard, AProgramHoldingTheClipboardOpenKeepsIt) {
    ASSERT_TRUE(Clipboard_Set_Text(L"before"));
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE read = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    struct Copier {
        HANDLE opened, read;
        bool emptied = false, set = false;
    } copier{opened, read};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto& c = *static_cast<Copier*>(p);
            if (!OpenClipboard(nullptr)) return SetEvent(c.opened), 1;
            SetEvent(c.opened);
            WaitForSingleObject(c.read, 10000);
            c.emptied = EmptyClipboard() != FALSE;
            const wchar_t text[] = L"after";
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
            std::memcpy(GlobalLock(memory), text, sizeof text);
            GlobalUnlock(memory);
            c.set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            if (!c.set) GlobalFree(memory);
            CloseClipboard();
            return 0;
        },
        &copier, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(opened, 10000), WAIT_OBJECT_0);
    const Clipboard_Copy during = Clipboard_Read_Copy();
    const bool written = Clipboard_Set_Text(L"ours");
    SetEvent(read);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(during.Snapshot.Busy);
    EXPECT_FALSE(written);
    EXPECT_TRUE(copier.emptied);
    EXPECT_TRUE(copier.set);
    EXPECT_EQ(Clipboard_Read().Text, L"after");
    for (HANDLE h : {thread, opened, read}) CloseHandle(h);
}

TEST(Clipboard, CaptureQueuesEveryNewCopyAndLetsTheOldestWaitingGoWhenFull) {
    // A queue of twenty: the program's ten thousand would take long to fill.
    constexpr std::size_t Max_Copies = 20;
    Clipboard_Capture capture(Max_Copies);
    ASSERT_TRUE(capture.Start(nullptr));
    std::vector<Captured_Copy> skipped;
    const auto skipped_one = [&] { return Soon([&] { return !(skipped = capture.Take_Skipped()).empty(); }); };
    capture.Mark_Next(Copy_Source::Fixed);  // the first copy is the program's own
    for (std::size_t i = 0; i <= Max_Copies; ++i) {
        ASSERT_TRUE(Clipboard_Set_Text(L"copy " + std::to_wstring(i)));
        ASSERT_TRUE(Soon([&] { return capture.Size() == std::min(i + 1, Max_Copies); }))
            << "copy " << i << ", " << capture.Size() << " queued";
    }
    ASSERT_TRUE(skipped_one());
    EXPECT_EQ(*skipped[0].Text, L"copy 0");
    EXPECT_EQ(skipped[0].Paste_Source, Copy_Source::Fixed);

    // The copy in hand is out of the queue: the next overflow lets the oldest waiting one go.
    const std::optional<Captured_Copy> in_hand = capture.Take_Oldest();
    ASSERT_TRUE(in_hand);
    EXPECT_EQ(*in_hand->Text, L"copy 1");
    EXPECT_EQ(in_hand->Paste_Source, Copy_Source::User);
    // Written by the program: never queued.
    {
        Clipboard_Capture::Own_Write own(capture);
        ASSERT_TRUE(Clipboard_Set_Text(L"own"));
        own.Written();
    }
    // Each copy read before the next replaces it: two copies with no time between them can be one.
    ASSERT_TRUE(Clipboard_Set_Text(L"last"));
    ASSERT_TRUE(Soon([&] { return capture.Size() == Max_Copies; }));
    ASSERT_TRUE(Clipboard_Set_Text(L"more"));
    ASSERT_TRUE(skipped_one());
    EXPECT_EQ(*skipped[0].Text, L"copy 2");
    const std::vector<Captured_Copy> waiting = capture.Take_Waiting();
    ASSERT_EQ(waiting.size(), Max_Copies);
    EXPECT_EQ(*waiting[waiting.size() - 2].Text, L"last");
    EXPECT_EQ(*waiting[waiting.size() - 3].Text, L"copy " + std::to_wstring(Max_Copies));
    EXPECT_EQ(capture.Size(), 0u);
    capture.Stop();
}

TEST(Clipboard, ACopyIsTakenAtOnceAndAChangeThatOnlyCompletesItAddsOnlyWhatIsNew) {
    // A settling time no machine's delay reaches, so that what is checked is the rule, not a speed.
    Clipboard_Capture capture(Clipboard_Capture::Max_Copies, Clipboard_Capture::Max_Picture_Bytes, 600000);
    ASSERT_TRUE(capture.Start(nullptr));
    const auto read = [&] { return Soon([&] { return capture.Has_Read_Current(); }); };
    ASSERT_TRUE(Clipboard_Set_Text(L"x"));
    ASSERT_TRUE(Soon([&] { return capture.Size() == 1; }));
    // No settling wait: the copy can be had the moment it is queued.
    const std::optional<Captured_Copy> first = capture.Take_Oldest();
    ASSERT_TRUE(first);
    EXPECT_EQ(*first->Text, L"x");
    // The same copy written again is nothing new; completed with a picture, only the picture is.
    ASSERT_TRUE(Clipboard_Set_Text(L"x"));
    ASSERT_TRUE(read());
    EXPECT_EQ(capture.Size(), 0u);
    ASSERT_TRUE(Copy_Text_And_Picture(L"x", 4, 3));
    ASSERT_TRUE(Soon([&] { return capture.Size() == 1; }));
    const std::optional<Captured_Copy> completed = capture.Take_Oldest();
    ASSERT_TRUE(completed && completed->Picture);
    EXPECT_TRUE(completed->Text_Done);
    EXPECT_EQ(Decode_Picture_Bytes(*completed->Picture)->Width, 4);
    // Once the loop has that, the same picture again is nothing new either; another text is a copy.
    ASSERT_TRUE(Copy_Text_And_Picture(L"x", 4, 3));
    ASSERT_TRUE(read());
    EXPECT_EQ(capture.Size(), 0u);
    // Emptied by the program after its paste, the clipboard no longer holds that copy: the same
    // picture copied again at once is a copy of its own, text and all.
    Clip_State clip;
    ASSERT_TRUE(Excel_ツール_CellDrop2_Clear(clip, Clipboard_Sequence()));
    capture.Forget_Handed_Out();
    ASSERT_TRUE(Copy_Text_And_Picture(L"x", 4, 3));
    ASSERT_TRUE(Soon([&] { return capture.Size() == 1; }));
    const std::optional<Captured_Copy> again = capture.Take_Oldest();
    ASSERT_TRUE(again && again->Picture);
    EXPECT_FALSE(again->Text_Done);
    ASSERT_TRUE(Clipboard_Set_Text(L"y"));
    ASSERT_TRUE(Soon([&] { return capture.Size() == 1; }));
    EXPECT_FALSE(capture.Take_Oldest()->Text_Done);
    // A copy another program made while the program was about to write (whose write was then not
    // made) is a copy like any other, not the program's own.
    {
        Clipboard_Capture::Own_Write own(capture);
        ASSERT_TRUE(Clipboard_Set_Text(L"raced"));
    }
    ASSERT_TRUE(Soon([&] { return capture.Size() == 1; }));
    EXPECT_EQ(*capture.Take_Oldest()->Text, L"raced");
    capture.Stop();
}

// A picture keeps the bytes it was copied in until it has landed. Only one offered as "PNG" alone is
// decoded at once, for its put-back as a bitmap: when it cannot be decoded the copy is its text alone.
// A bitmap 0 pixels wide has nothing to paste; a damaged one is pasted from the clipboard but never kept.
TEST(Clipboard, ACopysPictureIsReadiedForItsPasteWithoutDecodingABitmap) {
    const auto readied = [](bool png_only, UINT format, std::string bytes) {
        Clipboard_Copy copy;
        copy.Snapshot.Has_Text = copy.Snapshot.Has_Picture = true;
        copy.Snapshot.Png_Only = png_only;
        copy.Picture_Bytes = Clipboard_Picture_Bytes{format, std::move(bytes)};
        Ready_Copy_Picture(copy);
        return copy;
    };
    const UINT png = RegisterClipboardFormatW(L"PNG");
    const Clipboard_Copy undecodable = readied(true, png, "\x89PNG\r\n\x1a\n damaged");
    EXPECT_FALSE(undecodable.Snapshot.Has_Picture);
    EXPECT_FALSE(undecodable.Picture_Bytes);
    const Clipboard_Copy decoded = readied(true, png, clipboard_copy::Png_File(3, 2));
    ASSERT_TRUE(decoded.Snapshot.Has_Picture && decoded.Picture_Bytes);
    EXPECT_EQ(decoded.Picture_Bytes->Format, static_cast<UINT>(CF_DIB));
    EXPECT_EQ(Decode_Picture_Bytes(*decoded.Picture_Bytes)->Pixels, Decode_Png(clipboard_copy::Png_File(3, 2))->Pixels);

    const std::string dib = Encode_Packed_Dib(Bitmap_Image{2, 1, {0x000000, 0x123456}});
    EXPECT_EQ(readied(false, CF_DIB, dib).Picture_Bytes->Bytes, dib);
    std::string empty = dib;
    std::memset(empty.data() + 4, 0, 4);  // 0 pixels wide
    EXPECT_FALSE(readied(false, CF_DIB, empty).Snapshot.Has_Picture);
    const Clipboard_Copy damaged = readied(false, CF_DIB, dib.substr(0, dib.size() - 4));
    EXPECT_TRUE(damaged.Snapshot.Has_Picture);
    EXPECT_FALSE(damaged.Picture_Bytes);
}

// A change that may only complete the copy before it: the same picture is nothing new, whether in the
// same bytes or in others (another depth); a different picture of the same size is a copy of its own.
TEST(Clipboard, ARecopiedPictureIsToldByItsPixelsNotByItsBytes) {
    Clipboard_Capture capture(Clipboard_Capture::Max_Copies, Clipboard_Capture::Max_Picture_Bytes, 600000);
    ASSERT_TRUE(capture.Start(nullptr));
    const auto copy = [](const std::string& dib) {
        return clipboard_copy::Put(
            {{CF_UNICODETEXT, clipboard_copy::Text_Block(L"x")},
             {CF_DIB, clipboard_copy::Block(dib.size(), [&](void* p) { std::memcpy(p, dib.data(), dib.size()); })}});
    };
    const Bitmap_Image picture{2, 1, {0x000000, 0x123456}};
    ASSERT_TRUE(copy(Encode_Packed_Dib(picture)));
    ASSERT_TRUE(Soon([&] { return capture.Size() == 1; }));
    ASSERT_TRUE(capture.Take_Oldest());
    for (const bool same_bytes : {true, false}) {
        std::string again = Encode_Packed_Dib(picture);
        if (!same_bytes) {
            // The same two pixels as 32-bit rows.
            again[14] = 32;
            again.resize(40);
            for (const std::uint32_t pixel : picture.Pixels) again.append(reinterpret_cast<const char*>(&pixel), 4);
        }
        ASSERT_TRUE(copy(again));
        ASSERT_TRUE(Soon([&] { return capture.Has_Read_Current(); }));
    }
    // Sorted in turn: once the different picture waits, the two before it were dropped.
    const Bitmap_Image other{2, 1, {0x000000, 0x654321}};
    ASSERT_TRUE(copy(Encode_Packed_Dib(other)));
    ASSERT_TRUE(Soon([&] { return capture.Size() > 0; }));
    EXPECT_EQ(capture.Size(), 1u);
    const std::optional<Captured_Copy> different = capture.Take_Oldest();
    ASSERT_TRUE(different && different->Picture);
    EXPECT_EQ(Decode_Picture_Bytes(*different->Picture)->Pixels, other.Pixels);
    capture.Stop();
}
