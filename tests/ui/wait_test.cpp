#include "wait.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>

#include "message_pump.h"

namespace {

int g_handled = 0;

LRESULT CALLBACK Counting_Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_APP) {
        ++g_handled;
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

// A hidden message-only window that counts the WM_APP messages it receives.
class Counting_Window {
public:
    Counting_Window() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Counting_Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CellDropWaitTest";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        g_handled = 0;
    }
    ~Counting_Window() { DestroyWindow(hwnd_); }
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

}  // namespace

TEST(Wait, WaitTimeLetsMessagesRunAndTakesTheTime) {
    Counting_Window w;
    ASSERT_NE(w.Get(), nullptr);
    PostMessageW(w.Get(), WM_APP, 0, 0);
    const auto start = std::chrono::steady_clock::now();
    Wait_Time(120);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(g_handled, 1);
    EXPECT_GE(waited, std::chrono::milliseconds(120));
}

TEST(Wait, MessagePostedDuringTheWaitIsHandled) {
    Counting_Window w;
    // A timer message arrives only while the wait is under way.
    SetTimer(w.Get(), 1, 20, [](HWND h, UINT, UINT_PTR id, DWORD) {
        KillTimer(h, id);
        PostMessageW(h, WM_APP, 0, 0);
    });
    Wait_Time(300);
    EXPECT_EQ(g_handled, 1);
}

TEST(Wait, SleepAndZeroWaitLeaveMessagesQueued) {
    Counting_Window w;
    PostMessageW(w.Get(), WM_APP, 0, 0);
    Sleep_Ms(10);
    Wait_Time(0);
    Wait_Time(-5);
    EXPECT_EQ(g_handled, 0);
    Do_Events();
    EXPECT_EQ(g_handled, 1);
}
