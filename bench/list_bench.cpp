// What a long quick list costs: CellDrop.exe started with a file list (Para1_2.txt) of 30,000 lines
// against the same program with one of 30 lines, in the same run. Two figures each: start-up (process
// start to the start button enabled) and run start (the start button pressed to the start message).
// Measured idle and with every core kept busy by two spinning processes. Goal: the long list costs each at
// most 3x the short one.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "busy_load.h"
#include "driver.h"
#include "temp_folder.h"
#include "test_files.h"

namespace {

struct Sample {
    double Start_Up = -1;
    double Run_Start = -1;
};

double Since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// One start of the program with a file list of that many lines, then the start of a paste run.
Sample Measure(int lines) {
    Sample s;
    Temp_Folder folder;
    CreateDirectoryW((folder.Path() + L"\\Para").c_str(), nullptr);
    std::string list;
    list.reserve(static_cast<std::size_t>(lines) * 40);
    for (int i = 0; i < lines; ++i) list += "資料フォルダー\\報告書_" + std::to_string(i) + ".xlsx\r\n";
    if (!Write_Bytes(folder.Path() + L"\\Para\\Para1_2.txt", list)) return s;

    const auto start = std::chrono::steady_clock::now();
    auto app = App_Process::Start(Wine_Path(CELLDROP_EXE), folder.Path());
    if (!app) return s;
    HWND main = app->Wait_For_Main_Window(L"Excelへの貼付コントロール", 600000);
    HWND button = main ? Find_Control(main, 1900) : nullptr;
    if (!button || !Wait_Until([&] { return Is_Enabled(button); }, 600000)) return s;
    s.Start_Up = Since(start);

    const auto pressed = std::chrono::steady_clock::now();
    if (!Click(button)) return s;
    const auto box = Wait_For_Message_Box(app->Pid(), 600000);
    if (!box) return s;
    s.Run_Start = Since(pressed);
    (void)Answer_Message_Box(*box);
    // The end button: the run ends and closes its workbook's Excel as it does for a user.
    if (HWND end = Find_Control(main, 1000 + 4)) (void)Click(end);
    (void)Wait_Until([&] { return Is_Enabled(button); }, 60000);
    (void)Close_Window(main);
    (void)app->Wait_For_Exit(30000);
    return s;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

bool Report(const char* setting, int runs) {
    std::vector<double> short_up, short_run, long_up, long_run;
    for (int i = 0; i < runs; ++i) {
        const Sample a = Measure(30);
        const Sample b = Measure(30000);
        if (a.Start_Up < 0 || a.Run_Start < 0 || b.Start_Up < 0 || b.Run_Start < 0) {
            std::printf("%s: a run failed (30 lines: %.2f s / %.2f s, 30,000 lines: %.2f s / %.2f s)\n", setting,
                        a.Start_Up, a.Run_Start, b.Start_Up, b.Run_Start);
            return false;
        }
        std::printf("%s, run %d: 30 lines %.3f s / %.3f s, 30,000 lines %.3f s / %.3f s\n", setting, i + 1, a.Start_Up,
                    a.Run_Start, b.Start_Up, b.Run_Start);
        std::fflush(stdout);
        short_up.push_back(a.Start_Up);
        short_run.push_back(a.Run_Start);
        long_up.push_back(b.Start_Up);
        long_run.push_back(b.Run_Start);
    }
    const double su = Median(short_up), sr = Median(short_run), lu = Median(long_up), lr = Median(long_run);
    std::printf("%s, median of %d: start-up %.3f s with 30,000 lines vs %.3f s with 30: ratio %.2fx (goal <= 3x: %s)\n",
                setting, runs, lu, su, lu / su, lu / su <= 3 ? "met" : "missed");
    std::printf(
        "%s, median of %d: run start %.3f s with 30,000 lines vs %.3f s with 30: ratio %.2fx (goal <= 3x: %s)\n",
        setting, runs, lr, sr, lr / sr, lr / sr <= 3 ? "met" : "missed");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (Busy_Load::Run_If_Spinner(argc, argv)) return 0;
    constexpr int runs = 3;
    bool ok = Report("idle", runs);
    {
        const Busy_Load busy;
        if (!busy.Running()) {
            std::printf("the busy processes did not start\n");
            return 1;
        }
        ok = Report("cores busy", runs) && ok;
    }
    return ok ? 0 : 1;
}
