// A small window for the end-to-end driver's own tests: the same shapes the real program has
// (controls inside a child panel, a disabled button, an edit mirrored into a label, an OK-only
// message box, a button that ends the program) without any of its logic.
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t Main_Class[] = L"E2E_Fixture_Main";
constexpr wchar_t Panel_Class[] = L"E2E_Fixture_Panel";
constexpr wchar_t Caption[] = L"E2Eフィクスチャ";

constexpr int Id_Press = 1000;
constexpr int Id_Disabled = 1001;
constexpr int Id_Label = 1100;
constexpr int Id_Edit = 1200;
constexpr int Id_Exit = 100;
constexpr int Exit_Code_From_Button = 3;

struct Control_Args {
    const wchar_t* Class_Name;
    const wchar_t* Text;
    int Id;
    DWORD Style;
    int Left, Top, Width, Height;
};

// State of the one main window, reached through GWLP_USERDATA.
struct Fixture {
    HWND Main = nullptr;
    HWND Edit = nullptr;
    HWND Label = nullptr;
    int Exit_Code = 0;
};

std::wstring Window_Text(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

HWND Create_Control(HWND parent, const Control_Args& args) {
    return CreateWindowExW(0, args.Class_Name, args.Text, WS_CHILD | WS_VISIBLE | args.Style, args.Left, args.Top,
                           args.Width, args.Height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.Id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void On_Command(Fixture& fixture, int id, int code) {
    switch (id) {
        case Id_Press:
            if (code == BN_CLICKED) MessageBoxW(fixture.Main, L"押されました。\r\n二行目", Caption, MB_OK);
            break;
        case Id_Disabled:
            // Never reached through the driver: the button is disabled.
            if (code == BN_CLICKED) SetWindowTextW(fixture.Edit, L"clicked");
            break;
        case Id_Edit:
            if (code == EN_CHANGE) SetWindowTextW(fixture.Label, Window_Text(fixture.Edit).c_str());
            break;
        case Id_Exit:
            if (code == BN_CLICKED) {
                fixture.Exit_Code = Exit_Code_From_Button;
                DestroyWindow(fixture.Main);
            }
            break;
        default:
            break;
    }
}

// The panel only contains the controls; their notifications go on to the main window, as they
// would in a form whose containers are picture boxes.
LRESULT CALLBACK Panel_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND) return SendMessageW(GetParent(window), WM_COMMAND, wparam, lparam);
    return DefWindowProcW(window, message, wparam, lparam);
}

bool Create_Children(Fixture& fixture) {
    const HWND panel = CreateWindowExW(0, Panel_Class, L"", WS_CHILD | WS_VISIBLE, 10, 10, 360, 200, fixture.Main,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    if (panel == nullptr) return false;
    const Control_Args controls[] = {
        {L"BUTTON", L"押す", Id_Press, BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 100, 28},
        {L"BUTTON", L"無効", Id_Disabled, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 120, 10, 100, 28},
        {L"EDIT", L"", Id_Edit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 50, 200, 24},
        {L"STATIC", L"ラベル", Id_Label, SS_LEFT, 10, 90, 300, 24},
        {L"BUTTON", L"終了", Id_Exit, BS_PUSHBUTTON | WS_TABSTOP, 10, 130, 100, 28},
    };
    for (const Control_Args& args : controls) {
        if (Create_Control(panel, args) == nullptr) return false;
    }
    fixture.Edit = GetDlgItem(panel, Id_Edit);
    fixture.Label = GetDlgItem(panel, Id_Label);
    return true;
}

LRESULT CALLBACK Main_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* fixture = static_cast<Fixture*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        fixture->Main = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(fixture));
    }
    auto* fixture = reinterpret_cast<Fixture*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (fixture == nullptr) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
        case WM_CREATE:
            return Create_Children(*fixture) ? 0 : -1;
        case WM_COMMAND:
            On_Command(*fixture, LOWORD(wparam), HIWORD(wparam));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(fixture->Exit_Code);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

bool Register_Class(const wchar_t* name, WNDPROC proc, HINSTANCE instance) {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = proc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = name;
    return RegisterClassExW(&window_class) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    if (!Register_Class(Main_Class, Main_Proc, instance) || !Register_Class(Panel_Class, Panel_Proc, instance)) {
        return 1;
    }
    Fixture fixture;
    if (CreateWindowExW(0, Main_Class, Caption, WS_OVERLAPPEDWINDOW, 100, 100, 400, 280, nullptr, nullptr, instance,
                        &fixture) == nullptr) {
        return 2;
    }
    ShowWindow(fixture.Main, show);
    UpdateWindow(fixture.Main);

    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
