// Copy-to-shape latency of a picture paste run against the stand-in Excel, fitted to the cell
// ("セルに収まる大きさ"): full-HD and 4K screenshots on an almost empty sheet and again on a sheet of
// 200 pictures, so that the cost of a paste is seen not to grow with the pictures already there. The
// baseline, measured in the same run, is a small picture on the almost empty sheet.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_paste_run.h"
#include "clipboard_copy.h"
#include "driver.h"
#include "standin_protocol.h"
#include "temp_folder.h"
#include "test_files.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double Cell_Height = 18.75;  // points: every picture here is wider than the cell's shape

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

class Picture_Run {
public:
    Picture_Run(std::wstring state_file, std::wstring log_file)
        : state_file_(std::move(state_file)), log_file_(std::move(log_file)) {}

    // One copy of a picture of that size, from the copy to its shape fitted on the sheet; the pass is
    // over (the clipboard emptied, the active cell moved) before it returns. Negative on a timeout.
    double Paste(int width, int height) {
        HGLOBAL block = clipboard_copy::Picture_Block(width, height);  // made before the clock starts
        const std::size_t calls_before = Count(Read_Bytes(log_file_), "\n");
        const auto t0 = Clock::now();
        if (!clipboard_copy::Put({{CF_DIB, block}})) return -1;
        const std::size_t expected = shapes_ + 1;
        double landed = -1;
        const auto deadline = t0 + std::chrono::seconds(30);
        while (Clock::now() < deadline) {
            const std::string state = Read_Bytes(state_file_);
            if (landed < 0 && Count(state, R"("kind":"picture")") == expected && Last_Height(state) < Cell_Height + 0.01)
                landed = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            if (landed >= 0 && CountClipboardFormats() == 0 &&
                state.find("\"activeCell\":\"A" + std::to_string(expected + 1) + "\"") != std::string::npos)
                break;
            Sleep(10);
        }
        shapes_ = expected;
        last_calls_ = Count(Read_Bytes(log_file_), "\n") - calls_before;
        return landed;
    }
    std::size_t Shapes() const { return shapes_; }
    // Automation calls the last paste's pass made (the stand-in logs one line per call).
    std::size_t Last_Calls() const { return last_calls_; }

private:
    // Read by plain search, not parsed: a poll every few milliseconds must not take the CPU that the
    // program and the stand-in are measured on. The state holds one sheet; shapes are its last "height"s.
    static std::size_t Count(const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
        return n;
    }
    static double Last_Height(const std::string& state) {
        const std::size_t at = state.rfind("\"height\":");
        return at == std::string::npos ? 1e9 : std::strtod(state.c_str() + at + 9, nullptr);
    }

    std::wstring state_file_, log_file_;
    std::size_t shapes_ = 0, last_calls_ = 0;
};

struct Figures {
    double Full_Hd = -1;
    double Uhd = -1;
    std::size_t Calls = 0;  // the most automation calls one paste made
};

Figures Measure(Picture_Run& run, int samples) {
    std::vector<double> full_hd, uhd;
    std::size_t calls = 0;
    for (int i = 0; i < samples; ++i) {
        full_hd.push_back(run.Paste(1920, 1080));
        calls = std::max(calls, run.Last_Calls());
        uhd.push_back(run.Paste(3840, 2160));
        calls = std::max(calls, run.Last_Calls());
    }
    return {Percentile(full_hd, 0.5), Percentile(uhd, 0.5), calls};
}

}  // namespace

int main() {
    Temp_Folder folder;
    const std::wstring state_file = folder / L"standin_state.json";
    const std::wstring log_file = folder / L"standin_log.jsonl";
    SetEnvironmentVariableW(standin::State_Variable, state_file.c_str());
    SetEnvironmentVariableW(standin::Log_Variable, log_file.c_str());
    // "下へ", "図 (PNG)", "削除→１個のセルに貼付", "セルに収まる大きさ": each picture in a cell of its own.
    auto app = Start_Paste_Run(folder.Path(), state_file, " 1\r\n 1\r\n 0\r\n 1\r\n");
    if (!app) return 1;

    Picture_Run run(state_file, log_file);
    constexpr int samples = 7;
    std::vector<double> small;
    for (int i = 0; i < samples; ++i) small.push_back(run.Paste(64, 48));
    const double baseline = Percentile(small, 0.5);
    const Figures empty = Measure(run, samples);
    const std::size_t empty_shapes = run.Shapes();
    int lost = 0;
    while (run.Shapes() < 200) lost += run.Paste(64, 48) < 0;
    const Figures full = Measure(run, samples);

    std::printf("picture copy-to-shape, 64x48 baseline: p50 %.0f ms\n", baseline);
    std::printf("full-HD on a sheet of at most %zu pictures: p50 %.0f ms (%.2fx the baseline; goal <= 40 ms)\n",
                empty_shapes, empty.Full_Hd, empty.Full_Hd / baseline);
    std::printf("4K on a sheet of at most %zu pictures: p50 %.0f ms (%.2fx the baseline; goal <= 120 ms)\n",
                empty_shapes, empty.Uhd, empty.Uhd / baseline);
    std::printf(
        "with 200 pictures on the sheet: full-HD p50 %.0f ms (%.2fx the almost empty sheet; goal <= 1.2x), "
        "4K p50 %.0f ms (%.2fx; goal <= 1.2x), %d small pictures not pasted\n",
        full.Full_Hd, full.Full_Hd / empty.Full_Hd, full.Uhd, full.Uhd / empty.Uhd, lost);
    std::printf(
        "automation calls of one picture paste's pass: at most %zu on the almost empty sheet, %zu with 200 "
        "pictures (%.2fx; goal 1x: no call per shape on the sheet)\n",
        empty.Calls, full.Calls,
        static_cast<double>(full.Calls) / static_cast<double>(std::max<std::size_t>(empty.Calls, 1)));

    if (HWND excel = FindWindowW(standin::Window_Class, nullptr)) {
        COPYDATASTRUCT quit{standin::Quit, 0, nullptr};
        DWORD_PTR r = 0;
        SendMessageTimeoutW(excel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&quit), SMTO_ABORTIFHUNG, 5000, &r);
    }
    return 0;
}
