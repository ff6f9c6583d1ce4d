// ExcelStandIn.exe: stands in for Excel in the tests. COM starts it with "-Embedding" when a client
// creates "Excel.Application"; "/RegServer" and "/UnregServer" register and remove it.
//
// One process serves one client (REGCLS_SINGLEUSE, as a killed multiple-use server leaves Wine's
// class table pointing at a dead process until rpcss restarts). It runs a single-threaded apartment
// with a message loop and an "XLMAIN" window (shown while Excel is visible), through which tests act
// as the user, and ends
// when its last object is released, on Quit, or when the user quits.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "automation_objects.h"
#include "busy_filter.h"
#include "com_handles.h"
#include "registration.h"
#include "sheet_view.h"
#include "stand_in.h"
#include "standin_protocol.h"
#include "user_commands.h"

namespace {

// A process that COM started but no client reached (the client died first) does not stay forever.
constexpr UINT Idle_Timer = 1;
constexpr UINT Idle_Timeout_Ms = 60000;

class Class_Factory final : public IClassFactory {
public:
    Class_Factory(Stand_In& stand_in, bool fail_start) : stand_in_(stand_in), fail_start_(fail_start) {}
    Class_Factory(const Class_Factory&) = delete;
    Class_Factory& operator=(const Class_Factory&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    // Lives on wWinMain's stack until the class object is revoked.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (!stand_in_.Model().Running) return CO_E_SERVER_STOPPING;
        if (fail_start_) {
            fail_start_ = false;
            stand_in_.Request_Quit();
            return CO_E_SERVER_EXEC_FAILURE;
        }
        Com_Ptr<IDispatch> application(new Application_Object(stand_in_));
        return application->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        stand_in_.Lock_Server(lock != FALSE);
        return S_OK;
    }

private:
    Stand_In& stand_in_;
    bool fail_start_;
};

LRESULT CALLBACK Window_Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* stand_in = reinterpret_cast<Stand_In*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!stand_in) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
            std::wstring_view text(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
            return Run_User_Command(*stand_in, data->dwData, text) ? TRUE : FALSE;
        }
        case WM_RENDERFORMAT: {
            stand_in->Wait_While_Busy();
            const std::wstring name = stand_in->Copy().Render(static_cast<UINT>(wparam));
            if (!name.empty()) {
                stand_in->Model().Rendered_Formats.push_back(name);
                stand_in->Save_State();
            }
            return 0;
        }
        case WM_RENDERALLFORMATS:
            stand_in->Copy().Render_All(window);
            return 0;
        case WM_DESTROYCLIPBOARD:
            stand_in->Copy().Forget();
            return 0;
        case Wm_Shut_Down:
            stand_in->Shut_Down();
            return 0;
        case WM_TIMER:
            if (wparam == Repaint_Timer) {
                KillTimer(window, Repaint_Timer);
                stand_in->Repaint_Started();
                InvalidateRect(window, nullptr, FALSE);
            }
            if (wparam == Idle_Timer) {
                KillTimer(window, Idle_Timer);
                if (!stand_in->Ever_Connected()) stand_in->Request_Quit();
            }
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wparam) != WA_INACTIVE) {
                ++stand_in->Model().Window_Activations;
                stand_in->Save_State();
            }
            return DefWindowProcW(window, message, wparam, lparam);
        case WM_ERASEBKGND:
            return 1;  // the sheet paints every pixel
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client{};
            GetClientRect(window, &client);
            // Drawn off screen first, so the sheet does not flicker while copies land.
            HDC buffer = CreateCompatibleDC(dc);
            HBITMAP bitmap =
                CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
            HGDIOBJ old = SelectObject(buffer, bitmap);
            Paint_Sheet(buffer, client, stand_in->Model());
            BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
            SelectObject(buffer, old);
            DeleteObject(bitmap);
            DeleteDC(buffer);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_CLOSE:  // the user closing Excel's window
            stand_in->Request_Quit();
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

HWND Create_Main_Window(HINSTANCE instance, Stand_In& stand_in) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = Window_Procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = standin::Window_Class;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (!RegisterClassExW(&window_class)) return nullptr;
    return CreateWindowExW(0, standin::Window_Class, L"Excel", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 800,
                           600, nullptr, nullptr, instance, &stand_in);
}

std::wstring Exe_Path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool Is_Switch(std::wstring_view arg, std::wstring_view name) {
    return arg.size() == name.size() + 1 && (arg[0] == L'/' || arg[0] == L'-') && Same_Name(arg.substr(1), name);
}

int Serve(HINSTANCE instance) {
    const Com_Apartment apartment;
    if (FAILED(apartment.Result())) return 2;
    Stand_In stand_in(Record_Files_From_Environment());
    stand_in.Model().Extensions_Hidden = Extensions_Hidden_From_Environment();
    stand_in.Model().Ui_Language = Language_From_Environment();
    const HWND window = Create_Main_Window(instance, stand_in);
    if (!window) return 3;
    stand_in.Attach_Window(window);
    Busy_Filter filter(stand_in);
    if (FAILED(CoRegisterMessageFilter(&filter, nullptr))) return 4;
    Class_Factory factory(stand_in, Start_Fails_From_Environment());
    DWORD cookie = 0;
    if (FAILED(
            CoRegisterClassObject(Clsid_Excel_Application, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie)))
        return 5;
    stand_in.Save_State();  // the state file exists as soon as Excel runs
    SetTimer(window, Idle_Timer, Idle_Timeout_Ms, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    // Excel has quit: whatever COM's teardown waits for (a client that died mid-call), the process
    // ends within a few seconds, as a quitting Excel does.
    CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            Sleep(3000);
            ExitProcess(0);
        },
        nullptr, 0, nullptr);
    CoRevokeClassObject(cookie);
    CoRegisterMessageFilter(nullptr, nullptr);
    DestroyWindow(window);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    bool register_server = false;
    bool unregister_server = false;
    for (int i = 1; args && i < count; ++i) {
        register_server = register_server || Is_Switch(args[i], L"RegServer");
        unregister_server = unregister_server || Is_Switch(args[i], L"UnregServer");
    }
    LocalFree(args);
    if (register_server) return Register_Server(Exe_Path()) == ERROR_SUCCESS ? 0 : 1;
    if (unregister_server) return Unregister_Server() == ERROR_SUCCESS ? 0 : 1;
    return Serve(instance);
}
