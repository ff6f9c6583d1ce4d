#include "clipboard.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "paste_state.h"

namespace {

void Put_Format(UINT format, const void* data, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
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
