#include "interop/com_variant.h"

#include "engine/values/containers.h"
#include "interop/com_object.h"

#include <oleauto.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace vexil {

namespace {

BSTR bstrOf(const WString& text) { return SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size())); }

// An Array as a SAFEARRAY of VARIANTs of the same shape, elements converted one by one.
SAFEARRAY* safeArrayOf(const ArrayBody& array) {
    SAFEARRAYBOUND bounds[kMaxDimensions];
    for (int d = 0; d < array.dims; ++d) bounds[d] = {static_cast<ULONG>(array.sizes[static_cast<size_t>(d)]), 0};
    SAFEARRAY* safe = SafeArrayCreate(VT_VARIANT, static_cast<UINT>(array.dims), bounds);
    if (!safe) return nullptr;
    LONG indices[kMaxDimensions] = {};
    for (const Variant& element : array.elements) {
        VARIANT item;
        VariantInit(&item);
        toVariant(element, item);
        SafeArrayPutElement(safe, indices, &item);
        VariantClear(&item);
        // The script's row-major order: the last subscript moves fastest.
        for (int d = array.dims - 1; d >= 0; --d) {
            if (++indices[d] < array.sizes[static_cast<size_t>(d)]) break;
            indices[d] = 0;
        }
    }
    return safe;
}

SAFEARRAY* byteArrayOf(const std::string& bytes) {
    SAFEARRAY* safe = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    if (safe && SUCCEEDED(SafeArrayAccessData(safe, &data))) {
        if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
        SafeArrayUnaccessData(safe);
    }
    return safe;
}

// A SAFEARRAY of any element type as an Array: every element read through a by-reference
// VARIANT that points into the array's data.
bool arrayOfSafeArray(SAFEARRAY* safe, VARTYPE elementType, Variant& out) {
    const UINT dims = SafeArrayGetDim(safe);
    if (dims == 0 || dims > static_cast<UINT>(kMaxDimensions)) return false;
    auto* body = new ArrayBody();
    out = Variant::container(VarKind::Array, body);
    body->dims = static_cast<int>(dims);
    LONG lower[kMaxDimensions], indices[kMaxDimensions];
    int64_t total = 1;
    for (UINT d = 0; d < dims; ++d) {
        LONG low = 0, high = -1;
        SafeArrayGetLBound(safe, d + 1, &low);
        SafeArrayGetUBound(safe, d + 1, &high);
        lower[d] = indices[d] = low;
        body->sizes[d] = high >= low ? static_cast<int32_t>(high - low + 1) : 0;
        total *= body->sizes[d];
    }
    if (total > kMaxElements) total = 0;
    body->elements.resize(static_cast<size_t>(total), Variant::string(WString()));
    if (total == 0 || FAILED(SafeArrayLock(safe))) return true;
    for (Variant& element : body->elements) {
        void* cell = nullptr;
        if (SUCCEEDED(SafeArrayPtrOfIndex(safe, indices, &cell))) {
            VARIANT view;
            VariantInit(&view);
            view.vt = static_cast<VARTYPE>(elementType | VT_BYREF);
            view.byref = cell;
            fromVariant(view, element);
        }
        for (int d = static_cast<int>(dims) - 1; d >= 0; --d) {
            if (++indices[d] < lower[d] + body->sizes[static_cast<size_t>(d)]) break;
            indices[d] = lower[d];
        }
    }
    SafeArrayUnlock(safe);
    return true;
}

// "yyyymmddhhmmss" of an automation date: days since 30 December 1899, the fraction (of either
// sign's day) the time, rounded to the second. Plain arithmetic, without a system call per value.
Variant dateText(DATE date) {
    if (!(date > -657435.0 && date < 2958466.0)) return Variant::string(WString()); // years 100 to 9999
    int64_t days = static_cast<int64_t>(date); // toward zero
    int64_t seconds = std::llround(std::fabs(date - static_cast<double>(days)) * 86400.0);
    if (seconds == 86400) {
        seconds = 0;
        ++days;
    }
    // The civil date of a day count from 1 March of year 0.
    const int64_t z = days - 25569 + 719468; // 30 December 1899 -> 1 January 1970 -> 1 March 0000
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    wchar_t text[32];
    swprintf(text, 32, L"%4d%02d%02d%02d%02d%02d", year, month, day, static_cast<int>(seconds / 3600),
             static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return Variant::string(WString(text));
}

} // namespace

void toVariant(const Variant& given, VARIANT& out) {
    const Variant& value = given.dereferenced();
    switch (value.kind()) {
    case VarKind::Int32:
        out.vt = VT_I4;
        out.lVal = value.int32Value();
        return;
    case VarKind::Int64:
        out.vt = VT_I8;
        out.llVal = value.int64Value();
        return;
    case VarKind::Double:
        out.vt = VT_R8;
        out.dblVal = value.doubleValue();
        return;
    case VarKind::String:
        out.vt = VT_BSTR;
        out.bstrVal = bstrOf(value.text());
        return;
    case VarKind::Ptr:
        out.vt = VT_UI8;
        out.ullVal = value.toPointer();
        return;
    case VarKind::Bool:
        out.vt = VT_BOOL;
        out.boolVal = value.toBool() ? VARIANT_TRUE : VARIANT_FALSE;
        return;
    case VarKind::Keyword:
        if (value.isDefault()) {
            // An omitted optional argument.
            out.vt = VT_ERROR;
            out.scode = DISP_E_PARAMNOTFOUND;
        } else {
            out.vt = VT_NULL;
        }
        return;
    case VarKind::Binary:
        if (SAFEARRAY* bytes = byteArrayOf(value.binaryRecord()->bytes)) {
            out.vt = VT_ARRAY | VT_UI1;
            out.parray = bytes;
        }
        return;
    case VarKind::Array:
        if (SAFEARRAY* array = safeArrayOf(*arrayBody(value))) {
            out.vt = VT_ARRAY | VT_VARIANT;
            out.parray = array;
        }
        return;
    case VarKind::Object:
        if (IUnknown* unknown = objectInterface(value)) {
            IDispatch* dispatch = nullptr;
            if (SUCCEEDED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
                out.vt = VT_DISPATCH;
                out.pdispVal = dispatch;
            } else {
                unknown->AddRef();
                out.vt = VT_UNKNOWN;
                out.punkVal = unknown;
            }
        }
        return;
    default: return; // no automation form: VT_EMPTY
    }
}

bool fromVariant(const VARIANT& in, Variant& out) {
    const bool byRef = (in.vt & VT_BYREF) != 0;
    const VARTYPE type = static_cast<VARTYPE>(in.vt & ~VT_BYREF);
    out = Variant::string(WString());
    if (byRef && !in.byref) return false; // a null reference gives nothing
    if (type & VT_ARRAY) {
        SAFEARRAY* safe = byRef ? *in.pparray : in.parray;
        VARTYPE element = static_cast<VARTYPE>(type & ~VT_ARRAY);
        if (!safe) return true;
        if (element == VT_EMPTY && FAILED(SafeArrayGetVartype(safe, &element))) return false;
        return arrayOfSafeArray(safe, element, out);
    }
    switch (type) {
    case VT_EMPTY: return true;
    case VT_NULL: out = Variant::nullKeyword(); return true;
    case VT_I1: out = Variant::int32(byRef ? *in.pcVal : in.cVal); return true;
    case VT_I2: out = Variant::int32(byRef ? *in.piVal : in.iVal); return true;
    case VT_UI1: out = Variant::int32(byRef ? *in.pbVal : in.bVal); return true;
    case VT_UI2: out = Variant::int32(byRef ? *in.puiVal : in.uiVal); return true;
    case VT_I4:
    case VT_INT: out = Variant::int32(byRef ? *in.plVal : in.lVal); return true;
    case VT_UI4:
    case VT_UINT: out = Variant::int32(static_cast<int32_t>(byRef ? *in.pulVal : in.ulVal)); return true;
    case VT_I8: out = Variant::int64(byRef ? *in.pllVal : in.llVal); return true;
    case VT_UI8: out = Variant::int64(static_cast<int64_t>(byRef ? *in.pullVal : in.ullVal)); return true;
    case VT_R4: out = Variant::real(byRef ? *in.pfltVal : in.fltVal); return true;
    case VT_R8: out = Variant::real(byRef ? *in.pdblVal : in.dblVal); return true;
    case VT_CY: out = Variant::real(static_cast<double>((byRef ? *in.pcyVal : in.cyVal).int64) / 10000.0); return true;
    case VT_DECIMAL: {
        double number = 0;
        VarR8FromDec(byRef ? in.pdecVal : const_cast<DECIMAL*>(&in.decVal), &number);
        out = Variant::real(number);
        return true;
    }
    case VT_DATE: out = dateText(byRef ? *in.pdate : in.date); return true;
    case VT_BSTR: {
        BSTR text = byRef ? *in.pbstrVal : in.bstrVal;
        out = Variant::string(text ? WString(std::wstring_view(text, SysStringLen(text))) : WString());
        return true;
    }
    case VT_BOOL: out = Variant::boolean((byRef ? *in.pboolVal : in.boolVal) != VARIANT_FALSE); return true;
    case VT_DISPATCH: out = objectValue(byRef ? *in.ppdispVal : in.pdispVal); return true;
    case VT_UNKNOWN: out = objectValue(byRef ? *in.ppunkVal : in.punkVal); return true;
    case VT_ERROR:
        out = (byRef ? *in.pscode : in.scode) == DISP_E_PARAMNOTFOUND ? Variant::defaultKeyword() : Variant::nullKeyword();
        return true;
    case VT_VARIANT: return byRef && fromVariant(*in.pvarVal, out);
    default: return false;
    }
}

} // namespace vexil
