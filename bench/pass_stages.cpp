#include "pass_stages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include <windows.h>

#include "json_value.h"
#include "test_files.h"

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

// Milliseconds of the performance counter, the clock of the stand-in's call log.
double Counter_Ms() {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Stages_From_Log(const std::string& log, const std::wstring& prefix, std::vector<Copy_Stages>& copies,
                     std::vector<Pass_Record>& passes) {
    const std::string ascii_prefix(prefix.begin(), prefix.end());
    Pass_Record pass;
    bool in_pass = false;
    double previous = 0;
    const auto close = [&] {
        if (in_pass && pass.Texts > 0) passes.push_back(pass);
        in_pass = false;
    };
    std::size_t from = 0;
    while (from < log.size()) {
        std::size_t to = log.find('\n', from);
        if (to == std::string::npos) break;
        const std::string line = log.substr(from, to - from);
        from = to + 1;
        const Json_Value call = Json_Value::Parse(line);
        const double at = call["at_ms"].Number();
        const std::wstring member = call["member"].Text();
        if (member == L"ActiveSheet") {
            close();
            pass = Pass_Record();
            in_pass = true;
            pass.Start = at;
            previous = at;
        }
        if (!in_pass) continue;
        ++pass.Calls;
        if (at - previous > pass.Longest_Gap) {
            pass.Longest_Gap = at - previous;
            pass.Before_Gap = member;
            pass.Before_Gap += L' ';
            pass.Before_Gap += call["kind"].Text();
        }
        previous = pass.End = at;
        if (member != L"Value" || call["kind"].Text() != L"put") continue;
        for (std::size_t hit = line.find(ascii_prefix); hit != std::string::npos;
             hit = line.find(ascii_prefix, hit + 1)) {
            const std::size_t digits = hit + ascii_prefix.size();
            if (digits >= line.size() || line[digits] < '0' || line[digits] > '9') continue;
            const int i = std::atoi(line.c_str() + digits);
            if (i < 0 || i >= static_cast<int>(copies.size()) || copies[i].Put >= 0) continue;
            copies[i] = {pass.Start, at};
            ++pass.Texts;
            pass.Put = at;
        }
    }
    close();
}

// The stages of a burst, p50/p99 each, and its passes.
void Print_Stages(const Load_Result& r) {
    std::vector<double> texts, lengths, gaps, between;
    std::map<std::wstring, int> gap_before;
    for (std::size_t i = 0; i < r.Passes.size(); ++i) {
        const Pass_Record& pass = r.Passes[i];
        texts.push_back(pass.Texts);
        lengths.push_back(pass.End - pass.Start);
        gaps.push_back(pass.Longest_Gap);
        ++gap_before[pass.Before_Gap];
        if (i > 0) between.push_back(pass.Start - r.Passes[i - 1].End);
    }
    std::printf(
        "    stages (ms, p50/p99): copy to a bare reader's read %.0f/%.0f, copy to the start of the pass that "
        "wrote it %.0f/%.0f, pass start to its write %.0f/%.0f, write to the state file showing it %.0f/%.0f\n",
        Percentile(r.To_Read, 0.5), Percentile(r.To_Read, 0.99), Percentile(r.To_Pass, 0.5),
        Percentile(r.To_Pass, 0.99), Percentile(r.Pass_To_Put, 0.5), Percentile(r.Pass_To_Put, 0.99),
        Percentile(r.Put_To_Seen, 0.5), Percentile(r.Put_To_Seen, 0.99));
    std::string gap_names;
    for (const auto& [name, n] : gap_before) {
        gap_names += ' ';
        gap_names.append(name.begin(), name.end());
        gap_names += " x";
        gap_names += std::to_string(n);
    }
    std::printf(
        "    %zu passes wrote texts: texts per pass p50 %.0f max %.0f; pass length p50 %.0f p99 %.0f ms; between "
        "passes p50 %.0f p99 %.0f ms; longest gap between two calls of a pass p50 %.0f p99 %.0f ms, before:%s\n",
        r.Passes.size(), Percentile(texts, 0.5), Percentile(texts, 1.0), Percentile(lengths, 0.5),
        Percentile(lengths, 0.99), Percentile(between, 0.5), Percentile(between, 0.99), Percentile(gaps, 0.5),
        Percentile(gaps, 0.99), gap_names.c_str());
    if (!r.Read_Not_Landed.empty() || !r.Landed_Not_Read.empty())
        std::printf("    read by the bare reader, not landed:%s; landed, not read by it:%s\n",
                    r.Read_Not_Landed.c_str(), r.Landed_Not_Read.c_str());
}

// Lines of the stand-in's call log.
long Log_Lines(const std::wstring& log_file) {
    const std::string log = Read_Bytes(log_file);
    return static_cast<long>(std::count(log.begin(), log.end(), '\n'));
}
