#pragma once
// Registration as Excel: the ProgIDs "Excel.Application" and "Excel.Application.15" lead to Excel's
// CLSID, whose LocalServer32 is this executable. Written under HKLM\Software\Classes, which Wine's
// COM reads (it does not merge HKCU\Software\Classes into HKEY_CLASSES_ROOT); where HKLM is not
// writable (Windows without elevation) under HKCU\Software\Classes instead.
#include <windows.h>

#include <string>

// {00024500-0000-0000-C000-000000000046}, Excel.Application's class.
constexpr CLSID Clsid_Excel_Application = {
    0x00024500, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Win32 error codes; ERROR_SUCCESS when done.
[[nodiscard]] LSTATUS Register_Server(const std::wstring& exe_path);
[[nodiscard]] LSTATUS Unregister_Server();
