#pragma once
// IDispatch without a type library, the way Excel answers late-bound callers: every object class
// lists its members (name, kind, parameter names) in a table; GetIDsOfNames resolves names against
// it case-insensitively and refuses unknown members and unknown named arguments, so a misspelt call
// fails as it would against Excel. Invoke maps positional and named arguments onto the member's
// parameters, runs the class's handler, reports an Excel error through EXCEPINFO and records the
// call in the log.
#include <windows.h>

#include <oleauto.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com_handles.h"

class Stand_In;

enum class Member_Kind { Property, Read_Only, Method };

struct Member {
    DISPID Id;
    const wchar_t* Name;
    Member_Kind Kind;
    std::vector<const wchar_t*> Params;  // parameter names in order; a named argument's DISPID is its index
};

struct Member_Table {
    std::vector<Member> Members;
    DISPID Default = DISPID_UNKNOWN;  // the member a DISPID_VALUE call stands for

    const Member* Find(DISPID id) const;
    const Member* Find(std::wstring_view name) const;
};

enum class Call_Kind { Get, Put, Method };

// Excel's error for a failed method or property (run-time error 1004).
constexpr HRESULT Xl_Error_1004 = static_cast<HRESULT>(0x800A03EC);
// What Excel answers through an object whose book was closed or whose sheet was deleted.
constexpr HRESULT Xl_Object_Deleted = static_cast<HRESULT>(0x800401A8);

// One Invoke: the member, its arguments by parameter position, the result and the failure. Handlers
// read arguments through the typed getters (which fail the call on a wrong type or a missing
// required argument), then either set a result or fail the call; the first failure is kept.
class Call {
public:
    Call(const wchar_t* class_name, const Member& member, Call_Kind kind);

    const Member& Target() const { return member_; }
    Call_Kind Kind() const { return kind_; }

    // False when the argument was omitted (or passed as VT_ERROR DISP_E_PARAMNOTFOUND, as VB does).
    bool Has(std::size_t position) const;
    // The argument with every VT_BYREF level followed, or nullptr when omitted.
    const VARIANT* Arg(std::size_t position) const;
    // A property put's new value.
    const VARIANT& Value() const { return value_.Get(); }

    std::optional<std::wstring> Text(std::size_t position);
    std::optional<long> Long(std::size_t position);
    std::optional<double> Double(std::size_t position);
    std::optional<bool> Bool(std::size_t position);
    // The same for an optional argument: nothing, without failing, when it was omitted.
    std::optional<std::wstring> Optional_Text(std::size_t position);
    std::optional<bool> Optional_Bool(std::size_t position);
    std::optional<long> Optional_Long(std::size_t position);
    std::optional<std::wstring> Value_Text();
    std::optional<long> Value_Long();
    std::optional<double> Value_Double();
    std::optional<bool> Value_Bool();

    void Return(Unique_Variant value);
    void Return_Object(IDispatch* owned);  // takes over the reference
    void Return_Nothing();                 // VT_DISPATCH with a null pointer, VB's Nothing

    // "<Class> クラスの <Member> メソッドが失敗しました。" and the like, as Excel words it.
    void Fail();
    void Fail(HRESULT code, std::wstring description);
    void Fail_Index();    // the named or numbered item does not exist
    void Fail_Deleted();  // the book or sheet behind the object is gone
    // Plain COM failures Invoke returns without EXCEPINFO (type mismatch, missing argument, …).
    void Fail_Hresult(HRESULT result, std::wstring description);
    // Something Excel would do that the stand-in does not: a test sees it, it never passes silently.
    void Not_Supported(std::wstring_view what);
    bool Failed() const { return result_ != S_OK; }

private:
    friend class Dispatch_Object;

    std::optional<Unique_Variant> Converted(const VARIANT* v, VARTYPE type);

    const wchar_t* class_name_;
    const Member& member_;
    Call_Kind kind_;
    std::vector<std::optional<Unique_Variant>> args_;  // by parameter position
    Unique_Variant value_;
    Unique_Variant result_value_;
    HRESULT result_ = S_OK;  // what Invoke returns
    HRESULT code_ = S_OK;    // EXCEPINFO scode when result_ is DISP_E_EXCEPTION
    std::wstring description_;
};

// {8E3C4A57-0F0B-4B52-9B7E-5D1C6A2F4E31}: answered only by the stand-in's own objects, so that an
// argument such as Intersect's ranges can be recognised as one of ours. Calls from clients reach
// us through proxies, which COM unwraps back to our object when it is passed in again.
constexpr GUID Iid_Stand_In_Object = {0x8e3c4a57, 0x0f0b, 0x4b52, {0x9b, 0x7e, 0x5d, 0x1c, 0x6a, 0x2f, 0x4e, 0x31}};

class Dispatch_Object : public IDispatch {
public:
    Dispatch_Object(const Dispatch_Object&) = delete;
    Dispatch_Object& operator=(const Dispatch_Object&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* arg_error) override;

    const wchar_t* Class_Name() const { return class_name_; }
    // How the object shows in the call log when it is passed as an argument.
    virtual std::wstring Describe() const { return class_name_; }

    // One of our objects behind a pointer a client passed in, or nullptr; the caller gets a reference.
    static Dispatch_Object* From(IUnknown* unknown);

protected:
    Dispatch_Object(Stand_In& stand_in, const Member_Table& members, const wchar_t* class_name);
    virtual ~Dispatch_Object();

    virtual void Invoke_Member(DISPID id, Call& call) = 0;

    Stand_In& stand_in_;

private:
    HRESULT Bind_Arguments(Call& call, const DISPPARAMS& params, UINT* arg_error) const;

    const Member_Table& members_;
    const wchar_t* class_name_;
    LONG references_ = 1;
};

// The text of an argument for the call log: strings as they are, numbers and dates in a fixed
// format, objects by their description.
std::wstring Variant_Log_Text(const VARIANT& value);
