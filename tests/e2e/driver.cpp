#include "driver.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <utility>

namespace {

// How long one cross-process message may take before the other side counts as hung.
constexpr UINT Send_Timeout_Ms = 5000;
// How long a killed process or an answered message box gets to go away.
constexpr int Teardown_Timeout_Ms = 5000;
constexpr int Poll_Interval_Ms = 20;
// The class name Windows and Wine give dialogs, message boxes included.
constexpr wchar_t Dialog_Class[] = L"#32770";
// The control ID of a message box's text.
constexpr int Message_Box_Text_Id = 0xFFFF;

DWORD Process_Of(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

// Visible top-level windows of the process, in z-order.
std::vector<HWND> Top_Windows(DWORD pid) {
    struct Search {
        DWORD Pid;
        std::vector<HWND> Found;
    } search{pid, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if (Process_Of(window) == s.Pid && IsWindowVisible(window)) s.Found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> found;
    EnumChildWindows(
        top,
        [](HWND window, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool Is_Dialog(HWND window) { return Class_Of(window) == Dialog_Class; }

// The first visible top-level window of the process that the test accepts, or nullptr at the deadline.
HWND Wait_For_Top_Window(DWORD pid, const std::function<bool(HWND)>& wanted, int timeout_ms) {
    HWND found = nullptr;
    (void)Wait_Until(
        [&] {
            for (HWND window : Top_Windows(pid))
                if (wanted(window)) return (found = window) != nullptr;
            return false;
        },
        timeout_ms);
    return found;
}

}  // namespace

bool Wait_Until(const std::function<bool()>& predicate, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    for (;;) {
        if (predicate()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return predicate();
        Sleep(Poll_Interval_Ms);
    }
}

std::wstring Wine_Path(const std::string& host_path) {
    const int size = static_cast<int>(host_path.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, host_path.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, host_path.data(), size, wide.data(), length);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return L"Z:" + wide;
}

Unique_Handle::Unique_Handle(Unique_Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

Unique_Handle& Unique_Handle::operator=(Unique_Handle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
}

void Unique_Handle::Reset(HANDLE handle) {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = handle;
}

std::optional<App_Process> App_Process::Start(const std::wstring& exe_source, const std::wstring& program_folder,
                                              std::wstring* failure) {
    auto fail = [&](const std::wstring& step) -> std::optional<App_Process> {
        const DWORD error = GetLastError();
        if (failure) *failure = step + L" failed with error " + std::to_wstring(error);
        return std::nullopt;
    };

    const size_t slash = exe_source.find_last_of(L"\\/");
    const std::wstring exe_name = slash == std::wstring::npos ? exe_source : exe_source.substr(slash + 1);
    const std::wstring exe_path = program_folder + L"\\" + exe_name;
    // An executable already in the program folder (an unpacked download) is started where it is.
    const bool in_place = CompareStringOrdinal(exe_source.c_str(), -1, exe_path.c_str(), -1, TRUE) == CSTR_EQUAL &&
                          GetFileAttributesW(exe_path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!in_place && !CopyFileW(exe_source.c_str(), exe_path.c_str(), FALSE)) {
        return fail(L"CopyFileW(" + exe_source + L" -> " + exe_path + L")");
    }

    // CreateProcessW may write into the command line, so it gets a buffer of its own.
    std::wstring command_line = L"\"" + exe_path + L"\"";
    // The program and whatever it starts (the stand-in servers) get the null device as their standard
    // handles, not the test runner's output pipe: a process left behind must not keep CTest waiting.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    Unique_Handle null_device(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          &inheritable, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = null_device.Get();
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exe_path.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        program_folder.c_str(), &startup, &info)) {
        return fail(L"CreateProcessW(" + exe_path + L")");
    }
    CloseHandle(info.hThread);
    return App_Process(Unique_Handle(info.hProcess), info.dwProcessId, exe_path);
}

App_Process& App_Process::operator=(App_Process&& other) noexcept {
    if (this != &other) {
        Kill();
        process_ = std::move(other.process_);
        pid_ = other.pid_;
        exe_path_ = std::move(other.exe_path_);
    }
    return *this;
}

void App_Process::Kill() {
    if (process_.Get() == nullptr) return;
    if (Is_Running()) {
        TerminateProcess(process_.Get(), 1);
        // Waited for so that the program folder can be removed right after.
        WaitForSingleObject(process_.Get(), Teardown_Timeout_Ms);
    }
    process_.Reset();
}

HWND App_Process::Wait_For_Main_Window(const std::wstring& caption, int timeout_ms) const {
    return Wait_For_Window(pid_, caption, timeout_ms);
}

bool App_Process::Is_Running() const {
    return process_.Get() != nullptr && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool App_Process::Wait_For_Exit(int timeout_ms) const {
    return process_.Get() != nullptr &&
           WaitForSingleObject(process_.Get(), static_cast<DWORD>(std::max(timeout_ms, 0))) == WAIT_OBJECT_0;
}

DWORD App_Process::Exit_Code() const {
    DWORD code = STILL_ACTIVE;
    if (process_.Get() == nullptr || !GetExitCodeProcess(process_.Get(), &code)) return STILL_ACTIVE;
    return code;
}

HWND Wait_For_Window(DWORD pid, const std::wstring& caption, int timeout_ms) {
    HWND found = nullptr;
    (void)Wait_Until(
        [&] {
            for (HWND window : Top_Windows(pid)) {
                if (!Is_Dialog(window) && Text_Of(window) == caption) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout_ms);
    return found;
}

HWND Wait_For_Window_Class(DWORD pid, const std::wstring& class_name, int timeout_ms) {
    return Wait_For_Top_Window(
        pid, [&](HWND w) { return Class_Of(w) == class_name; }, timeout_ms);
}

HWND Wait_For_Dialog(DWORD pid, int timeout_ms) {
    return Wait_For_Top_Window(
        pid, [](HWND w) { return Is_Dialog(w) && GetDlgItem(w, Message_Box_Text_Id) == nullptr; }, timeout_ms);
}

std::vector<Control_Info> List_Controls(HWND top) {
    std::vector<Control_Info> controls;
    for (HWND window : Descendants(top)) {
        Control_Info info;
        info.Hwnd = window;
        info.Id = GetDlgCtrlID(window);
        info.Class_Name = Class_Of(window);
        info.Text = Text_Of(window);
        info.Enabled = IsWindowEnabled(window) != FALSE;
        info.Visible = IsWindowVisible(window) != FALSE;
        GetWindowRect(window, &info.Rect);
        controls.push_back(std::move(info));
    }
    return controls;
}

HWND Find_Control(HWND top, int id) {
    for (HWND window : Descendants(top)) {
        if (GetDlgCtrlID(window) == id) return window;
    }
    return nullptr;
}

HWND Wait_For_Control(HWND top, int id, int timeout_ms) {
    HWND found = nullptr;
    (void)Wait_Until([&] { return (found = Find_Control(top, id)) != nullptr; }, timeout_ms);
    return found;
}

HWND Find_Control(HWND top, int id, const std::wstring& class_name) {
    for (HWND window : Descendants(top)) {
        if (GetDlgCtrlID(window) == id && Class_Of(window) == class_name) return window;
    }
    return nullptr;
}

std::optional<Control_Info> Find_By_Text(HWND top, const std::wstring& text) {
    for (Control_Info& info : List_Controls(top)) {
        if (info.Text == text) return std::move(info);
    }
    return std::nullopt;
}

bool Is_Usable(HWND control) {
    if (!IsWindow(control) || !IsWindowVisible(control)) return false;
    const HWND root = GetAncestor(control, GA_ROOT);
    for (HWND window = control; window != nullptr; window = GetAncestor(window, GA_PARENT)) {
        if (!IsWindowEnabled(window)) return false;
        if (window == root) break;
    }
    return true;
}

bool Click(HWND button) {
    if (!Is_Usable(button)) return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

namespace {

bool Choose_Several(HWND list) { return (GetWindowLongW(list, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0; }

bool Send_List(HWND list, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(list, message, wparam, lparam, SMTO_ABORTIFHUNG, Send_Timeout_Ms, &result) &&
           static_cast<LRESULT>(result) != LB_ERR;
}

}  // namespace

bool Select_List_Items(HWND list, std::initializer_list<int> indexes) {
    if (!Is_Usable(list) || !Choose_Several(list) || !Send_List(list, LB_SETSEL, FALSE, -1)) return false;
    for (int index : indexes)
        if (!Send_List(list, LB_SETSEL, TRUE, index)) return false;
    return true;
}

bool Click_List_Item(HWND list, int index) {
    if (!Is_Usable(list)) return false;
    // A list of several choices knows no current line: a plain click makes the line its only choice.
    const bool chosen = Choose_Several(list)
                            ? Send_List(list, LB_SETSEL, FALSE, -1) && Send_List(list, LB_SETSEL, TRUE, index)
                            : Send_List(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (!chosen) return false;
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE);
    return PostMessageW(GetParent(list), WM_COMMAND, command, reinterpret_cast<LPARAM>(list)) != FALSE;
}

bool Double_Click_List_Item(HWND list, int index) {
    if (!Click_List_Item(list, index)) return false;
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK);
    return PostMessageW(GetParent(list), WM_COMMAND, command, reinterpret_cast<LPARAM>(list)) != FALSE;
}

bool Press_Key(HWND window, UINT virtual_key) {
    if (!Is_Usable(window)) return false;
    const UINT scan = MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | static_cast<LPARAM>(scan) << 16;
    const LPARAM up = down | 0xC0000000;
    return PostMessageW(window, WM_KEYDOWN, virtual_key, down) && PostMessageW(window, WM_KEYUP, virtual_key, up);
}

bool Mouse_Click(HWND window) {
    if (!Is_Usable(window)) return false;
    RECT r{};
    if (!GetWindowRect(window, &r)) return false;
    // Absolute coordinates are in 0..65535 over the primary screen.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 1 || height <= 1) return false;
    const LONG x = ((r.left + r.right) / 2) * 65535 / (width - 1);
    const LONG y = ((r.top + r.bottom) / 2) * 65535 / (height - 1);
    INPUT input[3] = {};
    for (INPUT& i : input) {
        i.type = INPUT_MOUSE;
        i.mi.dx = x;
        i.mi.dy = y;
    }
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    return SendInput(3, input, sizeof(INPUT)) == 3;
}

bool Click_Window(HWND window) {
    if (!Is_Usable(window)) return false;
    RECT r{};
    GetClientRect(window, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    return PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at) && PostMessageW(window, WM_LBUTTONUP, 0, at);
}

std::vector<std::wstring> List_Items(HWND list) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
        const LRESULT got =
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        items.push_back(text);
    }
    return items;
}

bool Type_Text(HWND edit, const std::wstring& text) {
    if (!Is_Usable(edit)) return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                             Send_Timeout_Ms, &result)) {
        return false;
    }
    // Edits answer TRUE; a combo box answers CB_ERR or CB_ERRSPACE (both negative) on failure.
    return static_cast<LRESULT>(result) > 0;
}

bool Close_Window(HWND top) { return IsWindow(top) && PostMessageW(top, WM_CLOSE, 0, 0) != FALSE; }

std::wstring Text_Of(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, Send_Timeout_Ms, &length)) return {};
    // WM_GETTEXTLENGTH may overstate the length; the copied count from WM_GETTEXT is what counts.
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             Send_Timeout_Ms, &copied)) {
        return {};
    }
    text.resize(std::min<size_t>(copied, length));
    return text;
}

std::wstring Class_Of(HWND window) {
    // Window class names are at most 256 characters long.
    wchar_t name[257] = {};
    const int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring(name, static_cast<size_t>(std::max(length, 0)));
}

bool Is_Enabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

bool Is_Visible(HWND window) { return IsWindowVisible(window) != FALSE; }

std::optional<Message_Box> Wait_For_Message_Box(DWORD pid, int timeout_ms) {
    std::optional<Message_Box> box;
    (void)Wait_Until(
        [&] {
            for (HWND window : Top_Windows(pid)) {
                // A message box is shown only once its texts are set: a hidden one may still be empty.
                if (!Is_Dialog(window) || !IsWindowVisible(window)) continue;
                const HWND text = GetDlgItem(window, Message_Box_Text_Id);
                if (text == nullptr) continue;
                box = Message_Box{window, Text_Of(text), Text_Of(window)};
                return true;
            }
            return false;
        },
        timeout_ms);
    return box;
}

bool Answer_Message_Box(const Message_Box& box, int answer) {
    HWND button = GetDlgItem(box.Hwnd, answer);
    if (button == nullptr && answer == IDOK) button = GetDlgItem(box.Hwnd, IDCANCEL);
    if (button == nullptr || !Click(button)) return false;
    return Wait_Until([&] { return !IsWindow(box.Hwnd) || !IsWindowVisible(box.Hwnd); }, Teardown_Timeout_Ms);
}

std::vector<Tool_Tip> Tool_Tips(DWORD pid) {
    std::vector<HWND> tooltips;
    struct Search {
        DWORD Pid;
        std::vector<HWND>* Found;
    } search{pid, &tooltips};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if (Process_Of(window) == s.Pid && Class_Of(window) == TOOLTIPS_CLASSW) s.Found->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));

    std::vector<Tool_Tip> tips;
    Unique_Handle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!process.Get()) return tips;
    constexpr std::size_t Text_Chars = 80;  // the most a tooltip copies out
    const SIZE_T size = sizeof(TTTOOLINFOW) + Text_Chars * sizeof(wchar_t);
    auto* remote = static_cast<char*>(VirtualAllocEx(process.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return tips;
    for (HWND tooltip : tooltips) {
        const LRESULT count = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof tool);
            const wchar_t none[Text_Chars] = {};
            if (!WriteProcessMemory(process.Get(), remote, &tool, sizeof tool, nullptr) ||
                !WriteProcessMemory(process.Get(), remote + sizeof tool, none, sizeof none, nullptr) ||
                !SendMessageW(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote)))
                continue;
            wchar_t text[Text_Chars] = {};
            if (!ReadProcessMemory(process.Get(), remote, &tool, sizeof tool, nullptr) ||
                !ReadProcessMemory(process.Get(), remote + sizeof tool, text, sizeof text, nullptr))
                continue;
            text[Text_Chars - 1] = L'\0';
            tips.push_back({reinterpret_cast<HWND>(tool.uId), text});
        }
    }
    VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
    return tips;
}

bool Press_Keys(std::initializer_list<WORD> virtual_keys) {
    std::vector<INPUT> inputs;
    for (WORD key : virtual_keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto it = std::rbegin(virtual_keys); it != std::rend(virtual_keys); ++it) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}
