#pragma once
// The same-run baseline of the copy benchmarks: a bare reader in the benchmark's process, on a thread
// of its own, that reads each clipboard change's text as soon as it hears of it and does nothing
// else. What it misses, the machine's load took before any reader could run.
#include <windows.h>

#include <atomic>
#include <cwchar>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class Bare_Reader {
public:
    Bare_Reader() : thread_([this] { Run(); }) {
        while (!ready_) Sleep(1);
    }
    Bare_Reader(const Bare_Reader&) = delete;
    Bare_Reader& operator=(const Bare_Reader&) = delete;
    ~Bare_Reader() {
        PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
        thread_.join();
    }
    // The distinct texts read with the prefix since the last call; read_at: when each was first read
    // (milliseconds of the performance counter).
    int Read_Since(const std::wstring& prefix, std::map<std::wstring, double>* read_at = nullptr) {
        std::lock_guard lock(mutex_);
        int count = 0;
        for (const auto& [text, at] : texts_) {
            if (text.rfind(prefix, 0) != 0) continue;
            ++count;
            if (read_at) read_at->emplace(text, at);
        }
        texts_.clear();
        return count;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_CLIPBOARDUPDATE) {
            auto* self = reinterpret_cast<Bare_Reader*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            for (int attempt = 0; attempt < 40 && !OpenClipboard(window); ++attempt) Sleep(1);
            std::wstring text;
            if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
                    text.assign(p, wcsnlen(p, GlobalSize(data) / sizeof(wchar_t)));
                    GlobalUnlock(data);
                }
            }
            CloseClipboard();
            LARGE_INTEGER now{}, frequency{};
            QueryPerformanceCounter(&now);
            QueryPerformanceFrequency(&frequency);
            std::lock_guard lock(self->mutex_);
            self->texts_.emplace(text,
                                 static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart));
            return 0;
        }
        return DefWindowProcW(window, message, wparam, lparam);
    }
    void Run() {
        thread_id_ = GetCurrentThreadId();
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BareReader";
        RegisterClassW(&wc);
        HWND window = CreateWindowExW(0, L"BareReader", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        AddClipboardFormatListener(window);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before the quit is posted
        ready_ = true;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        RemoveClipboardFormatListener(window);
        DestroyWindow(window);
    }

    std::mutex mutex_;
    std::map<std::wstring, double> texts_;
    DWORD thread_id_ = 0;
    std::atomic<bool> ready_{false};
    std::thread thread_;
};
