#include "dispatch_object.h"

#include "cell_value.h"
#include "stand_in.h"
#include "state_json.h"

namespace {

bool Is_Omitted(const VARIANT& v) { return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND; }

std::optional<std::wstring> Log_Text(const VARIANT& v) {
    if (Is_Omitted(v)) return std::nullopt;
    return Variant_Log_Text(v);
}

}  // namespace

// --- Member_Table ---

const Member* Member_Table::Find(DISPID id) const {
    if (id == DISPID_VALUE) id = Default;
    for (const Member& m : Members)
        if (m.Id == id) return &m;
    return nullptr;
}

const Member* Member_Table::Find(std::wstring_view name) const {
    if (Same_Name(name, L"_Default")) return Find(DISPID_VALUE);
    for (const Member& m : Members)
        if (Same_Name(m.Name, name)) return &m;
    return nullptr;
}

// --- Call ---

Call::Call(const wchar_t* class_name, const Member& member, Call_Kind kind)
    : class_name_(class_name), member_(member), kind_(kind), args_(member.Params.size()) {}

bool Call::Has(std::size_t position) const { return position < args_.size() && args_[position].has_value(); }

const VARIANT* Call::Arg(std::size_t position) const { return Has(position) ? &args_[position]->Get() : nullptr; }

std::optional<Unique_Variant> Call::Converted(const VARIANT* v, VARTYPE type) {
    if (!v) {
        Fail_Hresult(DISP_E_PARAMNOTOPTIONAL, L"引数は省略できません。");
        return std::nullopt;
    }
    Unique_Variant converted;
    if (FAILED(VariantChangeTypeEx(converted.Address(), const_cast<VARIANT*>(v), LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL,
                                   type))) {
        Fail_Hresult(DISP_E_TYPEMISMATCH, L"型が一致しません。");
        return std::nullopt;
    }
    return converted;
}

std::optional<std::wstring> Call::Text(std::size_t position) {
    const auto v = Converted(Arg(position), VT_BSTR);
    if (!v) return std::nullopt;
    return std::wstring(v->Get().bstrVal, SysStringLen(v->Get().bstrVal));
}

std::optional<long> Call::Long(std::size_t position) {
    const auto v = Converted(Arg(position), VT_I4);
    if (!v) return std::nullopt;
    return v->Get().lVal;
}

std::optional<double> Call::Double(std::size_t position) {
    const auto v = Converted(Arg(position), VT_R8);
    if (!v) return std::nullopt;
    return v->Get().dblVal;
}

std::optional<bool> Call::Bool(std::size_t position) {
    const auto v = Converted(Arg(position), VT_BOOL);
    if (!v) return std::nullopt;
    return v->Get().boolVal != VARIANT_FALSE;
}

std::optional<std::wstring> Call::Optional_Text(std::size_t position) {
    return Has(position) ? Text(position) : std::nullopt;
}

std::optional<bool> Call::Optional_Bool(std::size_t position) { return Has(position) ? Bool(position) : std::nullopt; }

std::optional<long> Call::Optional_Long(std::size_t position) { return Has(position) ? Long(position) : std::nullopt; }

std::optional<std::wstring> Call::Value_Text() {
    const auto v = Converted(&value_.Get(), VT_BSTR);
    if (!v) return std::nullopt;
    return std::wstring(v->Get().bstrVal, SysStringLen(v->Get().bstrVal));
}

std::optional<long> Call::Value_Long() {
    const auto v = Converted(&value_.Get(), VT_I4);
    if (!v) return std::nullopt;
    return v->Get().lVal;
}

std::optional<double> Call::Value_Double() {
    const auto v = Converted(&value_.Get(), VT_R8);
    if (!v) return std::nullopt;
    return v->Get().dblVal;
}

std::optional<bool> Call::Value_Bool() {
    const auto v = Converted(&value_.Get(), VT_BOOL);
    if (!v) return std::nullopt;
    return v->Get().boolVal != VARIANT_FALSE;
}

void Call::Return(Unique_Variant value) { result_value_ = std::move(value); }

void Call::Return_Object(IDispatch* owned) {
    VARIANT* v = result_value_.Put();
    v->vt = VT_DISPATCH;
    v->pdispVal = owned;
}

void Call::Return_Nothing() { Return_Object(nullptr); }

void Call::Fail() {
    const std::wstring what = std::wstring(class_name_) + L" クラスの " + member_.Name;
    switch (kind_) {
        case Call_Kind::Get:
            Fail(Xl_Error_1004, what + L" プロパティを取得できません。");
            break;
        case Call_Kind::Put:
            Fail(Xl_Error_1004, what + L" プロパティを設定できません。");
            break;
        case Call_Kind::Method:
            Fail(Xl_Error_1004, what + L" メソッドが失敗しました。");
            break;
    }
}

void Call::Fail(HRESULT code, std::wstring description) {
    if (Failed()) return;
    result_ = DISP_E_EXCEPTION;
    code_ = code;
    description_ = std::move(description);
}

void Call::Fail_Index() { Fail(DISP_E_BADINDEX, L"インデックスが有効範囲にありません。"); }

void Call::Fail_Deleted() { Fail(Xl_Object_Deleted, L"オートメーション エラーです。オブジェクトは削除されています。"); }

void Call::Fail_Hresult(HRESULT result, std::wstring description) {
    if (Failed()) return;
    result_ = result;
    description_ = std::move(description);
}

void Call::Not_Supported(std::wstring_view what) {
    Fail_Hresult(E_NOTIMPL, L"Excel スタンドインは次に対応していません: " + std::wstring(what));
}

// --- Dispatch_Object ---

Dispatch_Object::Dispatch_Object(Stand_In& stand_in, const Member_Table& members, const wchar_t* class_name)
    : stand_in_(stand_in), members_(members), class_name_(class_name) {
    stand_in_.Object_Created(this);
}

Dispatch_Object::~Dispatch_Object() { stand_in_.Object_Destroyed(this); }

Dispatch_Object* Dispatch_Object::From(IUnknown* unknown) {
    void* ours = nullptr;
    if (!unknown || FAILED(unknown->QueryInterface(Iid_Stand_In_Object, &ours))) return nullptr;
    return static_cast<Dispatch_Object*>(static_cast<IDispatch*>(ours));
}

STDMETHODIMP Dispatch_Object::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != Iid_Stand_In_Object) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) Dispatch_Object::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) Dispatch_Object::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP Dispatch_Object::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP Dispatch_Object::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP Dispatch_Object::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    const Member* member = names[0] ? members_.Find(std::wstring_view(names[0])) : nullptr;
    HRESULT hr = S_OK;
    ids[0] = member ? (Same_Name(names[0], L"_Default") ? DISPID_VALUE : member->Id) : DISPID_UNKNOWN;
    if (!member) hr = DISP_E_UNKNOWNNAME;
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        for (std::size_t p = 0; member && names[i] && p < member->Params.size(); ++p)
            if (Same_Name(member->Params[p], names[i])) ids[i] = static_cast<DISPID>(p);
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT Dispatch_Object::Bind_Arguments(Call& call, const DISPPARAMS& params, UINT* arg_error) const {
    const std::size_t slots = call.args_.size();
    const UINT named = params.cNamedArgs;
    if (params.cArgs < named || (params.cArgs > 0 && !params.rgvarg) || (named > 0 && !params.rgdispidNamedArgs))
        return E_INVALIDARG;
    bool has_value = false;
    auto store = [&](std::optional<Unique_Variant>& slot, const VARIANT& v) {
        if (Is_Omitted(v)) return S_OK;
        HRESULT hr = S_OK;
        slot = Unique_Variant::Copy_Of(v, &hr);
        return hr;
    };
    for (UINT i = 0; i < named; ++i) {
        const DISPID id = params.rgdispidNamedArgs[i];
        HRESULT hr = S_OK;
        if (id == DISPID_PROPERTYPUT && call.kind_ == Call_Kind::Put) {
            call.value_ = Unique_Variant::Copy_Of(params.rgvarg[i], &hr);
            has_value = true;
        } else if (id >= 0 && static_cast<std::size_t>(id) < slots) {
            hr = store(call.args_[static_cast<std::size_t>(id)], params.rgvarg[i]);
        } else {
            hr = DISP_E_PARAMNOTFOUND;
        }
        if (FAILED(hr)) {
            if (arg_error) *arg_error = i;
            return hr;
        }
    }
    const UINT positional = params.cArgs - named;
    if (positional > slots) return DISP_E_BADPARAMCOUNT;
    for (UINT p = 0; p < positional; ++p) {
        // DISPPARAMS holds the arguments last to first.
        const UINT index = params.cArgs - 1 - p;
        if (call.args_[p]) return DISP_E_BADPARAMCOUNT;  // also given by name
        const HRESULT hr = store(call.args_[p], params.rgvarg[index]);
        if (FAILED(hr)) {
            if (arg_error) *arg_error = index;
            return hr;
        }
    }
    if (call.kind_ == Call_Kind::Put && !has_value) return DISP_E_PARAMNOTOPTIONAL;
    return S_OK;
}

STDMETHODIMP Dispatch_Object::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* arg_error) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    // Our own reference for the length of the call: a handler may end the last client reference.
    Com_Ptr<IDispatch> keep = Com_Ptr<IDispatch>::Share(this);
    static const DISPPARAMS no_params{};
    const DISPPARAMS& p = params ? *params : no_params;
    const Member* member = members_.Find(id);
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;

    Call_Record record;
    record.Object = class_name_;
    record.Member = member ? member->Name : L"#" + std::to_wstring(id);
    record.Kind = put ? L"put" : (member && member->Kind == Member_Kind::Method ? L"method" : L"get");
    for (UINT i = p.cArgs; i-- > p.cNamedArgs;) record.Args.push_back(Log_Text(p.rgvarg[i]));
    for (UINT i = 0; i < p.cNamedArgs && p.rgdispidNamedArgs; ++i) {
        const DISPID named = p.rgdispidNamedArgs[i];
        if (named == DISPID_PROPERTYPUT)
            record.Args.push_back(Log_Text(p.rgvarg[i]));
        else if (member && named >= 0 && static_cast<std::size_t>(named) < member->Params.size())
            record.Named.emplace_back(member->Params[static_cast<std::size_t>(named)], Log_Text(p.rgvarg[i]));
        else
            record.Named.emplace_back(L"#" + std::to_wstring(named), Log_Text(p.rgvarg[i]));
    }

    HRESULT hr = S_OK;
    if (!member || (put && member->Kind != Member_Kind::Property)) {
        hr = DISP_E_MEMBERNOTFOUND;
    } else {
        const Call_Kind kind =
            put ? Call_Kind::Put : (member->Kind == Member_Kind::Method ? Call_Kind::Method : Call_Kind::Get);
        Call call(class_name_, *member, kind);
        hr = Bind_Arguments(call, p, arg_error);
        if (SUCCEEDED(hr)) {
            if (stand_in_.Take_Failure(class_name_, member->Name))
                call.Fail();
            else
                Invoke_Member(member->Id, call);
            hr = call.result_;
            record.Error = call.description_;
            if (hr == S_OK && result) call.result_value_.Detach_To(result);
            if (hr == DISP_E_EXCEPTION && exception) {
                *exception = EXCEPINFO{};
                exception->scode = call.code_;
                exception->bstrSource = SysAllocString(L"Microsoft Excel");
                exception->bstrDescription = SysAllocString(call.description_.c_str());
            }
        }
    }
    record.Result = hr;
    stand_in_.After_Call(record);
    return hr;
}

std::wstring Variant_Log_Text(const VARIANT& value) {
    HRESULT hr = S_OK;
    const Unique_Variant plain = Unique_Variant::Copy_Of(value, &hr);
    if (FAILED(hr)) return L"<unreadable>";
    const VARIANT& v = plain.Get();
    if (v.vt == (VT_ARRAY | VT_VARIANT) && v.parray) {
        // The values, so that a log shows what a block write wrote.
        std::wstring text = L"<array";
        void* data = nullptr;
        if (SUCCEEDED(SafeArrayAccessData(v.parray, &data))) {
            ULONG count = 1;
            for (UINT d = 0; d < v.parray->cDims; ++d) count *= v.parray->rgsabound[d].cElements;
            for (ULONG i = 0; i < count; ++i) text += L" " + Variant_Log_Text(static_cast<const VARIANT*>(data)[i]);
            SafeArrayUnaccessData(v.parray);
        }
        return text + L">";
    }
    if (v.vt & VT_ARRAY) return L"<array>";
    switch (v.vt) {
        case VT_EMPTY:
            return L"";
        case VT_NULL:
            return L"Null";
        case VT_BSTR:
            return std::wstring(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal));
        case VT_BOOL:
            return v.boolVal ? L"True" : L"False";
        case VT_DATE:
            return Date_Text(v.date);
        case VT_ERROR:
            return L"<error " + std::to_wstring(v.scode) + L">";
        case VT_DISPATCH:
        case VT_UNKNOWN: {
            if (!v.punkVal) return L"Nothing";
            Dispatch_Object* ours = Dispatch_Object::From(v.punkVal);
            if (!ours) return L"<object>";
            const std::wstring text = L"<" + ours->Describe() + L">";
            ours->Release();
            return text;
        }
        default: {
            Unique_Variant number;
            if (FAILED(VariantChangeType(number.Address(), const_cast<VARIANT*>(&v), 0, VT_R8))) return L"<unreadable>";
            return Number_Text(number.Get().dblVal);
        }
    }
}
