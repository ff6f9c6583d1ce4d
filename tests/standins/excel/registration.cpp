#include "registration.h"

#include <vector>

namespace {

constexpr wchar_t Clsid_Text[] = L"{00024500-0000-0000-C000-000000000046}";
constexpr wchar_t Description[] = L"Microsoft Excel Application";

struct Registry_Value {
    std::wstring Key;     // below Software\Classes
    const wchar_t* Name;  // nullptr for the key's default value
    std::wstring Data;
};

std::vector<Registry_Value> Values(const std::wstring& exe_path) {
    const std::wstring clsid_key = std::wstring(L"CLSID\\") + Clsid_Text;
    return {
        {L"Excel.Application", nullptr, Description},
        {L"Excel.Application\\CLSID", nullptr, Clsid_Text},
        {L"Excel.Application\\CurVer", nullptr, L"Excel.Application.15"},
        {L"Excel.Application.15", nullptr, Description},
        {L"Excel.Application.15\\CLSID", nullptr, Clsid_Text},
        {clsid_key, nullptr, Description},
        // Quoted: the path may hold spaces, and COM appends " -Embedding" to this command line.
        {clsid_key + L"\\LocalServer32", nullptr, L"\"" + exe_path + L"\""},
        {clsid_key + L"\\ProgID", nullptr, L"Excel.Application.15"},
        {clsid_key + L"\\VersionIndependentProgID", nullptr, L"Excel.Application"},
    };
}

LSTATUS Write_Values(HKEY root, const std::vector<Registry_Value>& values) {
    for (const Registry_Value& v : values) {
        HKEY key = nullptr;
        const std::wstring path = L"Software\\Classes\\" + v.Key;
        LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) return status;
        status = RegSetValueExW(key, v.Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.Data.c_str()),
                                static_cast<DWORD>((v.Data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) return status;
    }
    return ERROR_SUCCESS;
}

LSTATUS Delete_Keys(HKEY root) {
    const std::wstring keys[] = {L"Software\\Classes\\Excel.Application", L"Software\\Classes\\Excel.Application.15",
                                 std::wstring(L"Software\\Classes\\CLSID\\") + Clsid_Text};
    for (const std::wstring& key : keys) {
        const LSTATUS status = RegDeleteTreeW(root, key.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return status;
    }
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS Register_Server(const std::wstring& exe_path) {
    const auto values = Values(exe_path);
    const LSTATUS status = Write_Values(HKEY_LOCAL_MACHINE, values);
    if (status != ERROR_ACCESS_DENIED) return status;
    return Write_Values(HKEY_CURRENT_USER, values);
}

LSTATUS Unregister_Server() {
    const LSTATUS machine = Delete_Keys(HKEY_LOCAL_MACHINE);
    const LSTATUS user = Delete_Keys(HKEY_CURRENT_USER);
    if (machine != ERROR_SUCCESS && machine != ERROR_ACCESS_DENIED) return machine;
    return user;
}
