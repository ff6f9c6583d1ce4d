#pragma once
// A fresh, empty folder for one test, removed with everything in it at the end of the test.
#include <windows.h>

#include <string>

#include "test_files.h"

class Temp_Folder {
public:
    Temp_Folder() {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, base);
        static int counter = 0;
        path_ = std::wstring(base) + L"celldrop_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter);
        Remove_Tree(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    Temp_Folder(const Temp_Folder&) = delete;
    Temp_Folder& operator=(const Temp_Folder&) = delete;
    ~Temp_Folder() { Remove_Tree(path_); }

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};
