#include "busy_filter.h"

#include "stand_in.h"

namespace {

bool Running_Under_Wine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace

STDMETHODIMP Busy_Filter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IMessageFilter) return E_NOINTERFACE;
    *out = static_cast<IMessageFilter*>(this);
    return S_OK;
}

STDMETHODIMP_(DWORD) Busy_Filter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO interface_info) {
    if (!stand_in_.Is_Busy()) return SERVERCALL_ISHANDLED;
    // Only automation calls are refused: refusing the reference counting that COM itself sends
    // (IRemUnknown) would leak the client's objects and keep the process alive.
    if (interface_info && interface_info->iid != IID_IDispatch) return SERVERCALL_ISHANDLED;
    // Excel answers "retry later". Wine treats that answer as accepted and runs the call, so under
    // Wine the call is rejected outright; the client sees RPC_E_CALL_REJECTED either way.
    return Running_Under_Wine() ? SERVERCALL_REJECTED : SERVERCALL_RETRYLATER;
}

// The stand-in makes no outgoing calls; these answer as if it did not filter at all.
STDMETHODIMP_(DWORD) Busy_Filter::RetryRejectedCall(HTASK, DWORD, DWORD) { return static_cast<DWORD>(-1); }

STDMETHODIMP_(DWORD) Busy_Filter::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITDEFPROCESS; }
