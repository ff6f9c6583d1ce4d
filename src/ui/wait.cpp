#include "wait.h"

#include <windows.h>

#include <chrono>

#include "message_pump.h"

void Sleep_Ms(std::int32_t milliseconds) { Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0); }

void Wait_Time(std::int32_t milliseconds) { (void)Wait_Time_Until(milliseconds, nullptr); }

bool Wait_Time_Until(std::int32_t milliseconds, const std::function<bool()>& done) {
    if (milliseconds <= 0) return false;
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(milliseconds);
    while (true) {
        Do_Events();
        if (done && done()) return true;
        const auto now = clock::now();
        if (now >= deadline) return false;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        // Wakes at the deadline or as soon as a message arrives for this thread.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}
