#pragma once
// The cores kept busy as on a user's machine where a build, a browser or a video call runs beside the
// program: two processes that spin at normal priority, started by the benchmark and ended with it.
// Each is the benchmark's own program started with the argument "--spin".
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

class Busy_Load {
public:
    static constexpr int Processes = 2;

    // Call first in main: true when this process is one of the spinners (it never returns then).
    static bool Run_If_Spinner(int argc, char** argv) {
        if (argc < 2 || std::strcmp(argv[1], "--spin") != 0) return false;
        volatile unsigned long long n = 0;
        for (;;) {
            const unsigned long long next = n + 1;
            n = next;
        }
    }

    Busy_Load() {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        for (int i = 0; i < Processes; ++i) {
            std::wstring command = L"\"" + std::wstring(self) + L"\" --spin";
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION process{};
            if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                                nullptr, &startup, &process))
                continue;
            CloseHandle(process.hThread);
            processes_.push_back(process.hProcess);
        }
        Sleep(500);  // the spinners are running before anything is measured
    }
    Busy_Load(const Busy_Load&) = delete;
    Busy_Load& operator=(const Busy_Load&) = delete;
    ~Busy_Load() {
        for (HANDLE process : processes_) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }
    bool Running() const { return processes_.size() == Processes; }

private:
    std::vector<HANDLE> processes_;
};
