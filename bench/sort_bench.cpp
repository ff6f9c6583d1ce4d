// Throughput of the memory sort against std::stable_sort of the same records in the same run.
// Both sides store the records (two text keys, one text payload) and sort them; the ratio is
// memory sort time / stable_sort time, so 1.0 means as fast.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "memory_sort.h"

namespace {

struct Row {
    std::array<std::wstring, 2> Keys;
    std::wstring Payload;
};

std::vector<Row> Random_Rows(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> letter(0, 25), length(4, 16);
    auto word = [&] {
        std::wstring w(static_cast<std::size_t>(length(rng)), L'a');
        for (wchar_t& c : w) c = static_cast<wchar_t>(L'a' + letter(rng));
        return w;
    };
    std::vector<Row> rows(static_cast<std::size_t>(n));
    for (Row& r : rows) {
        // Few distinct first keys, so the second key decides often.
        r.Keys[0] = std::wstring(1, static_cast<wchar_t>(L'a' + letter(rng) % 8));
        r.Keys[1] = word();
        r.Payload = L"C:\\Data\\" + word() + L".txt";
    }
    return rows;
}

template <class F>
double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Best_Of(int runs, auto&& f) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) best = std::min(best, Seconds(f));
    return best;
}

}  // namespace

int main() {
    std::printf("%10s %16s %16s %8s\n", "records", "sort rec/s", "stable rec/s", "ratio");
    for (int n : {1000, 10000, 100000}) {
        const std::vector<Row> rows = Random_Rows(n, 42u + static_cast<unsigned>(n));
        const int runs = n >= 100000 ? 5 : 10;
        bool sorted_ok = true;

        const double ours = Best_Of(runs, [&] {
            Memory_Sort s;
            s.Sort_Init();
            for (const Row& r : rows) {
                s.Sort_Record_Clear();
                s.Sort_Key[0] = r.Keys[0];
                s.Sort_Key[1] = r.Keys[1];
                s.Sort_Str[0] = r.Payload;
                s.Sort_Record_Store();
            }
            (void)s.Sort_Execute();
            for (int i = 1; i <= s.Sort_Max(); ++i)
                if (s.Sort_Keys_Out(i - 1, 0) > s.Sort_Keys_Out(i, 0)) sorted_ok = false;
            s.Sort_Erase();
        });
        const double baseline = Best_Of(runs, [&] {
            std::vector<Row> copy;
            for (const Row& r : rows) copy.push_back(r);
            std::stable_sort(copy.begin(), copy.end(), [](const Row& a, const Row& b) { return a.Keys < b.Keys; });
        });
        std::printf("%10d %16.0f %16.0f %7.2fx%s\n", n, n / ours, n / baseline, ours / baseline,
                    sorted_ok ? "" : "  (OUTPUT NOT SORTED)");
    }
    return 0;
}
