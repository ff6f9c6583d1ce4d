#include "stand_in.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "com_handles.h"
#include "dispatch_object.h"
#include "standin_protocol.h"

namespace {

// How long a write waits for a test that holds the state file open for reading.
constexpr ULONGLONG Replace_Timeout_Ms = 2000;

void Report(const std::wstring& text) { OutputDebugStringW((L"ExcelStandIn: " + text + L"\n").c_str()); }

[[nodiscard]] bool Write_All(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Writes a temporary file beside the target, then swaps it in, so a reader never sees half a file.
// A reader without FILE_SHARE_DELETE blocks the swap for a moment: it is retried until a deadline.
[[nodiscard]] bool Replace_File(const std::wstring& path, const std::string& bytes) {
    const std::wstring temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    HANDLE file =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = Write_All(file, bytes);
    const bool closed = CloseHandle(file) != FALSE;
    if (!written || !closed) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    const ULONGLONG deadline = GetTickCount64() + Replace_Timeout_Ms;
    while (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (GetTickCount64() >= deadline) {
            DeleteFileW(temporary.c_str());
            return false;
        }
        Sleep(5);
    }
    return true;
}

[[nodiscard]] bool Append_Line(const std::wstring& path, const std::string& line) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = Write_All(file, line + "\n");
    return CloseHandle(file) && written;
}

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[2048];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 2048);
    return length > 0 && length < 2048 ? std::wstring(buffer, length) : std::wstring();
}

// The call's line with the moment it ended, when asked for (a benchmark sets the calls against its own times).
std::string Timed(std::string line) {
    static const bool wanted = Environment(standin::Log_Times_Variable) == L"1";
    if (!wanted) return line;
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    char at[48];
    std::snprintf(at, sizeof at, ",\"at_ms\":%.3f",
                  static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart));
    if (!line.empty() && line.back() == '}') line.insert(line.size() - 1, at);
    return line;
}

}  // namespace

Record_Files Record_Files_From_Environment() {
    return {Environment(standin::State_Variable), Environment(standin::Log_Variable)};
}

bool Extensions_Hidden_From_Environment() { return Environment(standin::Hide_Extensions_Variable) == L"1"; }

bool Start_Fails_From_Environment() {
    const std::wstring marker = Environment(standin::Fail_Start_Variable);
    if (marker.empty()) return false;
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char text[16] = {};
    DWORD read = 0;
    const int count = ReadFile(file, text, sizeof text - 1, &read, nullptr) && read > 0 ? std::atoi(text) : 1;
    bool deleted = false;
    if (count > 1) {
        const std::string rest = std::to_string(count - 1);
        DWORD written = 0;
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        WriteFile(file, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr);
        SetEndOfFile(file);
    }
    CloseHandle(file);
    if (count <= 1) deleted = DeleteFileW(marker.c_str()) != FALSE;
    return count > 1 || deleted;
}

long Language_From_Environment() {
    const std::wstring text = Environment(standin::Language_Variable);
    if (text.empty() || text.size() > 5 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return Language_Japanese;
    return std::stol(text);
}

Stand_In::Stand_In(Record_Files files) : files_(std::move(files)) {}

void Stand_In::Object_Created(Dispatch_Object* object) {
    live_.push_back(object);
    ever_connected_ = true;
}

void Stand_In::Object_Destroyed(Dispatch_Object* object) {
    std::erase(live_, object);
    if (live_.empty() && server_locks_ == 0) Request_Quit();
}

void Stand_In::Lock_Server(bool lock) {
    server_locks_ += lock ? 1 : -1;
    if (live_.empty() && server_locks_ <= 0 && ever_connected_) Request_Quit();
}

void Stand_In::After_Call(const Call_Record& call) {
    if (!files_.Log.empty() && !Append_Line(files_.Log, Timed(Call_Json(call))))
        Report(L"cannot append to " + files_.Log + L", error " + std::to_wstring(GetLastError()));
    Save_State();
}

void Stand_In::Sync_Window() {
    if (!window_ || shut_down_) return;
    const std::wstring title = Window_Title(model_);
    wchar_t shown[256] = {};
    GetWindowTextW(window_, shown, 256);
    if (title != shown) SetWindowTextW(window_, title.c_str());
    // The sheet is drawn again at most every Repaint_Ms: a paint per call would slow every call a
    // paste run makes.
    if (!repaint_pending_ && SetTimer(window_, Repaint_Timer, Repaint_Ms, nullptr)) repaint_pending_ = true;
    // Shown without taking the focus: only the program under test brings it forward.
    if ((IsWindowVisible(window_) != FALSE) != model_.Visible)
        ShowWindow(window_, model_.Visible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void Stand_In::Save_State() {
    Sync_Window();
    if (files_.State.empty()) return;
    std::string state = State_Json(model_);
    if (state == saved_state_) return;
    if (!Replace_File(files_.State, state)) {
        Report(L"cannot write " + files_.State + L", error " + std::to_wstring(GetLastError()));
        return;
    }
    saved_state_ = std::move(state);
}

bool Stand_In::Fail_Member(std::wstring_view request) {
    const std::size_t dot = request.find(L'.');
    const std::size_t colon = request.find(L':');
    if (dot == std::wstring_view::npos || dot == 0 || (colon != std::wstring_view::npos && colon < dot)) return false;
    const std::wstring_view member =
        request.substr(dot + 1, colon == std::wstring_view::npos ? colon : colon - dot - 1);
    if (member.empty()) return false;
    int count = 1;
    if (colon != std::wstring_view::npos) {
        const std::wstring digits(request.substr(colon + 1));
        if (digits.empty() || digits.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
        if (digits.size() > 9) return false;
        count = std::stoi(digits);
        if (count == 0) return false;
    }
    failures_.push_back({std::wstring(request.substr(0, dot)), std::wstring(member), count});
    return true;
}

bool Stand_In::Take_Failure(std::wstring_view object, std::wstring_view member) {
    for (auto it = failures_.begin(); it != failures_.end(); ++it) {
        if (!Same_Name(it->Object, object) || !Same_Name(it->Member, member)) continue;
        if (--it->Remaining <= 0) failures_.erase(it);
        return true;
    }
    return false;
}

void Stand_In::Busy_For(DWORD milliseconds) { busy_until_ = GetTickCount64() + milliseconds; }

bool Stand_In::Is_Busy() const { return GetTickCount64() < busy_until_; }

void Stand_In::Wait_While_Busy() {
    while (Is_Busy()) {
        const ULONGLONG now = GetTickCount64();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, busy_until_ > now ? static_cast<DWORD>(busy_until_ - now) : 0,
                                  QS_ALLINPUT);
        MSG message;
        while (Is_Busy() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void Stand_In::Request_Quit() {
    if (quit_requested_) return;
    quit_requested_ = true;
    if (!window_ || !PostMessageW(window_, Wm_Shut_Down, 0, 0)) Shut_Down();
}

void Stand_In::User_Quit() {
    model_.Close_All();
    model_.Visible = false;
    if (live_.empty() && server_locks_ <= 0) Request_Quit();
}

void Stand_In::Shut_Down() {
    if (shut_down_) return;
    shut_down_ = true;
    model_.Running = false;
    Save_State();
    // Disconnecting releases the clients' references, which may destroy objects: hold our own
    // reference to each while we go through them.
    std::vector<Com_Ptr<IDispatch>> objects;
    for (Dispatch_Object* object : live_) objects.push_back(Com_Ptr<IDispatch>::Share(object));
    for (const auto& object : objects) CoDisconnectObject(object.Get(), 0);
    objects.clear();
    PostQuitMessage(0);
}
