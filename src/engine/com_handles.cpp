#include "com_handles.h"

namespace {

// Enough for the objects of many passes; past it, an object is let go of at once, as without a hold.
constexpr std::size_t Max_Held_Releases = 512;

struct Held_Releases {
    int Holds = 0;
    std::vector<IDispatch*> Objects;
    unsigned long long Last_Releases = 0;
};
thread_local Held_Releases held;

bool Convert(const VARIANT& in, VARTYPE type, VARIANT& out) {
    VariantInit(&out);
    return SUCCEEDED(VariantChangeTypeEx(&out, const_cast<VARIANT*>(&in), LOCALE_USER_DEFAULT, 0, type));
}

}  // namespace

Release_Hold::Release_Hold() { ++held.Holds; }

Release_Hold::~Release_Hold() {
    if (--held.Holds == 0) Release_Held_All();
}

void Release_Dispatch(IDispatch* object) {
    if (!object) return;
    if (held.Holds > 0 && held.Objects.size() < Max_Held_Releases) {
        held.Objects.push_back(object);
        return;
    }
    if (object->Release() == 0) ++held.Last_Releases;
}

bool Release_Held_One() {
    if (held.Objects.empty()) return false;
    IDispatch* object = held.Objects.back();
    held.Objects.pop_back();
    // A round trip that may run window messages, which may hold back more.
    if (object->Release() == 0) ++held.Last_Releases;
    return true;
}

void Release_Held_All() {
    while (Release_Held_One()) {
    }
}

std::size_t Held_Release_Count() { return held.Objects.size(); }

unsigned long long Last_Releases_So_Far() { return held.Last_Releases; }

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
