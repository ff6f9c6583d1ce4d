// The download as a Windows user gets it: the zip unpacked into a fresh folder, the program started
// from there on its first start.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "celldrop_version.h"
#include "control_ids.h"
#include "driver.h"
#include "test_files.h"

namespace {

bool Is_Folder(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// "major.minor.patch" of the executable's version resource.
std::wstring Resource_Version(const std::wstring& exe) {
    DWORD handle = 0;
    std::vector<char> data(GetFileVersionInfoSizeW(exe.c_str(), &handle));
    if (data.empty() || !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &size) || !info) return {};
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwFileVersionLS));
}

}  // namespace

TEST(Package, TheUnpackedProgramStartsAndKeepsItsDataBesideItself) {
    const std::wstring folder = Wine_Path(UNPACKED_FOLDER);
    std::vector<std::wstring> names = List_Folder(folder);
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names, (std::vector<std::wstring>{L"CellDrop.exe", L"README.txt"}));
    const std::string readme = Read_Bytes(folder + L"\\README.txt");
    EXPECT_EQ(readme.substr(0, 3), "\xEF\xBB\xBF");  // Notepad knows UTF-8 by its mark
    for (const char* name : {"Excel", "Para", "Kotei", "RirekiText", "RirekiPic"})
        EXPECT_NE(readme.find(name), std::string::npos) << name;
    const std::wstring exe = folder + L"\\CellDrop.exe";
    EXPECT_EQ(Resource_Version(exe), L"" CELLDROP_VERSION_TEXT);

    std::wstring failure;
    std::optional<App_Process> app = App_Process::Start(exe, folder, &failure);
    ASSERT_TRUE(app) << std::string(failure.begin(), failure.end());
    const HWND main = app->Wait_For_Main_Window(L"Excelへの貼付コントロール", 20000);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Text_Of(Find_Control(main, control_ids::Label1 + 16)), L"バージョン " CELLDROP_VERSION_TEXT);
    for (const wchar_t* name : {L"Para", L"Kotei", L"RirekiText", L"RirekiPic"})
        EXPECT_TRUE(Is_Folder(folder + L"\\" + name)) << "missing folder";
    ASSERT_TRUE(Close_Window(main));
    EXPECT_TRUE(app->Wait_For_Exit(10000));
}
