// The ground every other test stands on: a Japanese Windows code page, a display that takes windows,
// and a working clipboard.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

TEST(Harness, AnsiCodePageIsJapanese) { EXPECT_EQ(GetACP(), 932u); }

TEST(Harness, WindowCanBeCreatedShownAndDestroyed) {
    HWND h = CreateWindowExW(0, L"STATIC", L"Excelへの貼付コントロール", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(h, nullptr);
    ShowWindow(h, SW_SHOW);
    wchar_t caption[64] = {};
    GetWindowTextW(h, caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Excelへの貼付コントロール");
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_TRUE(DestroyWindow(h));
    EXPECT_FALSE(IsWindow(h));
}

TEST(Harness, ClipboardTextRoundTrip) {
    const std::wstring text = L"貼付テスト 123";
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    ASSERT_NE(mem, nullptr);
    memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(mem);
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, mem), nullptr);
    CloseClipboard();

    ASSERT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    const std::wstring back = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(back, text);
}
