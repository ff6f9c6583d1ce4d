#include "automation.h"

#include <windows.h>

#include <chrono>

#include "wait.h"

namespace {

// Gives a call the server rejected straight back to Invoke, which retries it with window messages
// running. Retrying here instead would wait inside COM, where the window answers no clicks: "貼付終了"
// would do nothing while Excel is busy. One retry path also means Windows does what the tests see
// under Wine, where COM never asks the filter.
class Busy_Retry_Filter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
            *out = static_cast<IMessageFilter*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
        return static_cast<DWORD>(-1);  // give up: the call fails with the rejection
    }
    // A call Excel has accepted is short: painting and activation go on, input waits for the reply.
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

private:
    ULONG refs_ = 1;
};

}  // namespace

Automation_Object Call_Result::Object() const {
    const VARIANT& v = Value.Get();
    if (v.vt != VT_DISPATCH || !v.pdispVal) return Automation_Object();
    return Automation_Object(Com_Ptr<IDispatch>::Share(v.pdispVal),
                             Kind_Ids ? Kind_Ids : std::make_shared<Member_Ids>());
}

Call_Result Automation_Object::Get(std::wstring_view member, std::initializer_list<Variant> args) const {
    return Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::vector<Variant>(args), {}, false);
}

Call_Result Automation_Object::Put(std::wstring_view member, const Variant& value) const {
    return Invoke(member, DISPATCH_PROPERTYPUT, {value}, {}, true);
}

namespace {

// Counted where the calls are made: on the window's thread only.
thread_local Automation_Traffic traffic;

struct Busy_Watch {
    Busy_Watcher* Watcher = nullptr;
    bool Told_Busy = false;
};
// The automation calls are made on the window's thread only.
thread_local Busy_Watch busy_watch;

void Tell_Busy(bool busy) {
    if (busy_watch.Told_Busy == busy) return;
    busy_watch.Told_Busy = busy;
    if (busy_watch.Watcher) busy_watch.Watcher->Server_Busy(busy);
}

}  // namespace

void Set_Busy_Watcher(Busy_Watcher* watcher) { busy_watch = {watcher, false}; }

Call_Result Automation_Object::Call(std::wstring_view member, std::vector<Variant> positional,
                                    std::vector<Named_Argument> named) const {
    return Invoke(member, DISPATCH_METHOD, std::move(positional), std::move(named), false);
}

Call_Result Automation_Object::Invoke(std::wstring_view member, WORD flags, std::vector<Variant> positional,
                                      std::vector<Named_Argument> named, bool put) const {
    Call_Result r;
    if (!object_) {
        r.Hr = E_POINTER;
        r.Description = L"Nothing";
        return r;
    }

    // One GetIDsOfNames for the member and every argument name: the first ID is the member's. The IDs
    // are kept under the member's name and its argument names, joined.
    std::vector<std::wstring> names{std::wstring(member)};
    std::wstring key(member);
    for (const auto& [name, value] : named) {
        names.push_back(name);
        key += L'\x1';
        key += name;
    }
    std::vector<LPOLESTR> name_ptrs;
    for (std::wstring& n : names) name_ptrs.push_back(n.data());
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);

    // DISPPARAMS holds the named values first, in the order of their IDs, then the positional values
    // last to first. A property put passes its value as the one named argument DISPID_PROPERTYPUT.
    std::vector<Variant> args;
    std::vector<DISPID> named_ids;
    const auto started = std::chrono::steady_clock::now();
    bool from_cache = false;
    while (true) {
        const auto known = ids_ ? ids_->find(key) : Member_Ids::iterator();
        from_cache = ids_ && known != ids_->end() && known->second.size() == ids.size();
        if (from_cache) {
            ids = known->second;
            r.Hr = S_OK;
        } else {
            ++traffic.Lookups;
            r.Hr = object_->GetIDsOfNames(IID_NULL, name_ptrs.data(), static_cast<UINT>(name_ptrs.size()),
                                          LOCALE_USER_DEFAULT, ids.data());
            if (SUCCEEDED(r.Hr) && ids_) ids_->insert_or_assign(key, ids);
        }
        if (SUCCEEDED(r.Hr)) {
            args.clear();
            named_ids.clear();
            for (std::size_t i = 0; i < named.size(); ++i) {
                args.push_back(named[i].second);
                named_ids.push_back(ids[i + 1]);
            }
            for (auto it = positional.rbegin(); it != positional.rend(); ++it) args.push_back(*it);
            if (put) named_ids = {DISPID_PROPERTYPUT};

            std::vector<VARIANT> raw;
            for (const Variant& a : args) raw.push_back(a.Get());
            DISPPARAMS params{raw.data(), named_ids.data(), static_cast<UINT>(raw.size()),
                              static_cast<UINT>(named_ids.size())};
            EXCEPINFO info{};
            UINT arg_error = 0;
            ++traffic.Calls;
            r.Hr = object_->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, flags, &params, put ? nullptr : r.Value.Put(),
                                   &info, &arg_error);
            // An ID kept for the object's kind that this object does not know (it is of another kind
            // after all): its own answer by name decides.
            if (from_cache && (r.Hr == DISP_E_MEMBERNOTFOUND || r.Hr == DISP_E_UNKNOWNNAME)) {
                ids_->erase(key);
                SysFreeString(info.bstrSource);
                SysFreeString(info.bstrDescription);
                SysFreeString(info.bstrHelpFile);
                continue;
            }
            if (r.Hr == DISP_E_EXCEPTION) {
                if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
                if (info.bstrDescription)
                    r.Description.assign(info.bstrDescription, SysStringLen(info.bstrDescription));
                // A server may report its busy state as an exception; retry it like a rejection.
                if (Is_Busy_Answer(info.scode)) r.Hr = info.scode;
            }
            SysFreeString(info.bstrSource);
            SysFreeString(info.bstrDescription);
            SysFreeString(info.bstrHelpFile);
        }
        // A busy server (a cell in edit mode, a dialog open) rejects the call. It is retried here, on
        // every platform, while the window keeps handling messages (the message filter gives up at once).
        if (!Is_Busy_Answer(r.Hr)) break;
        const auto waited = std::chrono::steady_clock::now() - started;
        if (waited >= std::chrono::milliseconds(Busy_Retry_Limit_Ms)) break;
        Tell_Busy(true);
        Wait_Time(Busy_Retry_Interval_Ms);
    }
    // A call that gave up while the server was still busy leaves the wait shown for the next one.
    if (!Is_Busy_Answer(r.Hr)) Tell_Busy(false);
    return r;
}

Automation_Traffic Automation_Traffic_So_Far() {
    Automation_Traffic so_far = traffic;
    so_far.Releases = Last_Releases_So_Far();
    return so_far;
}

bool Is_Busy_Answer(HRESULT hr) {
    return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER || hr == Excel_Busy_State;
}

Call_Result Create_Automation_Object(std::wstring_view class_name) {
    Call_Result r;
    CLSID clsid{};
    const std::wstring name(class_name);
    r.Hr = CLSIDFromProgID(name.c_str(), &clsid);
    if (FAILED(r.Hr)) return r;
    Com_Ptr<IDispatch> object;
    r.Hr = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, reinterpret_cast<void**>(object.Put()));
    if (SUCCEEDED(r.Hr)) r.Value = Variant::Object(object.Get());
    return r;
}

Busy_Retry_Filter_Registration::Busy_Retry_Filter_Registration() {
    // Ours until COM takes its own reference while registered.
    const Com_Ptr<IMessageFilter> filter = Com_Ptr<IMessageFilter>::Attach(new Busy_Retry_Filter());
    registered_ = SUCCEEDED(CoRegisterMessageFilter(filter.Get(), previous_.Put()));
}

Busy_Retry_Filter_Registration::~Busy_Retry_Filter_Registration() {
    if (!registered_) return;
    Com_Ptr<IMessageFilter> ours;
    CoRegisterMessageFilter(previous_.Get(), ours.Put());
}

bool Automation_Object::Same_As(const Automation_Object& other) const {
    if (!object_ || !other.object_) return false;
    Com_Ptr<IUnknown> mine, theirs;
    return SUCCEEDED(object_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(mine.Put()))) &&
           SUCCEEDED(other.object_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(theirs.Put()))) &&
           mine.Get() == theirs.Get();
}
