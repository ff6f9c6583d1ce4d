// Copy-to-cell latency of a paste run against the stand-in Excel, and the paste loop's CPU use while
// idle. Latency is measured from putting a text on the clipboard to the text appearing in the
// stand-in's state file; the baseline is the loop's own 200 ms wait, measured in this run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "clipboard_copy.h"
#include "driver.h"
#include "standin_protocol.h"
#include "temp_folder.h"
#include "test_files.h"
#include "wait.h"

namespace {

using Clock = std::chrono::steady_clock;

// Wine reports no CPU times for other processes, so they are read from the host's /proc, which
// Wine shows as Z:\proc. The program's host process is the one whose command line names its folder.
std::wstring Host_Proc_Entry(const std::wstring& folder_name) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &fd);
    if (find == INVALID_HANDLE_VALUE) return {};
    std::wstring found;
    do {
        const std::wstring name = fd.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        std::string cmdline = Read_Bytes(L"Z:\\proc\\" + name + L"\\cmdline");
        const std::string folder(folder_name.begin(), folder_name.end());
        if (cmdline.find("CellDrop.exe") != std::string::npos && cmdline.find(folder) != std::string::npos) found = name;
    } while (found.empty() && FindNextFileW(find, &fd));
    FindClose(find);
    return found;
}

// User plus system CPU seconds of a host process (clock ticks of 1/100 s).
double Host_Cpu_Seconds(const std::wstring& proc_entry) {
    const std::string stat = Read_Bytes(L"Z:\\proc\\" + proc_entry + L"\\stat");
    std::size_t at = stat.rfind(')');
    if (at == std::string::npos) return -1;
    // Fields after the name: state is field 3; utime and stime are fields 14 and 15.
    std::vector<std::string> fields;
    std::string field;
    for (char c : stat.substr(at + 2)) {
        if (c == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    if (fields.size() < 13) return -1;
    return (std::stod(fields[11]) + std::stod(fields[12])) / 100.0;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

}  // namespace

int main() {
    Temp_Folder folder;
    const std::wstring state_file = folder / L"standin_state.json";
    SetEnvironmentVariableW(standin::State_Variable, state_file.c_str());
    // Move down after each paste, so every copy gets a cell of its own.
    Write_Bytes(folder / L"Para2_1.txt", " 1\r\n 0\r\n 0\r\n 0\r\n");

    auto app = App_Process::Start(Wine_Path(CELLDROP_EXE), folder.Path());
    if (!app) return 1;
    HWND main = app->Wait_For_Main_Window(L"Excelへの貼付コントロール", 30000);
    HWND start = main ? Find_Control(main, 1900) : nullptr;
    if (!start || !Wait_Until([&] { return Is_Enabled(start); }, 30000) || !Click(start)) return 1;
    const auto box = Wait_For_Message_Box(app->Pid(), 30000);
    if (!box || !Answer_Message_Box(*box)) return 1;
    if (!Wait_Until([&] { return Read_Bytes(state_file).find("Book1") != std::string::npos; }, 30000)) return 1;

    constexpr int copies = 200;
    std::vector<double> latencies;
    for (int i = 0; i < copies; ++i) {
        const std::wstring text = L"copy" + std::to_wstring(i);
        const std::string marker = "\"copy" + std::to_string(i) + "\"";
        const auto t0 = Clock::now();
        if (!Copy_Text(text)) return 1;
        while (Read_Bytes(state_file).find(marker) == std::string::npos) {
            if (Clock::now() - t0 > std::chrono::seconds(10)) {
                std::printf("copy %d did not arrive\n", i);
                return 1;
            }
            Sleep(2);
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }

    // The loop's own pace, measured the way the loop waits.
    std::vector<double> waits;
    for (int i = 0; i < 10; ++i) {
        const auto t0 = Clock::now();
        Wait_Time(200);
        waits.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    const double baseline = Percentile(waits, 0.5);
    const double p50 = Percentile(latencies, 0.5), p99 = Percentile(latencies, 0.99);
    std::printf("copy-to-cell latency over %d copies: p50 %.0f ms (%.2fx the 200 ms wait), p99 %.0f ms (%.2fx)\n", copies,
                p50, p50 / baseline, p99, p99 / baseline);

    const std::wstring folder_name = folder.Path().substr(folder.Path().find_last_of(L'\\') + 1);
    const std::wstring entry = Host_Proc_Entry(folder_name);
    if (entry.empty()) {
        std::printf("idle paste loop: the program's host process was not found\n");
    } else {
        const double cpu0 = Host_Cpu_Seconds(entry);
        const auto t0 = Clock::now();
        Sleep(40000);  // idle on purpose: the figure is the loop's CPU use while nothing is copied
        const double cpu = Host_Cpu_Seconds(entry) - cpu0;
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        std::printf("idle paste loop: %.2f %% of one core over %.0f s (goal 0.2 %%)\n", 100.0 * cpu / wall, wall);
    }

    if (HWND excel = FindWindowW(standin::Window_Class, nullptr)) {
        COPYDATASTRUCT quit{standin::Quit, 0, nullptr};
        DWORD_PTR r = 0;
        SendMessageTimeoutW(excel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&quit), SMTO_ABORTIFHUNG, 5000, &r);
    }
    return 0;
}
