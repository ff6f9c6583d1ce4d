// ChromeStandIn.exe and OpenRecorder.exe: started by the shell in place of Chrome and of the program
// a file type opens with. Each records its command line and ends. The compile definition
// RECORDER_LOG_VARIABLE picks the variable (recorder_protocol.h) that holds the log's path.
#include <windows.h>

#include <string>

#include "recorder_protocol.h"

namespace {

constexpr ULONGLONG Busy_Deadline_Ms = 5000;

class Unique_File {
public:
    explicit Unique_File(HANDLE handle) : handle_(handle) {}
    Unique_File(const Unique_File&) = delete;
    Unique_File& operator=(const Unique_File&) = delete;
    ~Unique_File() {
        if (Valid()) CloseHandle(handle_);
    }

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

std::wstring Environment_Value(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

std::string Utf8(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

// Without write sharing, a second recorder started at the same moment waits until the first one's
// line is complete instead of writing into it.
HANDLE Open_For_Append(const std::wstring& path) {
    const ULONGLONG deadline = GetTickCount64() + Busy_Deadline_Ms;
    for (;;) {
        HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) return file;
        if (GetTickCount64() >= deadline) return INVALID_HANDLE_VALUE;
        Sleep(10);
    }
}

}  // namespace

// Exits 1 when the log could not be written, so that a test waiting on the process can say why.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring log = Environment_Value(RECORDER_LOG_VARIABLE);
    if (log.empty()) return 0;
    const std::string line = Utf8(GetCommandLineW()) + "\n";
    const Unique_File file(Open_For_Append(log));
    DWORD written = 0;
    if (!file.Valid() || !WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
        return 1;
    }
    return written == line.size() ? 0 : 1;
}
