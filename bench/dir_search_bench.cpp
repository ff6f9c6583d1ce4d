// Listing a large tree (20,000 files in 500 folders, as a file list in subfolder mode meets it) with
// Dir_Search_Tree against "cmd /c dir /s /b" over the same tree in the same run. The ratio is tree
// search time / dir time, so 1.0 means as fast as the system's own listing; both are medians.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "dir_search.h"
#include "test_files.h"

namespace {

constexpr int kTopFolders = 20;
constexpr int kSubfoldersEach = 24;  // 20 + 20 x 24 = 500 folders
constexpr int kFilesPerFolder = 40;  // 500 x 40 = 20,000 files
constexpr int kRuns = 3;             // the system listing takes seconds under Wine

bool Make_Folder_With_Files(const std::wstring& folder) {
    if (!CreateDirectoryW(folder.c_str(), nullptr)) return false;
    for (int i = 0; i < kFilesPerFolder; ++i)
        if (!Write_Bytes(folder + L"\\File" + std::to_wstring(1000 + i) + L".txt", "x")) return false;
    return true;
}

bool Make_Tree(const std::wstring& root) {
    if (!CreateDirectoryW(root.c_str(), nullptr)) return false;
    for (int t = 0; t < kTopFolders; ++t) {
        const std::wstring top = root + L"\\Folder " + std::to_wstring(100 + t);
        if (!Make_Folder_With_Files(top)) return false;
        for (int s = 0; s < kSubfoldersEach; ++s)
            if (!Make_Folder_With_Files(top + L"\\Sub" + std::to_wstring(100 + s))) return false;
    }
    return true;
}

template <class F>
double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs the system's recursive listing of the tree with its output thrown away; false when it cannot start.
bool Run_Dir(const std::wstring& root) {
    wchar_t system[MAX_PATH] = {};
    if (!GetSystemDirectoryW(system, MAX_PATH)) return false;
    std::wstring command = L"\"" + std::wstring(system) + L"\\cmd.exe\" /c dir /s /b \"" + root + L"\" > NUL";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

int main() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"celldrop_bench_" + std::to_wstring(GetCurrentProcessId());
    Remove_Tree(root);
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

    const std::size_t expected = kTopFolders * (1 + kSubfoldersEach) * (1 + kFilesPerFolder);
    std::printf("tree of %d folders, %d files (built in %.2f s)\n", kTopFolders * (1 + kSubfoldersEach),
                kTopFolders * (1 + kSubfoldersEach) * kFilesPerFolder, build);
    std::printf("%10s %14s %14s %8s\n", "entries", "tree search s", "dir /s /b s", "ratio");
    std::printf("%10zu %14.3f %14.3f %7.2fx%s%s\n", entries, Median(ours), Median(dir), Median(ours) / Median(dir),
                entries == expected ? "" : "  (ENTRIES MISSING)", dir_ran ? "" : "  (DIR DID NOT RUN)");
    return entries == expected && dir_ran ? 0 : 1;
}
