#pragma once
// The large folder tree the file-list benchmarks search (20,000 files in 500 folders, as a file list
// in subfolder mode meets it), the system's recursive listing of it as their baseline, and timing.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "test_files.h"

namespace bench_tree {

constexpr int Top_Folders = 20;
constexpr int Subfolders_Each = 24;   // 20 + 20 x 24 = 500 folders
constexpr int Files_Per_Folder = 40;  // 500 x 40 = 20,000 files
constexpr int Folder_Count = Top_Folders * (1 + Subfolders_Each);
constexpr int File_Count = Folder_Count * Files_Per_Folder;

inline std::wstring Top_Folder_Name(int t) { return L"Folder " + std::to_wstring(100 + t); }
inline std::wstring Subfolder_Name(int s) { return L"Sub" + std::to_wstring(100 + s); }
inline std::wstring File_Name(int i) { return L"File" + std::to_wstring(1000 + i) + L".txt"; }

inline bool Make_Folder_With_Files(const std::wstring& folder) {
    if (!CreateDirectoryW(folder.c_str(), nullptr)) return false;
    for (int i = 0; i < Files_Per_Folder; ++i)
        if (!Write_Bytes(folder + L"\\" + File_Name(i), "x")) return false;
    return true;
}

// The tree under root (which must not exist yet): each top folder holds files and subfolders of files.
inline bool Make_Tree(const std::wstring& root) {
    if (!CreateDirectoryW(root.c_str(), nullptr)) return false;
    for (int t = 0; t < Top_Folders; ++t) {
        const std::wstring top = root + L"\\" + Top_Folder_Name(t);
        if (!Make_Folder_With_Files(top)) return false;
        for (int s = 0; s < Subfolders_Each; ++s)
            if (!Make_Folder_With_Files(top + L"\\" + Subfolder_Name(s))) return false;
    }
    return true;
}

// A fresh root for the tree under the temporary folder.
inline std::wstring Temp_Root(const wchar_t* name) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + name + L"_" + std::to_wstring(GetCurrentProcessId());
    Remove_Tree(root);
    return root;
}

template <class F>
double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs the system's recursive listing of the tree with its output thrown away; false when it cannot start.
inline bool Run_Dir(const std::wstring& root) {
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

}  // namespace bench_tree
