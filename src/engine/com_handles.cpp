#include "com_handles.h"

namespace {

bool Convert(const VARIANT& in, VARTYPE type, VARIANT& out) {
    VariantInit(&out);
    return SUCCEEDED(VariantChangeTypeEx(&out, const_cast<VARIANT*>(&in), LOCALE_USER_DEFAULT, 0, type));
}

}  // namespace

bool Variant::To_Text(std::wstring& out) const {
    VARIANT c;
    if (!Convert(v_, VT_BSTR, c)) return false;
    out.assign(c.bstrVal ? c.bstrVal : L"", c.bstrVal ? SysStringLen(c.bstrVal) : 0);
    VariantClear(&c);
    return true;
}

bool Variant::To_Long(long& out) const {
    VARIANT c;
    if (!Convert(v_, VT_I4, c)) return false;
    out = c.lVal;
    return true;
}

bool Variant::To_Double(double& out) const {
    VARIANT c;
    if (!Convert(v_, VT_R8, c)) return false;
    out = c.dblVal;
    return true;
}
