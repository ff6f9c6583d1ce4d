#pragma once
// Late-bound automation: the one place that calls IDispatch. An Automation_Object holds one object of
// an automation server and calls its members by name. Excel's members are named only by Excel_Session
// (excel_session.h), which makes every call the program makes on Excel through this layer:
//
//   Automation_Object child = parent.Get(L"Member", {Variant::Long(1)}).Object();
//   child.Put(L"Property", Variant::Text(L"abc"));
//   child.Call(L"Method", {}, {{L"Argument", Variant::Bool(false)}});
//
// Every call returns its HRESULT and, for an error raised by the server, the server's description.
// Calls the server rejects because it is busy are retried every 250 ms for up to 10 s, with window
// messages running meanwhile.
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "com_handles.h"

class Automation_Object;

// Member IDs already asked for, by member and argument names: every lookup is a round trip to the
// server. One cache serves an object and its copies, or every object of one kind (Excel's Range
// objects all share one type and so one set of IDs): a fresh Range made each pass then asks for none.
using Member_Ids = std::map<std::wstring, std::vector<DISPID>, std::less<>>;

struct Call_Result {
    HRESULT Hr = S_OK;
    std::wstring Description;  // the server's text for DISP_E_EXCEPTION; else empty
    Variant Value;

    bool Ok() const { return SUCCEEDED(Hr); }
    // The member IDs of the returned object's kind, when the caller knows its kind; else the object
    // keeps its own.
    std::shared_ptr<Member_Ids> Kind_Ids;

    // The returned object; a Nothing object when the value is no object (or a null one).
    Automation_Object Object() const;
};

using Named_Argument = std::pair<std::wstring, Variant>;

class Automation_Object {
public:
    Automation_Object() = default;
    explicit Automation_Object(Com_Ptr<IDispatch> object,
                               std::shared_ptr<Member_Ids> ids = std::make_shared<Member_Ids>())
        : object_(std::move(object)), ids_(std::move(ids)) {}

    // Nothing: no object (Excel answers Nothing for ActiveWorkbook when no workbook is open).
    bool Is_Nothing() const { return !object_; }
    IDispatch* Raw() const { return object_.Get(); }
    // The same server object (COM identity, answered here without a call to the server); Nothing is
    // no object's same.
    bool Same_As(const Automation_Object& other) const;

    // Property get, with arguments for indexed properties (Cells(row, column), Item(name)).
    Call_Result Get(std::wstring_view member, std::initializer_list<Variant> args = {}) const;
    // Property put.
    Call_Result Put(std::wstring_view member, const Variant& value) const;
    // Method call with positional and named arguments.
    Call_Result Call(std::wstring_view member, std::vector<Variant> positional = {},
                     std::vector<Named_Argument> named = {}) const;

private:
    Call_Result Invoke(std::wstring_view member, WORD flags, std::vector<Variant> positional,
                       std::vector<Named_Argument> named, bool put) const;

    Com_Ptr<IDispatch> object_;
    // Shared by the copies of one object, or by every object of its kind.
    std::shared_ptr<Member_Ids> ids_;
};

// Creates the automation server's application object by class name (CLSCTX_SERVER).
Call_Result Create_Automation_Object(std::wstring_view class_name);

// The first failure since the last Clear, for code that carries on past failing steps and looks at
// the outcome only at fixed points.
class Error_State {
public:
    void Clear() { hr_ = S_OK, description_.clear(); }
    // Records the call's failure (a success leaves the state as it is); returns the call for chaining.
    const Call_Result& Record(const Call_Result& r) {
        if (!r.Ok() && SUCCEEDED(hr_)) hr_ = r.Hr, description_ = r.Description;
        return r;
    }
    bool Failed() const { return FAILED(hr_); }
    HRESULT Number() const { return hr_; }
    const std::wstring& Description() const { return description_; }

private:
    HRESULT hr_ = S_OK;
    std::wstring description_;
};

// Registers, for the lifetime of the object, the message filter that hands a call a busy server
// rejects straight back to the caller: the layer retries it itself (every 250 ms, up to 10 s) with
// window messages running. The apartment must be single-threaded.
class Busy_Retry_Filter_Registration {
public:
    Busy_Retry_Filter_Registration();
    Busy_Retry_Filter_Registration(const Busy_Retry_Filter_Registration&) = delete;
    Busy_Retry_Filter_Registration& operator=(const Busy_Retry_Filter_Registration&) = delete;
    ~Busy_Retry_Filter_Registration();

private:
    Com_Ptr<IMessageFilter> previous_;
    bool registered_ = false;
};

// How long and how often a rejected call is retried.
// What Excel answers while it is in a state of its own (a cell being edited, a dialog or a menu
// open): the call may work a moment later.
constexpr HRESULT Excel_Busy_State = static_cast<HRESULT>(0x800AC472);
bool Is_Busy_Answer(HRESULT hr);

// Told, on the calling thread, when calls begin to wait for a busy server and when one is answered
// again, so that the window can say that it waits. One watcher at a time; nullptr for none.
class Busy_Watcher {
public:
    virtual ~Busy_Watcher() = default;
    virtual void Server_Busy(bool busy) = 0;
};
void Set_Busy_Watcher(Busy_Watcher* watcher);

// Round trips to the server made on this thread so far: name lookups, calls, and the last releases of
// objects (benchmarks and tests compare them before and after).
struct Automation_Traffic {
    unsigned long long Lookups = 0;
    unsigned long long Calls = 0;
    unsigned long long Releases = 0;
};
Automation_Traffic Automation_Traffic_So_Far();

constexpr unsigned Busy_Retry_Interval_Ms = 250;
constexpr unsigned Busy_Retry_Limit_Ms = 10000;
