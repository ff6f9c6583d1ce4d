#pragma once
// Drives a running program from another process the way a user would: finds its windows and
// controls, clicks, types, reads text and answers message boxes. Everything that waits for the
// other process polls against a deadline, so a slow start shows up as a failed wait, never a hang.
//
//     Temp_Folder folder;
//     auto app = App_Process::Start(exe, folder.Path());
//     HWND main = app->Wait_For_Main_Window(L"Excelへの貼付コントロール", 10000);
//     Click(Find_Control(main, 100));
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Polls the predicate every 20 ms until it holds or the timeout has passed; checks once more at the
// deadline, so a timeout of 0 is a single check.
[[nodiscard]] bool Wait_Until(const std::function<bool()>& predicate, int timeout_ms);

// A build-host path ("/work/build/x.exe") as Wine sees it through its Z: drive ("Z:\work\build\x.exe").
std::wstring Wine_Path(const std::string& host_path);

// Owns one kernel handle; closes it once.
class Unique_Handle {
public:
    Unique_Handle() = default;
    explicit Unique_Handle(HANDLE handle) : handle_(handle) {}
    Unique_Handle(Unique_Handle&& other) noexcept;
    Unique_Handle& operator=(Unique_Handle&& other) noexcept;
    Unique_Handle(const Unique_Handle&) = delete;
    Unique_Handle& operator=(const Unique_Handle&) = delete;
    ~Unique_Handle() { Reset(); }

    HANDLE Get() const { return handle_; }
    void Reset(HANDLE handle = nullptr);

private:
    HANDLE handle_ = nullptr;
};

// The program under test, started from a program folder of its own. A process still running when
// this object goes is killed, so a failed test never leaves it behind for the next one.
class App_Process {
public:
    // Copies the executable into program_folder (which must exist; an executable already there is
    // not copied) and starts it there, with that
    // folder as its working directory. On failure, *failure (when given) says which step failed
    // and the Win32 error code.
    [[nodiscard]] static std::optional<App_Process> Start(const std::wstring& exe_source,
                                                          const std::wstring& program_folder,
                                                          std::wstring* failure = nullptr);

    App_Process(App_Process&& other) noexcept = default;
    App_Process& operator=(App_Process&& other) noexcept;
    App_Process(const App_Process&) = delete;
    App_Process& operator=(const App_Process&) = delete;
    ~App_Process() { Kill(); }

    DWORD Pid() const { return pid_; }
    const std::wstring& Exe_Path() const { return exe_path_; }

    // The visible top-level window of this process with exactly this caption, or nullptr at the
    // deadline. Message boxes are never taken for it, even when they carry the same caption.
    [[nodiscard]] HWND Wait_For_Main_Window(const std::wstring& caption, int timeout_ms) const;

    [[nodiscard]] bool Is_Running() const;
    [[nodiscard]] bool Wait_For_Exit(int timeout_ms) const;
    // The exit code once the process has ended; STILL_ACTIVE while it runs.
    DWORD Exit_Code() const;

private:
    App_Process(Unique_Handle process, DWORD pid, std::wstring exe_path)
        : process_(std::move(process)), pid_(pid), exe_path_(std::move(exe_path)) {}
    void Kill();

    Unique_Handle process_;
    DWORD pid_ = 0;
    std::wstring exe_path_;
};

// A visible top-level window of the process with exactly this caption, other than a message box,
// or nullptr at the deadline. For the main window and for the program's other forms.
[[nodiscard]] HWND Wait_For_Window(DWORD pid, const std::wstring& caption, int timeout_ms);

// A visible top-level window of the process with this window class, or nullptr at the deadline. For
// the program's other forms, whose class is their form's name.
[[nodiscard]] HWND Wait_For_Window_Class(DWORD pid, const std::wstring& class_name, int timeout_ms);

// A visible system dialog of the process (class "#32770") that is not a message box: the open-file
// dialog or the folder chooser. nullptr at the deadline.
[[nodiscard]] HWND Wait_For_Dialog(DWORD pid, int timeout_ms);

// One control as a user would see it. Enabled is the control's own state; Visible also takes its
// containers into account (IsWindowVisible). Rect is in screen pixels.
struct Control_Info {
    HWND Hwnd = nullptr;
    int Id = 0;
    std::wstring Class_Name;
    std::wstring Text;
    bool Enabled = false;
    bool Visible = false;
    RECT Rect = {};
};

// Every descendant of the window, at any depth (controls sit inside panel windows), in
// EnumChildWindows order.
std::vector<Control_Info> List_Controls(HWND top);

// The first descendant with this control ID at any depth, or nullptr.
HWND Find_Control(HWND top, int id);
[[nodiscard]] HWND Wait_For_Control(HWND top, int id, int timeout_ms);

// The first descendant with this control ID and window class, at any depth (system dialogs reuse IDs
// for a control and the edit inside it).
HWND Find_Control(HWND top, int id, const std::wstring& class_name);

// The first descendant whose text is exactly this one.
std::optional<Control_Info> Find_By_Text(HWND top, const std::wstring& text);

// Whether a user could act on the control now: it exists, is visible, and neither it nor any of its
// containers up to its top-level window is disabled (a modal message box disables its owner).
bool Is_Usable(HWND control);

// Clicks a button, check box or option button (BM_CLICK, posted so that a modal loop the click opens
// does not block the test). Returns false and does nothing when the control is not usable.
[[nodiscard]] bool Click(HWND button);

// Selects entry index of a list box as a click on it would: the selection, then the list's
// selection-change notice to the window that owns it (posted). False when the list is not usable.
[[nodiscard]] bool Click_List_Item(HWND list, int index);
// Chooses the entries of a list box of several choices as Ctrl+clicks would, without the program being
// told (it reads the choice when a button asks for it). False when the list is not usable or takes one.
[[nodiscard]] bool Select_List_Items(HWND list, std::initializer_list<int> indexes);
// Double-clicks entry index of a list box: the selection and the list's selection-change notice, then
// its double-click notice (both posted). False when the list is not usable.
[[nodiscard]] bool Double_Click_List_Item(HWND list, int index);
// A key pressed and let go in the window (posted key-down and key-up), as when it has the keyboard.
[[nodiscard]] bool Press_Key(HWND window, UINT virtual_key);
// Keys pressed together and let go through the system's input queue, as a keyboard gives them: each
// down in order, then each up in reverse order. For keys that the program holds system-wide.
[[nodiscard]] bool Press_Keys(std::initializer_list<WORD> virtual_keys);
// A real left-button click through the system's input queue in the middle of the window, as a user's
// mouse gives it: the window is activated on the way, and the one that had the focus loses it.
[[nodiscard]] bool Mouse_Click(HWND window);
// A left-button click in the middle of a window that has no button behaviour (an image cell).
[[nodiscard]] bool Click_Window(HWND window);
// The lines of a list box, as it shows them.
std::vector<std::wstring> List_Items(HWND list);
// Replaces the text of an edit or combo box as typing would (WM_SETTEXT, which also raises
// EN_CHANGE). Returns false and does nothing when the control is not usable, or when the program
// did not take the text within a few seconds.
[[nodiscard]] bool Type_Text(HWND edit, const std::wstring& text);

// Asks a window to close as its title bar's close button would (WM_CLOSE, posted).
[[nodiscard]] bool Close_Window(HWND top);

// The window's text as the program holds it now (WM_GETTEXT); empty when the window is gone or
// does not answer within a few seconds.
std::wstring Text_Of(HWND window);
std::wstring Class_Of(HWND window);
bool Is_Enabled(HWND window);
bool Is_Visible(HWND window);

struct Message_Box {
    HWND Hwnd = nullptr;
    std::wstring Text;
    std::wstring Caption;
};

// A visible message box (dialog class "#32770") of the process, with its message text, or nothing
// at the deadline.
[[nodiscard]] std::optional<Message_Box> Wait_For_Message_Box(DWORD pid, int timeout_ms);

// Presses the box's button (IDOK, or IDCANCEL where an OK-only box names its button so; IDYES or IDNO
// for a question) and returns true once the box has gone. False when the box has no such button.
[[nodiscard]] bool Answer_Message_Box(const Message_Box& box, int answer = IDOK);

// The tips a user sees when the pointer rests on a control: every tool of the process's tooltip
// windows, as the control it is for and its text (read from the other process's memory, as the
// tooltip answers with its text only into a buffer of its own process).
struct Tool_Tip {
    HWND Control = nullptr;
    std::wstring Text;
};
std::vector<Tool_Tip> Tool_Tips(DWORD pid);
