// Copy-to-cell latency of a paste run against the stand-in Excel, bursts of quick copies, and the
// paste loop's CPU use while idle. Latency is measured from putting a text on the clipboard to the
// text appearing in the stand-in's state file; the baseline is the loop's own 200 ms wait, measured
// in this run.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bare_reader.h"
#include "bench_paste_run.h"
#include "busy_load.h"
#include "clipboard_copy.h"
#include "copier_run.h"
#include "driver.h"
#include "json_value.h"
#include "pass_stages.h"
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
        if (cmdline.find("CellDrop.exe") != std::string::npos && cmdline.find(folder) != std::string::npos)
            found = name;
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

// The text of copy i of a burst in a column: "C-12".
std::wstring Burst_Text(const char* column, int i) {
    return std::wstring(column, column + std::strlen(column)) + L"-" + std::to_wstring(i);
}

// Selects a cell of the active sheet as the user would in Excel.
void Select_Cell(const std::string& address) {
    HWND excel = FindWindowW(standin::Window_Class, nullptr);
    if (!excel) return;
    const std::wstring text(address.begin(), address.end());
    COPYDATASTRUCT data{standin::Select_Cell, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(text.data())};
    DWORD_PTR r = 0;
    SendMessageTimeoutW(excel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &r);
}

// Moves the pointer to a screen corner outside the program's windows. Under Wine a button with the
// pointer resting on it checks for the pointer leaving at every timer tick (some 200 times a second),
// which Windows does not do; where the pointer rests is chance (the display's centre), not the loop.
bool Park_Pointer_Off(DWORD pid) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    for (const POINT corner : {POINT{width - 1, height - 1}, POINT{0, height - 1}, POINT{width - 1, 0}, POINT{0, 0}}) {
        DWORD owner = 0;
        if (HWND at = WindowFromPoint(corner)) GetWindowThreadProcessId(at, &owner);
        if (owner != pid) return SetCursorPos(corner.x, corner.y) != FALSE;
    }
    return false;
}

// The active sheet's cells of one column, top to bottom, up to the first empty row.
std::vector<std::wstring> Column_Values(const std::wstring& state_file, char column) {
    const Json_Value state = Json_Value::Parse(Read_Bytes(state_file));
    std::vector<std::wstring> values;
    for (const Json_Value& book : state["workbooks"].Items()) {
        if (book["name"].Text() != state["activeWorkbook"].Text()) continue;
        const Json_Value& cells = book["sheets"][0]["cells"];
        for (int row = 1;; ++row) {
            const Json_Value& cell = cells[std::string(1, column) + std::to_string(row)];
            if (cell.Is_Null()) break;
            values.push_back(cell["value"].Text());
        }
    }
    return values;
}

// A burst from the copier program into a column of its own: how many copies landed once and in
// order, how many never landed, how many landed twice, and the seconds from the last copy to the
// last cell. A message box of skipped copies is answered and counted.
struct Burst_Result {
    int Landed = 0, Lost = 0, Twice = 0, Out_Of_Order = 0;
    int Bare_Read = 0;  // the baseline: copies the bare reader read
    double Last_After_S = -1;
    bool Message = false;
};
Burst_Result Copier_Burst(const std::wstring& state_file, DWORD pid, Bare_Reader& bare, char column, int count,
                          int gap_ms) {
    Select_Cell(std::string(1, column) + "1");
    const std::wstring prefix = std::wstring(1, static_cast<wchar_t>(column)) + L"-";
    Burst_Result result;
    (void)bare.Read_Since(prefix);
    if (!Run_Copier(prefix, count, gap_ms)) return result;
    result.Bare_Read = bare.Read_Since(prefix);
    const auto copied = Clock::now();
    const std::wstring last = prefix + std::to_wstring(count - 1);
    const auto has_last = [&] {
        const auto values = Column_Values(state_file, column);
        return std::find(values.begin(), values.end(), last) != values.end();
    };
    while (!has_last() && Clock::now() - copied < std::chrono::seconds(30)) {
        if (const auto box = Wait_For_Message_Box(pid, 0)) {
            result.Message = true;
            (void)Answer_Message_Box(*box);
        }
        Sleep(20);
    }
    if (has_last()) result.Last_After_S = std::chrono::duration<double>(Clock::now() - copied).count();
    Sleep(500);  // a copy pasted twice would follow within this
    if (const auto box = Wait_For_Message_Box(pid, 0)) {
        result.Message = true;
        (void)Answer_Message_Box(*box);
    }
    const std::vector<std::wstring> values = Column_Values(state_file, column);
    std::vector<int> seen(count, 0);
    int previous = -1;
    for (const std::wstring& value : values) {
        if (value.rfind(prefix, 0) != 0) continue;
        const int i = _wtoi(value.c_str() + prefix.size());
        if (i < 0 || i >= count) continue;
        if (++seen[i] == 2) ++result.Twice;
        if (i <= previous) ++result.Out_Of_Order;
        previous = i;
    }
    for (int n : seen) n == 0 ? ++result.Lost : ++result.Landed;
    return result;
}

// Every cell value of the active sheet, wherever it landed.
std::vector<std::wstring> Sheet_Values(const std::wstring& state_file) {
    const Json_Value state = Json_Value::Parse(Read_Bytes(state_file));
    std::vector<std::wstring> values;
    for (const Json_Value& book : state["workbooks"].Items()) {
        if (book["name"].Text() != state["activeWorkbook"].Text()) continue;
        for (const auto& [address, cell] : book["sheets"][0]["cells"].Members()) values.push_back(cell["value"].Text());
    }
    return values;
}

// A burst of copies made by this process on a fixed schedule (gap_ms apart, nobody waited for) into a
// column of its own, while a thread of this process reads the stand-in's state every few milliseconds:
// how many landed against the bare reader of the same run, each copy's time from its copy to its text
// in a cell, and where that time went.
Load_Result Load_Burst(const std::wstring& state_file, const std::wstring& log_file, Bare_Reader& bare, char column,
                       int count, int gap_ms) {
    Select_Cell(std::string(1, column) + "1");
    Sleep(300);
    const std::wstring prefix = std::wstring(1, static_cast<wchar_t>(column)) + L"L";
    (void)bare.Read_Since(prefix);
    const std::size_t log_from = Read_Bytes(log_file).size();
    std::vector<double> copied(count, -1), landed(count, -1);
    std::mutex mutex;
    std::atomic<bool> stop{false};
    std::thread poller([&] {
        while (!stop) {
            // Anywhere on the sheet: a cell move of the burst before may still have been on its way.
            const std::vector<std::wstring> values = Sheet_Values(state_file);
            const double now = Counter_Ms();
            std::lock_guard lock(mutex);
            for (const std::wstring& value : values) {
                if (value.rfind(prefix, 0) != 0) continue;
                const int i = _wtoi(value.c_str() + prefix.size());
                if (i >= 0 && i < count && landed[i] < 0) landed[i] = now;
            }
            Sleep(5);
        }
    });
    const double start = Counter_Ms();
    for (int i = 0; i < count; ++i) {
        const double slot = start + static_cast<double>(gap_ms) * i;
        while (Counter_Ms() < slot) Sleep(Counter_Ms() + 2 < slot ? 1 : 0);
        {
            std::lock_guard lock(mutex);
            copied[i] = Counter_Ms();
        }
        (void)Copy_Text(prefix + std::to_wstring(i));
    }
    const double last = Counter_Ms();
    const auto all_landed = [&] {
        std::lock_guard lock(mutex);
        return std::none_of(landed.begin(), landed.end(), [](double t) { return t < 0; });
    };
    while (!all_landed() && Counter_Ms() - last < 30000) Sleep(20);
    stop = true;
    poller.join();
    Load_Result result;
    std::map<std::wstring, double> read_at;
    result.Bare_Read = bare.Read_Since(prefix, &read_at);
    std::vector<Copy_Stages> stages(count);
    Stages_From_Log(Read_Bytes(log_file).substr(log_from), prefix, stages, result.Passes);
    for (int i = 0; i < count; ++i) {
        const auto read = read_at.find(prefix + std::to_wstring(i));
        if (read != read_at.end()) result.To_Read.push_back(read->second - copied[i]);
        if ((read != read_at.end()) != (landed[i] >= 0)) {
            // Marked "w" when the stand-in was given it (the sheet lost it after), else it never reached Excel.
            std::string& list = landed[i] < 0 ? result.Read_Not_Landed : result.Landed_Not_Read;
            list += ' ';
            list += std::to_string(i);
            if (landed[i] < 0 && stages[i].Put >= 0) list += 'w';
        }
        if (landed[i] < 0) continue;
        ++result.Landed;
        result.Latencies.push_back(landed[i] - copied[i]);
        if (stages[i].Put < 0) continue;
        result.To_Pass.push_back(stages[i].Pass_Start - copied[i]);
        result.Pass_To_Put.push_back(stages[i].Put - stages[i].Pass_Start);
        result.Put_To_Seen.push_back(landed[i] - stages[i].Put);
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (Busy_Load::Run_If_Spinner(argc, argv)) return 0;
    // One section alone when named: load, latency, bursts, copier, calls, idle.
    const std::string only = argc > 1 ? argv[1] : "";
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // each figure as soon as it is known
    const auto section = [&](const char* name) { return only.empty() || only == name; };
    Temp_Folder folder;
    const std::wstring state_file = folder / L"standin_state.json";
    const std::wstring log_file = folder / L"standin_log.jsonl";
    SetEnvironmentVariableW(standin::State_Variable, state_file.c_str());
    SetEnvironmentVariableW(standin::Log_Variable, log_file.c_str());
    SetEnvironmentVariableW(standin::Log_Times_Variable, L"1");  // where each copy's time goes
    // "paste_bench load messages": Wine writes every message the program's threads handle, with its
    // thread and time, to standard error (and the stand-in's, which CellDrop starts). What filled a gap
    // between two calls of a pass is read there: a redraw, a timer, a message of the window.
    const bool trace_messages = argc > 2 && std::strcmp(argv[2], "messages") == 0;
    if (trace_messages) SetEnvironmentVariableW(L"WINEDEBUG", L"+timestamp,+pid,+tid,+message");
    // Move down after each paste, so every copy gets a cell of its own.
    auto app = Start_Paste_Run(folder.Path(), state_file, " 1\r\n 0\r\n 0\r\n 0\r\n");
    if (trace_messages) SetEnvironmentVariableW(L"WINEDEBUG", nullptr);
    if (!app) return 1;
    std::printf("(figures from a machine shared with other work: compare them with the baseline of the same run)\n");

    // The loop's own pace, measured the way the loop waits.
    std::vector<double> waits;
    for (int i = 0; i < 10; ++i) {
        const auto t0 = Clock::now();
        Wait_Time(200);
        waits.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    const double baseline = Percentile(waits, 0.5);
    std::printf("baseline: the 200 ms wait of a message loop takes %.0f ms\n", baseline);

    if (section("load")) {
        // Idle, then with both cores kept busy by two spinning processes: copies 5, 20 and 150 ms apart.
        // The baselines of the same run: the bare reader's count, and the idle p50 of the 150 ms copies.
        Bare_Reader bare;
        struct Plan {
            int Count, Gap_Ms;
        };
        const Plan plans[] = {{40, 150}, {60, 5}, {100, 20}};  // the idle 150 ms copies first: the baseline
        double idle_p50 = -1;
        char column = 'T';
        for (const bool busy : {false, true}) {
            std::optional<Busy_Load> load;
            if (busy) {
                load.emplace();
                if (!load->Running()) std::printf("busy: the spinning processes could not all be started\n");
            }
            for (const Plan& plan : plans) {
                Load_Result r = Load_Burst(state_file, log_file, bare, column++, plan.Count, plan.Gap_Ms);
                const double p50 = Percentile(r.Latencies, 0.5), p99 = Percentile(r.Latencies, 0.99);
                if (!busy && plan.Gap_Ms == 150) idle_p50 = p50;
                const double base = idle_p50 > 0 ? idle_p50 : p50;
                std::printf(
                    "%s, %d copies %d ms apart: %d landed, a bare reader in this run read %d (%.0f %%; goal >= "
                    "98 %%); copy-to-cell p50 %.0f ms (%.1fx the idle p50 of 150 ms copies; busy goal <= 3x), "
                    "p99 %.0f ms (%.1fx; busy goal <= 10x)\n",
                    busy ? "busy" : "idle", plan.Count, plan.Gap_Ms, r.Landed, r.Bare_Read,
                    r.Bare_Read ? 100.0 * r.Landed / r.Bare_Read : 0.0, p50, p50 / base, p99, p99 / base);
                Print_Stages(r);
            }
        }
    }

    if (section("latency")) {
        // Copies at random moments, so that every phase of the loop's pass is hit; each copy's latency
        // runs from its copy to its text in the stand-in's state, while the next copies are made.
        constexpr int copies = 150;
        std::mt19937 random(7);
        std::uniform_int_distribution<int> pause(50, 400);
        std::vector<Clock::time_point> copied(copies);
        std::vector<double> latencies(copies, -1);
        int next_to_land = 0;
        auto poll_arrivals = [&] {
            const std::string state = Read_Bytes(state_file);
            for (int i = next_to_land; i < copies && copied[i] != Clock::time_point(); ++i) {
                if (latencies[i] >= 0) continue;
                if (state.find("\"r" + std::to_string(i) + "\"") == std::string::npos) continue;
                latencies[i] = std::chrono::duration<double, std::milli>(Clock::now() - copied[i]).count();
            }
            while (next_to_land < copies && latencies[next_to_land] >= 0) ++next_to_land;
        };
        for (int i = 0; i < copies; ++i) {
            copied[i] = Clock::now();
            if (!Copy_Text(L"r" + std::to_wstring(i))) return 1;
            const auto until = Clock::now() + std::chrono::milliseconds(pause(random));
            while (Clock::now() < until) {
                poll_arrivals();
                // Not more often: every read is a round of file requests to the same wineserver that
                // carries the program's calls to Excel.
                Sleep(10);
            }
        }
        const auto last = Clock::now();
        while (next_to_land < copies && Clock::now() - last < std::chrono::seconds(10)) poll_arrivals();
        const int lost = static_cast<int>(std::count(latencies.begin(), latencies.end(), -1.0));
        std::erase(latencies, -1.0);
        const double p50 = Percentile(latencies, 0.5), p99 = Percentile(latencies, 0.99);
        std::printf(
            "copy-to-cell latency, %d copies 50-400 ms apart: p50 %.0f ms (%.2fx the 200 ms wait; goal <= 25 ms), "
            "p99 %.0f ms (%.2fx; goal <= 50 ms), %d lost\n",
            copies, p50, p50 / baseline, p99, p99 / baseline, lost);
    }

    if (section("bursts")) {
        // Bursts from this process, which waits for each copy's write to end: every copy lands once,
        // in order, each in a column of its own.
        struct Burst {
            const char* Column;
            int Count;
            int Gap_Ms;
        };
        for (const Burst& burst : {Burst{"C", 300, 150}, Burst{"D", 300, 100}, Burst{"E", 50, 30}, Burst{"F", 100, 20},
                                   Burst{"G", 100, 5}}) {
            Select_Cell(std::string(burst.Column) + "1");
            const auto t0 = Clock::now();
            for (int i = 0; i < burst.Count; ++i) {
                if (!Copy_Text(Burst_Text(burst.Column, i))) return 1;
                Sleep(static_cast<DWORD>(burst.Gap_Ms));
            }
            // The last copy's text in a cell (the cell's address alone also shows as the active cell).
            const std::string last_text =
                "\"value\":\"" + std::string(burst.Column) + "-" + std::to_string(burst.Count - 1) + "\"";
            (void)Wait_Until([&] { return Read_Bytes(state_file).find(last_text) != std::string::npos; }, 30000);
            const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
            // The cell move after the last paste comes before the next burst's first cell is chosen.
            const std::string moved =
                "\"activeCell\":\"" + std::string(burst.Column) + std::to_string(burst.Count + 1) + "\"";
            (void)Wait_Until([&] { return Read_Bytes(state_file).find(moved) != std::string::npos; }, 10000);
            const std::string state = Read_Bytes(state_file);
            int in_place = 0, lost = 0;
            std::string misplaced;
            for (int i = 0; i < burst.Count; ++i) {
                const std::string value = "\"value\":\"" + std::string(burst.Column) + "-" + std::to_string(i) + "\"";
                if (state.find(value) == std::string::npos) ++lost;
                const std::string cell = "\"" + std::string(burst.Column) + std::to_string(i + 1) +
                                         "\":{\"type\":\"string\",\"value\":\"" + std::string(burst.Column) + "-" +
                                         std::to_string(i) + "\"";
                if (state.find(cell) != std::string::npos)
                    ++in_place;
                else if (misplaced.size() < 60)
                    misplaced += " " + std::to_string(i);
            }
            std::printf(
                "burst of %d copies %d ms apart: %d landed once and in order, %d lost (goal 0) (%.1f s; ratio of "
                "gap to the 200 ms wait %.2f)%s%s\n",
                burst.Count, burst.Gap_Ms, in_place, lost, seconds, burst.Gap_Ms / baseline,
                misplaced.empty() ? "" : "; not in place:", misplaced.c_str());
        }
    }

    if (section("copier")) {
        // Bursts from another program that copies on a fixed schedule and waits for nobody.
        struct Copier_Burst_Plan {
            char Column;
            int Count;
            int Gap_Ms;
        };
        Bare_Reader bare;
        for (const Copier_Burst_Plan& plan : {Copier_Burst_Plan{'H', 60, 5},
                                              {'I', 60, 5},
                                              {'J', 60, 5},
                                              {'K', 60, 5},
                                              {'L', 60, 5},
                                              {'M', 300, 20},
                                              {'N', 1000, 20}}) {
            const Burst_Result r = Copier_Burst(state_file, app->Pid(), bare, plan.Column, plan.Count, plan.Gap_Ms);
            std::printf(
                "copier burst of %d copies %d ms apart: %d landed (goal %d; a bare reader in this run read "
                "%d), %d lost, %d twice, %d out of order, last cell %.1f s after the last copy (goal <= 10 s; "
                "%.2fx the 200 ms wait)%s\n",
                plan.Count, plan.Gap_Ms, r.Landed, plan.Count, r.Bare_Read, r.Lost, r.Twice, r.Out_Of_Order,
                r.Last_After_S, r.Last_After_S * 1000 / baseline, r.Message ? "; a message of skipped copies" : "");
        }
    }

    if (section("calls")) {
        // Automation calls of one paste's pass, from the stand-in's call log: each copy waits for the one
        // before to land and the cell move after it.
        const auto calls_of = [&](auto copy, int samples, char column) {
            Select_Cell(std::string(1, column) + "1");
            Sleep(300);
            std::vector<double> calls;
            for (int i = 0; i < samples; ++i) {
                const long before = Log_Lines(log_file);
                const std::string moved = "\"activeCell\":\"" + std::string(1, column) + std::to_string(i + 2) + "\"";
                if (!copy(i)) return -1.0;
                if (!Wait_Until([&] { return Read_Bytes(state_file).find(moved) != std::string::npos; }, 10000))
                    return -1.0;
                Sleep(100);  // the pass ends after its cell move
                calls.push_back(static_cast<double>(Log_Lines(log_file) - before));
            }
            return Percentile(calls, 0.5);
        };
        const double text = calls_of([](int i) { return Copy_Text(L"calls-" + std::to_wstring(i)); }, 15, 'P');
        const double picture = calls_of([](int) { return Copy_Picture(64, 48); }, 15, 'Q');
        // A sheet of 200 pictures.
        Select_Cell("R1");
        for (int i = 0; i < 185; ++i) {
            (void)Copy_Picture(16, 12);
            Sleep(60);
        }
        (void)Wait_Until([&] { return Read_Bytes(state_file).find("\"activeCell\":\"R186\"") != std::string::npos; },
                         60000);
        const double crowded = calls_of([](int) { return Copy_Picture(64, 48); }, 15, 'S');
        std::printf(
            "automation calls per paste (median): text %.0f (goal <= 10), picture without sizing %.0f (goal <= "
            "12), picture on a sheet of 200 pictures %.0f (%.2fx the almost empty sheet; goal 1x)\n",
            text, picture, crowded, crowded / picture);
    }

    if (section("idle")) {
        const std::wstring folder_name = folder.Path().substr(folder.Path().find_last_of(L'\\') + 1);
        const std::wstring entry = Host_Proc_Entry(folder_name);
        if (!Park_Pointer_Off(app->Pid()))
            std::printf("idle paste loop: the pointer could not be moved off the program\n");
        Sleep(1000);
        const double cpu0 = entry.empty() ? 0 : Host_Cpu_Seconds(entry);
        const long calls0 = Log_Lines(log_file);
        const auto t0 = Clock::now();
        Sleep(40000);  // idle on purpose: the figures are the loop's CPU use and calls while nothing is copied
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const double calls = static_cast<double>(Log_Lines(log_file) - calls0) / wall;
        if (entry.empty())
            std::printf("idle paste loop: the program's host process was not found\n");
        else
            std::printf("idle paste loop: %.2f %% of one core over %.0f s (goal 0.2 %%)\n",
                        100.0 * (Host_Cpu_Seconds(entry) - cpu0) / wall, wall);
        std::printf("idle paste loop: %.2f automation calls per second (goal <= 1)\n", calls);
    }

    if (HWND excel = FindWindowW(standin::Window_Class, nullptr)) {
        COPYDATASTRUCT quit{standin::Quit, 0, nullptr};
        DWORD_PTR r = 0;
        SendMessageTimeoutW(excel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&quit), SMTO_ABORTIFHUNG, 5000, &r);
    }
    return 0;
}
