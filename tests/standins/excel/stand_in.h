#pragma once
// The stand-in process's shared state: the Excel model, the records written for the tests, the
// live automation objects, and the controls a test uses to act as the user (busy time, injected
// failures, quitting). One object, owned by wWinMain and handed to every automation object.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "excel_copy.h"
#include "excel_model.h"
#include "sheet_view.h"
#include "state_json.h"

class Dispatch_Object;

// Where the records go; an empty path writes nothing.
struct Record_Files {
    std::wstring State;
    std::wstring Log;
};

// Posted to the stand-in's window to end the process once the current call has returned.
constexpr UINT Wm_Shut_Down = WM_APP + 1;

class Stand_In {
public:
    explicit Stand_In(Record_Files files);
    Stand_In(const Stand_In&) = delete;
    Stand_In& operator=(const Stand_In&) = delete;

    Excel_Model& Model() { return model_; }
    HWND Window() const { return window_; }
    void Attach_Window(HWND window) { window_ = window; }

    // Every automation object reports its birth and death. When the last one goes, Excel has no
    // client left and the process ends, as an automated Excel does.
    void Object_Created(Dispatch_Object* object);
    void Object_Destroyed(Dispatch_Object* object);
    bool Ever_Connected() const { return ever_connected_; }
    // A live object of that type for which the predicate holds, for handing out the same object
    // again as Excel does (a client that holds it keeps its proxy); nullptr when none.
    template <class T, class Predicate>
    T* Find_Live(Predicate predicate) const {
        for (Dispatch_Object* o : live_)
            if (T* t = dynamic_cast<T*>(o); t && predicate(*t)) return t;
        return nullptr;
    }
    // IClassFactory::LockServer: keeps the process while a client holds the lock.
    void Lock_Server(bool lock);

    // Appends the call to the log, then saves the state if the call changed it.
    void After_Call(const Call_Record& call);
    // Also brings the main window in line with the model: shown while Visible, titled as Excel's.
    void Save_State();
    // The window's repaint timer has fired: the next change starts it again.
    void Repaint_Started() { repaint_pending_ = false; }

    // "Object.Member:count" (count defaults to 1): the next count calls of that member fail with an
    // Excel error. False when the text is not of that form.
    [[nodiscard]] bool Fail_Member(std::wstring_view request);
    bool Take_Failure(std::wstring_view object, std::wstring_view member);

    // Another program's copy, made just before the next Worksheet.Paste or PasteSpecial reads the
    // clipboard (a copy racing the paste); taken once.
    void Copy_Before_Next_Paste(std::wstring text) { copy_before_paste_ = std::move(text); }
    std::optional<std::wstring> Take_Copy_Before_Paste() {
        if (copy_before_paste_.empty()) return std::nullopt;
        return std::exchange(copy_before_paste_, std::wstring());
    }

    void Busy_For(DWORD milliseconds);
    bool Is_Busy() const;
    // Lets window messages run until the busy time is over: Excel finishes what keeps it busy before
    // it renders a copy. Calls are refused and the test's commands done meanwhile.
    void Wait_While_Busy();

    // What the user copied in Excel, rendered on request.
    Excel_Copy& Copy() { return copy_; }

    // Excel goes away after the current call: state saved with "running":false, every client's
    // objects disconnected (their later calls fail), the message loop ended.
    void Request_Quit();
    // The user closed Excel: no workbook, no window; the process stays while a client holds an object.
    void User_Quit();
    // Runs on Wm_Shut_Down.
    void Shut_Down();

private:
    std::wstring copy_before_paste_;
    void Sync_Window();

    struct Injected_Failure {
        std::wstring Object;
        std::wstring Member;
        int Remaining;
    };

    Excel_Model model_;
    Record_Files files_;
    std::string saved_state_;
    HWND window_ = nullptr;
    std::vector<Dispatch_Object*> live_;
    bool ever_connected_ = false;
    int server_locks_ = 0;
    bool quit_requested_ = false;
    bool shut_down_ = false;
    bool repaint_pending_ = false;
    std::vector<Injected_Failure> failures_;
    ULONGLONG busy_until_ = 0;
    Excel_Copy copy_;
};

// The record files a test chose for this process (see standin_protocol.h).
Record_Files Record_Files_From_Environment();
// Whether the test asked for window titles without the workbook's extension.
bool Extensions_Hidden_From_Environment();

// Whether this start is to fail: the test's marker file was there (it is deleted).
bool Start_Fails_From_Environment();

// The user-interface language a test chose; Japanese when unset or not a number.
long Language_From_Environment();
