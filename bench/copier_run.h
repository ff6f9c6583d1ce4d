#pragma once
// The copier program (clipboard_copier) run to its end by a benchmark.
#include <windows.h>

#include <string>

#include "driver.h"

// Count copies "<prefix>0".. on a fixed schedule gap_ms apart; false when it could not be run.
inline bool Run_Copier(const std::wstring& prefix, int count, int gap_ms) {
    std::wstring command = L"\"" + Wine_Path(CLIPBOARD_COPIER_EXE) + L"\" " + prefix + L" " + std::to_wstring(count) +
                           L" " + std::to_wstring(gap_ms);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    const bool ended = WaitForSingleObject(process.hProcess, 600000) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}
