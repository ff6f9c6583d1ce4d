#include "com_handles.h"

namespace {

bool Convert(const VARIANT& in, VARTYPE type, VARIANT& out) {
    VariantInit(&out);
    return SUCCEEDED(VariantChangeTypeEx(&out, const_cast<VARIANT*>(&in), LOCALE_USER_DEFAULT, 0, type));
}

}  // namespace

Variant Variant::Array(long rows, long columns, const std::vector<Variant>& values) {
    Variant v;
    if (rows <= 0 || columns <= 0 ||
        values.size() != static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns))
        return v;
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 1}, {static_cast<ULONG>(columns), 1}};
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (!array) return v;
    for (long row = 0; row < rows; ++row) {
        for (long column = 0; column < columns; ++column) {
            LONG index[2] = {row + 1, column + 1};
            const Variant& value = values[static_cast<std::size_t>(row * columns + column)];
            if (FAILED(SafeArrayPutElement(array, index, const_cast<VARIANT*>(&value.v_)))) {
                SafeArrayDestroy(array);
                return v;
            }
        }
    }
    v.v_.vt = VT_ARRAY | VT_VARIANT;
    v.v_.parray = array;
    return v;
}

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
