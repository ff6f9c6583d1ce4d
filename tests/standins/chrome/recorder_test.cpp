// The stand-ins reached as the program reaches Chrome and a file's program: through ShellExecuteExW,
// with "chrome.exe" found under App Paths and the test file type's "open" command, as
// tools/lib/wine_env.sh registers them in the prefix. Programs the shell starts inherit this process's
// environment, so the log variables are set here.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "../../common/temp_folder.h"
#include "../../common/test_files.h"
#include "codepage.h"
#include "recorder_protocol.h"

namespace {

constexpr DWORD Deadline_Ms = 15000;

class Process_Handle {
public:
    explicit Process_Handle(HANDLE handle) : handle_(handle) {}
    Process_Handle(const Process_Handle&) = delete;
    Process_Handle& operator=(const Process_Handle&) = delete;
    ~Process_Handle() {
        if (handle_) CloseHandle(handle_);
    }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// Starts through the shell as the program does, then waits for the started process. Returns its exit
// code, or a text saying what went wrong.
std::wstring Execute_And_Wait(const wchar_t* verb, const std::wstring& file, const wchar_t* parameters) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) return L"ShellExecuteExW failed: " + std::to_wstring(GetLastError());
    const Process_Handle process(info.hProcess);
    if (!process.Get()) return L"no process handle";
    if (WaitForSingleObject(process.Get(), Deadline_Ms) != WAIT_OBJECT_0) return L"still running";
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return L"exit " + std::to_wstring(code);
}

class Recorder_Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetEnvironmentVariableW(recorder::Chrome_Log_Variable, chrome_log_.c_str()));
        ASSERT_TRUE(SetEnvironmentVariableW(recorder::Open_Log_Variable, open_log_.c_str()));
    }

    Temp_Folder folder_;
    const std::wstring chrome_log_ = folder_ / L"chrome.log";
    const std::wstring open_log_ = folder_ / L"open.log";
};

TEST_F(Recorder_Test, ShellStartsChromeAndTheTestFileTypesProgram) {
    EXPECT_EQ(Execute_And_Wait(nullptr, L"chrome.exe", L"-url https://example.com/a b?q=\"x\""), L"exit 0")
        << "is chrome.exe registered under App Paths?";
    const std::string chrome_line = Read_Bytes(chrome_log_);
    EXPECT_NE(chrome_line.find("-url https://example.com/a b?q=\"x\"\n"), std::string::npos) << chrome_line;
    EXPECT_NE(chrome_line.find("ChromeStandIn.exe"), std::string::npos) << chrome_line;

    const std::wstring file = folder_ / (L"テスト 1" + std::wstring(recorder::Test_Extension));
    ASSERT_TRUE(Write_Bytes(file, "x"));
    EXPECT_EQ(Execute_And_Wait(L"open", file, nullptr), L"exit 0") << "is the test file type registered?";
    const std::string open_line = Read_Bytes(open_log_);
    EXPECT_NE(open_line.find(Wide_To_Utf8(file)), std::string::npos) << open_line;
    EXPECT_NE(open_line.find("OpenRecorder.exe"), std::string::npos) << open_line;
}

// The program shows its own message when the shell cannot start something. A shell error dialog
// would hold the call until someone closed it, so the call runs on a thread of its own and such a
// dialog fails the test at the deadline instead of hanging it.
TEST_F(Recorder_Test, MissingProgramFailsWithoutDialog) {
    std::promise<DWORD> result;
    std::future<DWORD> outcome = result.get_future();
    std::thread([result = std::move(result)]() mutable {
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpFile = L"no-such-program-celldrop.exe";
        info.nShow = SW_SHOWNORMAL;
        result.set_value(ShellExecuteExW(&info) ? ERROR_SUCCESS : GetLastError());
    }).detach();
    ASSERT_EQ(outcome.wait_for(std::chrono::milliseconds(Deadline_Ms)), std::future_status::ready)
        << "ShellExecuteExW is showing something";
    EXPECT_EQ(outcome.get(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
