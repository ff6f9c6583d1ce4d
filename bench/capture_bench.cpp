// Where each copy's time goes on the capture thread, and how many copies it reads against a bare
// reader in the same run, idle and with both cores kept busy: another program copies texts 5, 20 and
// 150 ms apart, and the capture (the paste run's, in this process) and the bare reader both listen.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "bare_reader.h"
#include "busy_load.h"
#include "clipboard_capture.h"
#include "copier_run.h"
#include "process_priority.h"

namespace {

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

void Measure(const char* load, Clipboard_Capture& capture, Bare_Reader& bare) {
    struct Plan {
        int Count, Gap_Ms;
    };
    for (const Plan plan : {Plan{200, 5}, Plan{200, 20}, Plan{60, 150}}) {
        const std::wstring prefix = L"cap" + std::to_wstring(plan.Gap_Ms) + L"-";
        (void)capture.Take_Waiting();
        (void)capture.Take_Timings();
        (void)bare.Read_Since(prefix);
        if (!Run_Copier(prefix, plan.Count, plan.Gap_Ms)) {
            std::printf("%s: the copier could not be run\n", load);
            return;
        }
        Sleep(300);  // the last copy's read and its queueing end
        std::set<std::wstring> read;
        for (const Captured_Copy& copy : capture.Take_Waiting())
            if (copy.Text && copy.Text->rfind(prefix, 0) == 0) read.insert(*copy.Text);
        const int bare_read = bare.Read_Since(prefix);
        std::vector<double> waited, reading, after;
        for (const Capture_Timing& t : capture.Take_Timings()) {
            waited.push_back(t.Waited_Ms);
            reading.push_back(t.Read_Ms);
            after.push_back(t.After_Ms);
        }
        std::printf(
            "%s, %d copies %d ms apart: capture read %zu, bare reader %d (%.0f %%; goal >= 98 %%); per copy "
            "(ms, p50/p99): notice to handling %.1f/%.1f, read %.2f/%.2f, the rest %.2f/%.2f\n",
            load, plan.Count, plan.Gap_Ms, read.size(), bare_read,
            bare_read ? 100.0 * static_cast<double>(read.size()) / bare_read : 0.0, Percentile(waited, 0.5),
            Percentile(waited, 0.99), Percentile(reading, 0.5), Percentile(reading, 0.99), Percentile(after, 0.5),
            Percentile(after, 0.99));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (Busy_Load::Run_If_Spinner(argc, argv)) return 0;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("(figures from a machine shared with other work: compare them with the bare reader of the same run)\n");
    // As during a paste run: the process above normal, its capture thread above the process's others.
    const Raised_Priority priority;
    Clipboard_Capture capture;
    if (!capture.Start(nullptr)) {
        std::printf("the clipboard cannot be listened to\n");
        return 1;
    }
    Bare_Reader bare;
    Measure("idle", capture, bare);
    {
        Busy_Load busy;
        if (!busy.Running()) std::printf("busy: the spinning processes could not all be started\n");
        Measure("busy", capture, bare);
    }
    capture.Stop();
    return 0;
}
