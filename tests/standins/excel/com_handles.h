#pragma once
// RAII owners for the COM pieces the stand-in and its tests hold: interface pointers, VARIANTs,
// BSTRs and the apartment itself. Not copyable (a copy would release twice), movable, and each
// releases its old value before handing out its address for an out-parameter.
#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

template <class Interface>
class Com_Ptr {
public:
    Com_Ptr() = default;
    // Takes over a reference the caller already owns.
    explicit Com_Ptr(Interface* owned) : p_(owned) {}
    Com_Ptr(const Com_Ptr&) = delete;
    Com_Ptr& operator=(const Com_Ptr&) = delete;
    Com_Ptr(Com_Ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Com_Ptr& operator=(Com_Ptr&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.p_, nullptr));
        return *this;
    }
    ~Com_Ptr() { Reset(); }

    // A new reference to an interface someone else owns.
    static Com_Ptr Share(Interface* p) {
        if (p) p->AddRef();
        return Com_Ptr(p);
    }

    Interface* Get() const { return p_; }
    Interface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset(Interface* owned = nullptr) {
        if (p_) p_->Release();
        p_ = owned;
    }
    Interface* Detach() { return std::exchange(p_, nullptr); }
    Interface** Put() {
        Reset();
        return &p_;
    }
    void** Put_Void() { return reinterpret_cast<void**>(Put()); }

private:
    Interface* p_ = nullptr;
};

class Unique_Variant {
public:
    Unique_Variant() { VariantInit(&v_); }
    Unique_Variant(const Unique_Variant&) = delete;
    Unique_Variant& operator=(const Unique_Variant&) = delete;
    Unique_Variant(Unique_Variant&& o) noexcept {
        v_ = o.v_;
        VariantInit(&o.v_);
    }
    Unique_Variant& operator=(Unique_Variant&& o) noexcept {
        if (this != &o) {
            Reset();
            v_ = o.v_;
            VariantInit(&o.v_);
        }
        return *this;
    }
    ~Unique_Variant() { Reset(); }

    static Unique_Variant Text(std::wstring_view text) {
        Unique_Variant v;
        v.v_.vt = VT_BSTR;
        v.v_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return v;
    }
    static Unique_Variant Long(long value) {
        Unique_Variant v;
        v.v_.vt = VT_I4;
        v.v_.lVal = value;
        return v;
    }
    static Unique_Variant Double(double value) {
        Unique_Variant v;
        v.v_.vt = VT_R8;
        v.v_.dblVal = value;
        return v;
    }
    static Unique_Variant Bool(bool value) {
        Unique_Variant v;
        v.v_.vt = VT_BOOL;
        v.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
    static Unique_Variant Date(double value) {
        Unique_Variant v;
        v.v_.vt = VT_DATE;
        v.v_.date = value;
        return v;
    }
    // Shares the object: the variant holds a reference of its own.
    static Unique_Variant Object(IDispatch* object) {
        Unique_Variant v;
        v.v_.vt = VT_DISPATCH;
        v.v_.pdispVal = object;
        if (object) object->AddRef();
        return v;
    }
    // A copy with every VT_BYREF level followed, so readers see plain values.
    static Unique_Variant Copy_Of(const VARIANT& source, HRESULT* result = nullptr) {
        Unique_Variant v;
        // MinGW declares the source non-const; VariantCopyInd only reads it.
        const HRESULT hr = VariantCopyInd(&v.v_, const_cast<VARIANT*>(&source));
        if (result) *result = hr;
        return v;
    }

    const VARIANT& Get() const { return v_; }
    VARIANT* Address() { return &v_; }
    VARTYPE Type() const { return v_.vt; }
    void Reset() {
        VariantClear(&v_);
        VariantInit(&v_);
    }
    VARIANT* Put() {
        Reset();
        return &v_;
    }
    // Hands the value to a caller-owned VARIANT (an Invoke result).
    void Detach_To(VARIANT* target) {
        *target = v_;
        VariantInit(&v_);
    }

private:
    VARIANT v_;
};

class Unique_Bstr {
public:
    Unique_Bstr() = default;
    explicit Unique_Bstr(std::wstring_view text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Unique_Bstr(const Unique_Bstr&) = delete;
    Unique_Bstr& operator=(const Unique_Bstr&) = delete;
    Unique_Bstr(Unique_Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    Unique_Bstr& operator=(Unique_Bstr&& o) noexcept {
        if (this != &o) {
            SysFreeString(b_);
            b_ = std::exchange(o.b_, nullptr);
        }
        return *this;
    }
    ~Unique_Bstr() { SysFreeString(b_); }

    BSTR Get() const { return b_; }
    BSTR Detach() { return std::exchange(b_, nullptr); }
    BSTR* Put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    std::wstring Text() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

private:
    BSTR b_ = nullptr;
};

// The thread's single-threaded apartment for as long as this object lives. CoUninitialize runs only
// when CoInitializeEx succeeded: calling it after a failure (RPC_E_CHANGED_MODE, when the thread
// was already in another apartment) would tear down an apartment that belongs to someone else.
class Com_Apartment {
public:
    Com_Apartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    Com_Apartment(const Com_Apartment&) = delete;
    Com_Apartment& operator=(const Com_Apartment&) = delete;
    ~Com_Apartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};
