// The download as a Windows user gets it: the zip unpacked into a fresh folder, the program started
// from there on its first start.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

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

// The COFF header's symbol table of a PE file: zero offset and count once the file is stripped.
bool Has_Symbol_Table(const std::string& exe) {
    if (exe.size() < 0x40) return true;
    std::uint32_t pe = 0, table = 0, count = 0;
    std::memcpy(&pe, exe.data() + 0x3C, 4);
    if (exe.size() < pe + 24 || exe.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return true;
    std::memcpy(&table, exe.data() + pe + 12, 4);
    std::memcpy(&count, exe.data() + pe + 16, 4);
    return table != 0 || count != 0;
}

std::wstring Copyright(const std::wstring& exe) {
    DWORD handle = 0;
    std::vector<char> data(GetFileVersionInfoSizeW(exe.c_str(), &handle));
    if (data.empty() || !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) return {};
    wchar_t* text = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(data.data(), L"\\StringFileInfo\\041104B0\\LegalCopyright", reinterpret_cast<void**>(&text),
                        &size))
        return {};
    return text ? std::wstring(text) : std::wstring();
}

// The language of every resource the file holds (its version block, icon and manifest), each once.
BOOL CALLBACK Add_Language(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    auto& list = *reinterpret_cast<std::vector<WORD>*>(found);
    if (std::find(list.begin(), list.end(), language) == list.end()) list.push_back(language);
    return TRUE;
}
BOOL CALLBACK Add_Languages_Of_Name(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) {
    EnumResourceLanguagesW(module, type, name, Add_Language, found);
    return TRUE;
}
BOOL CALLBACK Add_Languages_Of_Type(HMODULE module, LPWSTR type, LONG_PTR found) {
    EnumResourceNamesW(module, type, Add_Languages_Of_Name, found);
    return TRUE;
}
std::vector<WORD> Resource_Languages(const std::wstring& exe) {
    std::vector<WORD> languages;
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return languages;
    EnumResourceTypesW(module, Add_Languages_Of_Type, reinterpret_cast<LONG_PTR>(&languages));
    FreeLibrary(module);
    return languages;
}

}  // namespace

TEST(Package, TheUnpackedProgramStartsAndKeepsItsDataBesideItself) {
    // Unzipped "here", the download makes one folder and nothing beside it.
    ASSERT_EQ(List_Folder(Wine_Path(UNPACKED_FOLDER)), std::vector<std::wstring>{L"CellDrop-" CELLDROP_VERSION_TEXT});
    const std::wstring folder = Wine_Path(UNPACKED_FOLDER) + L"\\CellDrop-" CELLDROP_VERSION_TEXT;
    std::vector<std::wstring> names = List_Folder(folder);
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names, (std::vector<std::wstring>{L"CellDrop.exe", L"README.txt"}));
    const std::string readme = Read_Bytes(folder + L"\\README.txt");
    EXPECT_EQ(readme.substr(0, 3), "\xEF\xBB\xBF");  // Notepad knows UTF-8 by its mark
    EXPECT_NE(readme.find("\r\n"), std::string::npos);
    for (std::size_t i = readme.find('\n'); i != std::string::npos; i = readme.find('\n', i + 1))
        ASSERT_EQ(readme[i - 1], '\r') << "a bare LF after: " << readme.substr(i > 40 ? i - 40 : 0, 40);
    for (const char* name : {"Para2_1.txt", "Para2_2.txt", "CellDrop-" CELLDROP_VERSION_TEXT})
        EXPECT_NE(readme.find(name), std::string::npos) << name;
    for (const char* name : {"Excel", "Para", "Kotei", "RirekiText", "RirekiPic"})
        EXPECT_NE(readme.find(name), std::string::npos) << name;
    const std::wstring exe = folder + L"\\CellDrop.exe";
    EXPECT_EQ(Resource_Version(exe), L"" CELLDROP_VERSION_TEXT);
    EXPECT_NE(Copyright(exe).find(L"Copyright"), std::wstring::npos);
    EXPECT_FALSE(Has_Symbol_Table(Read_Bytes(exe)));
    EXPECT_GE(ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0), 1u);  // Explorer's picture of the program
    // Japanese like every text of the program, so Explorer shows the version block under that language.
    EXPECT_EQ(Resource_Languages(exe), std::vector<WORD>{MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)});

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
