#pragma once
// RAII owners for COM: interface pointers, VARIANTs and BSTRs. Not copyable where a copy would
// release twice; each frees its old value before handing out its address for an out-parameter.
#include <oaidl.h>
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// The last release of an object of another process is a round trip to that process, which is told to
// let the object go. While a Release_Hold lives on a thread, the dispatch objects let go of there by
// these owners are kept instead, and let go of when nothing waits for them (Release_Held_One) or when
// the last hold ends: a paste does not wait for the server's bookkeeping of the objects before it.
class Release_Hold {
public:
    Release_Hold();
    Release_Hold(const Release_Hold&) = delete;
    Release_Hold& operator=(const Release_Hold&) = delete;
    ~Release_Hold();
};
// Releases the reference now, or later while a hold lives on this thread.
void Release_Dispatch(IDispatch* object);
// Lets go of one object held back; false when none was.
bool Release_Held_One();
// Lets go of every object held back (before letting go of the server itself).
void Release_Held_All();
std::size_t Held_Release_Count();
// Releases of dispatch objects on this thread that let the object go (for a server's object, a round
// trip each).
unsigned long long Last_Releases_So_Far();

template <class T>
class Com_Ptr {
public:
    Com_Ptr() = default;
    // Takes a reference the caller already owns.
    static Com_Ptr Attach(T* p) {
        Com_Ptr c;
        c.p_ = p;
        return c;
    }
    // Adds a reference of its own.
    static Com_Ptr Share(T* p) {
        if (p) p->AddRef();
        return Attach(p);
    }
    Com_Ptr(const Com_Ptr& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    Com_Ptr(Com_Ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Com_Ptr& operator=(Com_Ptr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Com_Ptr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (!p_) return;
        if constexpr (std::is_same_v<T, IDispatch>)
            Release_Dispatch(std::exchange(p_, nullptr));
        else
            std::exchange(p_, nullptr)->Release();
    }
    // For out-parameters: releases the old pointer first.
    T** Put() {
        Reset();
        return &p_;
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    ~Bstr() { SysFreeString(b_); }
    BSTR Get() const { return b_; }
    BSTR Release() { return std::exchange(b_, nullptr); }
    BSTR* Put() {
        SysFreeString(std::exchange(b_, nullptr));
        return &b_;
    }
    std::wstring Text() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

private:
    BSTR b_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant& o) : Variant() { VariantCopy(&v_, const_cast<VARIANT*>(&o.v_)); }
    Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
    Variant& operator=(Variant o) noexcept {
        std::swap(v_, o.v_);
        return *this;
    }
    ~Variant() { Clear(); }

    static Variant Text(std::wstring_view text) {
        Variant v;
        v.v_.vt = VT_BSTR;
        v.v_.bstrVal = Bstr(text).Release();
        return v;
    }
    static Variant Long(long value) {
        Variant v;
        v.v_.vt = VT_I4;
        v.v_.lVal = value;
        return v;
    }
    static Variant Double(double value) {
        Variant v;
        v.v_.vt = VT_R8;
        v.v_.dblVal = value;
        return v;
    }
    static Variant Bool(bool value) {
        Variant v;
        v.v_.vt = VT_BOOL;
        v.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
    static Variant Date(DATE value) {
        Variant v;
        v.v_.vt = VT_DATE;
        v.v_.date = value;
        return v;
    }
    static Variant Object(IDispatch* object) {
        Variant v;
        v.v_.vt = VT_DISPATCH;
        v.v_.pdispVal = object;
        if (object) object->AddRef();
        return v;
    }

    // A two-dimensional array of values, rows first, as a rectangle of cells reads and is written:
    // values holds rows * columns elements, row by row. Empty when the array cannot be made.
    static Variant Array(long rows, long columns, const std::vector<Variant>& values);

    VARTYPE Type() const { return v_.vt; }
    const VARIANT& Get() const { return v_; }
    VARIANT* Put() {
        Clear();
        return &v_;
    }

    // Converted copies; false when the value does not convert.
    bool To_Text(std::wstring& out) const;
    bool To_Long(long& out) const;
    bool To_Double(double& out) const;

private:
    // A dispatch object goes the way of Com_Ptr's (it may be held back); anything else is cleared.
    void Clear() {
        if (v_.vt == VT_DISPATCH && v_.pdispVal) {
            Release_Dispatch(std::exchange(v_.pdispVal, nullptr));
            v_.vt = VT_EMPTY;
        }
        VariantClear(&v_);
    }

    VARIANT v_;
};
