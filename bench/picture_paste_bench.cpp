// Copy-to-shape latency of a picture paste run against the stand-in Excel, fitted to the cell
// ("セルに収まる大きさ"): 64x48, full-HD and 4K pictures on an empty sheet and again on a sheet of 200
// pictures, idle and with both cores kept busy. The baseline, measured in the same run on the same
// pictures, is a minimal paster (minimal_picture_paster.h) driving a stand-in Excel of its own.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "bench_paste_run.h"
#include "busy_load.h"
#include "clipboard_copy.h"
#include "driver.h"
#include "minimal_picture_paster.h"
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
    // A pass that does not end within 30 s is reported with what it lacked, and the next paste is
    // measured from what the sheet holds, so that one lost paste does not make every later one wait.
    double Paste(int width, int height) {
        HGLOBAL block = clipboard_copy::Picture_Block(width, height);  // made before the clock starts
        const std::size_t calls_before = Count(Read_Bytes(log_file_), "\n");
        const std::string moved = "\"activeCell\":\"A" + std::to_string(Active_Row(Read_Bytes(state_file_)) + 1) + "\"";
        const auto t0 = Clock::now();
        if (!clipboard_copy::Put({{CF_DIB, block}})) return -1;
        const std::size_t expected = shapes_ + 1;
        double landed = -1;
        bool emptied = false, done = false;
        std::string state;
        const auto deadline = t0 + std::chrono::seconds(30);
        while (Clock::now() < deadline) {
            state = Read_Bytes(state_file_);
            if (landed < 0 && Count(state, R"("kind":"picture")") == expected &&
                Last_Height(state) < Cell_Height + 0.01)
                landed = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            emptied = CountClipboardFormats() == 0;
            if (landed >= 0 && emptied && state.find(moved) != std::string::npos) {
                done = true;
                break;
            }
            Sleep(10);
        }
        shapes_ = done ? expected : Count(state, R"("kind":"picture")");
        if (!done)
            std::printf("  a %dx%d paste's pass did not end within 30 s: shape %s, clipboard %s, cell %s\n", width,
                        height, landed >= 0 ? "fitted" : "missing", emptied ? "emptied" : "not emptied",
                        state.find(moved) != std::string::npos ? "moved" : "not moved");
        last_calls_ = Count(Read_Bytes(log_file_), "\n") - calls_before;
        return landed;
    }
    // A text copied the moment a picture of that size has landed: ms from the landing to the text in its
    // cell. With no picture (width 0), ms from the text's copy to its cell. Negative on a timeout.
    double Text_After_Picture(int width, int height) {
        const std::string text = "next " + std::to_string(++texts_);
        const std::string in_cell = "\"value\":\"" + text + "\"";
        HGLOBAL picture = width > 0 ? clipboard_copy::Picture_Block(width, height) : nullptr;
        HGLOBAL text_block = clipboard_copy::Text_Block(std::wstring(text.begin(), text.end()));
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        if (picture) {
            if (!clipboard_copy::Put({{CF_DIB, picture}})) return GlobalFree(text_block), -1;
            const std::size_t expected = shapes_ + 1;
            // Polled often: the figure wanted is a few milliseconds.
            while (true) {
                const std::string state = Read_Bytes(state_file_);
                if (Count(state, R"("kind":"picture")") == expected && Last_Height(state) < Cell_Height + 0.01) break;
                if (Clock::now() > deadline) return GlobalFree(text_block), -1;
                Sleep(1);
            }
            shapes_ = expected;
        }
        const auto landed = Clock::now();
        if (!clipboard_copy::Put({{CF_UNICODETEXT, text_block}})) return -1;
        while (Read_Bytes(state_file_).find(in_cell) == std::string::npos) {
            if (Clock::now() > deadline) return -1;
            Sleep(1);
        }
        return std::chrono::duration<double, std::milli>(Clock::now() - landed).count();
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
    // The active cell's row (the pictures go down column A).
    static long Active_Row(const std::string& state) {
        const std::string key = "\"activeCell\":\"A";
        const std::size_t at = state.find(key);
        return at == std::string::npos ? 1 : std::strtol(state.c_str() + at + key.size(), nullptr, 10);
    }
    static double Last_Height(const std::string& state) {
        const std::size_t at = state.rfind("\"height\":");
        return at == std::string::npos ? 1e9 : std::strtod(state.c_str() + at + 9, nullptr);
    }

    std::wstring state_file_, log_file_;
    std::size_t shapes_ = 0, last_calls_ = 0;
    int texts_ = 0;
};

// p50 copy-to-shape of each size, and the p50 of the automation calls of one paste's pass.
struct Figures {
    double Small = -1;
    double Full_Hd = -1;
    double Uhd = -1;
    double Calls = 0;
};

// A paste that timed out is left out of the figures and counted in lost.
Figures Measure(Picture_Run& run, int samples, int& lost) {
    std::vector<double> small, full_hd, uhd, calls;
    const auto sample = [&](std::vector<double>& into, int width, int height) {
        const double ms = run.Paste(width, height);
        if (ms < 0) {
            ++lost;
            return;
        }
        into.push_back(ms);
        calls.push_back(static_cast<double>(run.Last_Calls()));
    };
    for (int i = 0; i < samples; ++i) {
        sample(small, 64, 48);
        sample(full_hd, 1920, 1080);
        sample(uhd, 3840, 2160);
    }
    return {Percentile(small, 0.5), Percentile(full_hd, 0.5), Percentile(uhd, 0.5), Percentile(calls, 0.5)};
}

// How soon the next copy is pasted after a picture lands: a text copied then, against the same text
// copied with no picture before it (p50 of each, and of their difference per pair).
struct Next_Copy_Figures {
    double Alone = -1, After_Full_Hd = -1, After_Uhd = -1, Extra_Full_Hd = -1, Extra_Uhd = -1;
};

// One program's figures on an empty sheet and on a sheet of 200 pictures.
struct Program_Figures {
    Figures Empty, Full;
    int Lost = 0;            // pastes whose pass did not end within 30 s, the filling's included
    Next_Copy_Figures Next;  // CellDrop's only
    bool Ok = false;
};

Program_Figures Measure_Sheets(Picture_Run& run) {
    constexpr int samples = 7;
    Program_Figures f;
    // Warm-up: the first paste of a run looks up what later ones know.
    for (int i = 0; i < 2; ++i) (void)run.Paste(64, 48);
    f.Empty = Measure(run, samples, f.Lost);
    while (run.Shapes() < 200u) f.Lost += run.Paste(64, 48) < 0;
    f.Full = Measure(run, samples, f.Lost);
    f.Ok = true;
    return f;
}

// The stand-in Excel of the program just measured is closed, so that the next one is alone.
void Quit_Standin() {
    if (HWND excel = FindWindowW(standin::Window_Class, nullptr)) {
        COPYDATASTRUCT quit{standin::Quit, 0, nullptr};
        DWORD_PTR r = 0;
        SendMessageTimeoutW(excel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&quit), SMTO_ABORTIFHUNG, 5000, &r);
    }
    (void)Wait_Until([] { return FindWindowW(standin::Window_Class, nullptr) == nullptr; }, 10000);
}

// The stand-in of the run writes its state and its log of calls into the folder.
struct Run_Files {
    Temp_Folder Folder;
    std::wstring State, Log;
    Run_Files() : State(Folder / L"standin_state.json"), Log(Folder / L"standin_log.jsonl") {
        SetEnvironmentVariableW(standin::State_Variable, State.c_str());
        SetEnvironmentVariableW(standin::Log_Variable, Log.c_str());
    }
};

Program_Figures Measure_Minimal() {
    Run_Files files;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --minimal";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    Program_Figures figures;
    if (Wait_Until([&] { return Read_Bytes(files.State).find("Book1") != std::string::npos; }, 30000)) {
        Picture_Run run(files.State, files.Log);
        figures = Measure_Sheets(run);
    }
    Quit_Standin();
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    return figures;
}

Next_Copy_Figures Measure_Next_Copy(Picture_Run& run) {
    constexpr int samples = 7;
    std::vector<double> alone, full_hd, uhd, extra_full_hd, extra_uhd;
    for (int i = 0; i < samples; ++i) {
        const double base = run.Text_After_Picture(0, 0);
        const double after_full_hd = run.Text_After_Picture(1920, 1080);
        const double after_uhd = run.Text_After_Picture(3840, 2160);
        if (base < 0 || after_full_hd < 0 || after_uhd < 0) continue;
        alone.push_back(base);
        full_hd.push_back(after_full_hd);
        uhd.push_back(after_uhd);
        extra_full_hd.push_back(after_full_hd - base);
        extra_uhd.push_back(after_uhd - base);
    }
    return {Percentile(alone, 0.5), Percentile(full_hd, 0.5), Percentile(uhd, 0.5), Percentile(extra_full_hd, 0.5),
            Percentile(extra_uhd, 0.5)};
}

Program_Figures Measure_CellDrop() {
    Run_Files files;
    // "下へ", "図 (PNG)", "削除→１個のセルに貼付", "セルに収まる大きさ": each picture in a cell of its own.
    auto app = Start_Paste_Run(files.Folder.Path(), files.State, " 1\r\n 1\r\n 0\r\n 1\r\n");
    if (!app) return {};
    Picture_Run run(files.State, files.Log);
    Program_Figures figures = Measure_Sheets(run);
    figures.Next = Measure_Next_Copy(run);
    Quit_Standin();
    return figures;
}

void Print(const char* load, const Program_Figures& minimal, const Program_Figures& celldrop) {
    if (!minimal.Ok || !celldrop.Ok) {
        std::printf("%s: a run could not be started (minimal %d, CellDrop %d)\n", load, minimal.Ok, celldrop.Ok);
        return;
    }
    const auto row = [](const char* sheet, const char* size, double m, double c, const char* goal) {
        std::printf("  %-16s %-9s minimal p50 %6.1f ms  CellDrop p50 %6.1f ms  %.2fx (goal <= %s)\n", sheet, size, m, c,
                    c / m, goal);
    };
    std::printf("picture copy-to-shape fitted, %s:\n", load);
    row("empty sheet", "64x48", minimal.Empty.Small, celldrop.Empty.Small, "1.5x");
    row("empty sheet", "1920x1080", minimal.Empty.Full_Hd, celldrop.Empty.Full_Hd, "1.5x");
    row("empty sheet", "3840x2160", minimal.Empty.Uhd, celldrop.Empty.Uhd, "1.5x");
    row("200 pictures", "64x48", minimal.Full.Small, celldrop.Full.Small, "1.2x");
    row("200 pictures", "1920x1080", minimal.Full.Full_Hd, celldrop.Full.Full_Hd, "1.2x");
    row("200 pictures", "3840x2160", minimal.Full.Uhd, celldrop.Full.Uhd, "1.2x");
    std::printf(
        "  automation calls of one paste's pass (p50, the move included): minimal %.0f / %.0f, CellDrop %.0f / %.0f "
        "(empty / 200 pictures); pastes not over within 30 s: minimal %d, CellDrop %d\n",
        minimal.Empty.Calls, minimal.Full.Calls, celldrop.Empty.Calls, celldrop.Full.Calls, minimal.Lost,
        celldrop.Lost);
    std::printf(
        "  next copy after a picture lands (CellDrop, 200 pictures): a text copied alone reaches its cell in %.1f ms; "
        "copied as a picture lands, %.1f ms after a 1920x1080 one, %.1f ms after a 3840x2160 one: %.1f / %.1f ms "
        "more (goal <= 10 ms)\n",
        celldrop.Next.Alone, celldrop.Next.After_Full_Hd, celldrop.Next.After_Uhd, celldrop.Next.Extra_Full_Hd,
        celldrop.Next.Extra_Uhd);
}

}  // namespace

int main(int argc, char** argv) {
    if (Busy_Load::Run_If_Spinner(argc, argv)) return 0;
    if (argc >= 2 && std::strcmp(argv[1], "--minimal") == 0) return Minimal_Picture_Paster().Run();
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    {
        const Program_Figures minimal = Measure_Minimal();
        const Program_Figures celldrop = Measure_CellDrop();
        Print("idle", minimal, celldrop);
    }
    {
        Busy_Load busy;
        const Program_Figures minimal = Measure_Minimal();
        const Program_Figures celldrop = Measure_CellDrop();
        Print(busy.Running() ? "both cores kept busy" : "cores NOT kept busy (spinners failed)", minimal, celldrop);
    }
    std::fflush(stdout);
    return 0;
}
