// Telling a copy made in Excel: a range is its text alone, a chart or picture Excel owns is read when
// Excel makes it, and a busy Excel never holds the reader.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "clipboard_copy.h"
#include "clipboard_origin.h"

namespace {

// A window of Excel's main class on a thread of its own, owning the copies it puts on the clipboard.
// The picture is promised only (delayed rendering) and made when a reader asks, as Excel does, unless
// the thread is held busy.
class Excel_Owner {
public:
    Excel_Owner() {
        thread_ = std::thread([this] { Run(); });
        WaitForSingleObject(ready_, INFINITE);
    }
    ~Excel_Owner() {
        SetEvent(release_);
        PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_.join();
        CloseHandle(ready_);
        CloseHandle(busy_);
        CloseHandle(release_);
    }
    // Puts the formats on the clipboard as the owner; text may be empty (no text offered).
    void Copy(const std::wstring& text, bool range_formats) {
        text_ = text;
        range_formats_ = range_formats;
        SendMessageW(window_, WM_APP, 0, 0);
    }
    // The owner stops answering until Release.
    void Hold_Busy() {
        PostMessageW(window_, WM_APP + 1, 0, 0);
        WaitForSingleObject(busy_, INFINITE);
    }
    void Release() { SetEvent(release_); }
    int Pictures_Made() const { return made_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<Excel_Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
            case WM_APP:
                // Another reader may hold the clipboard for a moment.
                for (int tries = 0; tries < 200 && !OpenClipboard(window); ++tries) Sleep(5);
                if (GetOpenClipboardWindow() == window) {
                    EmptyClipboard();
                    if (self->range_formats_)
                        SetClipboardData(RegisterClipboardFormatW(L"XML Spreadsheet"),
                                         clipboard_copy::Block(4, [](void* p) { memcpy(p, "<x/>", 4); }));
                    if (!self->text_.empty()) SetClipboardData(CF_UNICODETEXT, clipboard_copy::Text_Block(self->text_));
                    SetClipboardData(CF_DIB, nullptr);
                    CloseClipboard();
                }
                return 0;
            case WM_APP + 1:
                SetEvent(self->busy_);
                WaitForSingleObject(self->release_, INFINITE);
                return 0;
            case WM_RENDERFORMAT:
                if (w == CF_DIB && SetClipboardData(CF_DIB, clipboard_copy::Picture_Block(4, 3))) ++self->made_;
                return 0;
            case WM_RENDERALLFORMATS:
            case WM_DESTROYCLIPBOARD:
                return 0;
            case WM_CLOSE:
                DestroyWindow(window);
                PostQuitMessage(0);
                return 0;
        }
        return DefWindowProcW(window, message, w, l);
    }

    void Run() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"XLMAIN";
        RegisterClassW(&wc);
        window_ = CreateWindowW(L"XLMAIN", L"Excel", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetEvent(ready_);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }

    std::thread thread_;
    HWND window_ = nullptr;
    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE busy_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE release_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::wstring text_;
    bool range_formats_ = false;
    std::atomic<int> made_{0};
};

}  // namespace

TEST(Clipboard_Origin, ARangeIsItsTextAloneAndAnExcelPictureIsReadWhenExcelMakesIt) {
    Excel_Owner excel;
    const std::atomic<bool> go_on{false};

    // A range: its cells' text without the line break Excel ends the last row with, and not the picture
    // Excel would make of the same cells.
    excel.Copy(L"a\tb\r\nc\td\r\n", true);
    Clipboard_Copy range = Clipboard_Read_Any_Copy(go_on);
    EXPECT_FALSE(range.Not_Rendered);
    EXPECT_EQ(range.Snapshot.Text, L"a\tb\r\nc\td");
    EXPECT_FALSE(range.Picture_Bytes);

    // A chart: no text, owned by Excel, its picture made on Excel's thread when read.
    excel.Copy(L"", false);
    Clipboard_Copy chart = Clipboard_Read_Any_Copy(go_on);
    EXPECT_FALSE(chart.Not_Rendered);
    ASSERT_TRUE(chart.Picture_Bytes);
    EXPECT_EQ(chart.Picture_Bytes->Format, static_cast<UINT>(CF_DIB));
    // (Wine's own clipboard bridge may ask for a promised format too: at least this read made one.)
    EXPECT_GE(excel.Pictures_Made(), 1);

    // A text Excel owns without its range formats (a cell being edited) is read as any copy, picture too.
    excel.Copy(L"in cell", false);
    Clipboard_Copy edited = Clipboard_Read_Any_Copy(go_on);
    EXPECT_EQ(edited.Snapshot.Text, L"in cell");
    EXPECT_TRUE(edited.Picture_Bytes);
}

TEST(Clipboard_Origin, ABusyExcelIsGivenUpWithoutHoldingTheReader) {
    Excel_Owner excel;
    excel.Copy(L"", false);
    excel.Hold_Busy();
    // Asked to stop (the run ends): the reader returns at once, nothing read, however long Excel takes.
    const std::atomic<bool> stop{true};
    const Clipboard_Copy copy = Clipboard_Read_Any_Copy(stop);
    EXPECT_TRUE(copy.Not_Rendered);
    EXPECT_FALSE(copy.Picture_Bytes);
    excel.Release();
}
