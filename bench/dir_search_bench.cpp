// Listing a large tree (20,000 files in 500 folders, as a file list in subfolder mode meets it) with
// Dir_Search_Tree against "cmd /c dir /s /b" over the same tree in the same run. The ratio is tree
// search time / dir time, so 1.0 means as fast as the system's own listing; both are medians.
#include <cstdio>

#include "bench_tree.h"
#include "dir_search.h"

using namespace bench_tree;

namespace {

constexpr int kRuns = 3;  // the system listing takes seconds under Wine

}  // namespace

int main() {
    const std::wstring root = Temp_Root(L"celldrop_bench");
    const double build = Seconds([&] {
        if (!Make_Tree(root)) std::printf("could not build the tree under the temporary folder\n");
    });

    std::vector<double> ours, dir;
    std::size_t entries = 0;
    bool dir_ran = true;
    // Alternating the two spreads the machine's noise over both.
    for (int run = 0; run < kRuns; ++run) {
        ours.push_back(Seconds([&] { entries = Dir_Search_Tree(root, L"*.*").size(); }));
        dir.push_back(Seconds([&] { dir_ran = Run_Dir(root) && dir_ran; }));
    }
    Remove_Tree(root);

    const std::size_t expected = Folder_Count + File_Count;
    std::printf("tree of %d folders, %d files (built in %.2f s)\n", Folder_Count, File_Count, build);
    std::printf("%10s %14s %14s %8s\n", "entries", "tree search s", "dir /s /b s", "ratio");
    std::printf("%10zu %14.3f %14.3f %7.2fx%s%s\n", entries, Median(ours), Median(dir), Median(ours) / Median(dir),
                entries == expected ? "" : "  (ENTRIES MISSING)", dir_ran ? "" : "  (DIR DID NOT RUN)");
    return entries == expected && dir_ran ? 0 : 1;
}
