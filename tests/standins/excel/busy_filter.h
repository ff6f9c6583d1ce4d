#pragma once
// The stand-in's COM message filter: while a test has made Excel "busy" (a cell in edit mode, a
// dialog open), incoming automation calls are refused as Excel refuses them, so a client's retry
// logic can be exercised.
#include <windows.h>

#include <objidl.h>

class Stand_In;

class Busy_Filter final : public IMessageFilter {
public:
    explicit Busy_Filter(const Stand_In& stand_in) : stand_in_(stand_in) {}
    Busy_Filter(const Busy_Filter&) = delete;
    Busy_Filter& operator=(const Busy_Filter&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    // Lives on wWinMain's stack for the whole process: reference counts are not needed.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP_(DWORD)
    HandleInComingCall(DWORD call_type, HTASK caller, DWORD tick_count, LPINTERFACEINFO interface_info) override;
    STDMETHODIMP_(DWORD) RetryRejectedCall(HTASK callee, DWORD tick_count, DWORD reject_type) override;
    STDMETHODIMP_(DWORD) MessagePending(HTASK callee, DWORD tick_count, DWORD pending_type) override;

private:
    const Stand_In& stand_in_;
};
