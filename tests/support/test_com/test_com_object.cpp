// The test object: late-bound members by name, its class information, and its events.
#include "test_com.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum Member : DISPID { Echo = 1, Describe, Make, SetByRef, Fire, Fail, Value, LastPut, Register, Revoke };
struct Name {
    const wchar_t* text;
    DISPID id;
};
constexpr Name kNames[] = {{L"Echo", Echo}, {L"Describe", Describe}, {L"Make", Make}, {L"SetByRef", SetByRef},
                           {L"Fire", Fire}, {L"Fail", Fail}, {L"Value", Value}, {L"LastPut", LastPut},
                           {L"Register", Register}, {L"Revoke", Revoke}};

const wchar_t* typeName(VARTYPE vt) {
    switch (vt) {
    case VT_EMPTY: return L"EMPTY";
    case VT_NULL: return L"NULL";
    case VT_I1: return L"I1";
    case VT_I2: return L"I2";
    case VT_I4: return L"I4";
    case VT_I8: return L"I8";
    case VT_UI1: return L"UI1";
    case VT_UI2: return L"UI2";
    case VT_UI4: return L"UI4";
    case VT_UI8: return L"UI8";
    case VT_INT: return L"INT";
    case VT_UINT: return L"UINT";
    case VT_R4: return L"R4";
    case VT_R8: return L"R8";
    case VT_CY: return L"CY";
    case VT_DATE: return L"DATE";
    case VT_BSTR: return L"BSTR";
    case VT_DISPATCH: return L"DISPATCH";
    case VT_UNKNOWN: return L"UNKNOWN";
    case VT_ERROR: return L"ERROR";
    case VT_BOOL: return L"BOOL";
    case VT_VARIANT: return L"VARIANT";
    case VT_DECIMAL: return L"DECIMAL";
    default: return L"OTHER";
    }
}

std::wstring describe(VARIANT& given);

std::wstring describeScalar(VARIANT& v) {
    std::wstring text = typeName(v.vt);
    wchar_t number[64];
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_DISPATCH:
    case VT_UNKNOWN: return text;
    case VT_ERROR: swprintf(number, 64, L":%08lX", static_cast<unsigned long>(v.scode)); return text + number;
    case VT_I8: swprintf(number, 64, L":%lld", v.llVal); return text + number;
    case VT_UI8: swprintf(number, 64, L":%llu", v.ullVal); return text + number;
    default: break;
    }
    VARIANT converted;
    VariantInit(&converted);
    if (SUCCEEDED(VariantChangeTypeEx(&converted, &v, MAKELCID(0x409, SORT_DEFAULT), 0, VT_BSTR))) {
        text += L":";
        text.append(converted.bstrVal, SysStringLen(converted.bstrVal));
        VariantClear(&converted);
    }
    return text;
}

// "ARRAY(type) 2x3: item item ..." with the first subscript moving slowest.
std::wstring describeArray(SAFEARRAY* array, VARTYPE element) {
    const UINT dims = SafeArrayGetDim(array);
    std::wstring text = L"ARRAY(" + std::wstring(typeName(element)) + L") ";
    std::vector<LONG> lower(dims), upper(dims), index(dims);
    for (UINT d = 0; d < dims; ++d) {
        SafeArrayGetLBound(array, d + 1, &lower[d]);
        SafeArrayGetUBound(array, d + 1, &upper[d]);
        index[d] = lower[d];
        text += (d ? L"x" : L"") + std::to_wstring(upper[d] - lower[d] + 1);
        if (upper[d] < lower[d]) return text;
    }
    text += L":";
    SafeArrayLock(array);
    for (;;) {
        void* cell = nullptr;
        SafeArrayPtrOfIndex(array, index.data(), &cell);
        VARIANT view;
        VariantInit(&view);
        view.vt = static_cast<VARTYPE>(element | VT_BYREF);
        view.byref = cell;
        text += L" " + describe(element == VT_VARIANT ? *static_cast<VARIANT*>(cell) : view);
        UINT d = dims;
        while (d > 0 && ++index[d - 1] > upper[d - 1]) {
            index[d - 1] = lower[d - 1];
            --d;
        }
        if (d == 0) break;
    }
    SafeArrayUnlock(array);
    return text;
}

std::wstring describe(VARIANT& given) {
    if (given.vt == (VT_BYREF | VT_VARIANT)) return L"BYREF " + describe(*given.pvarVal);
    if (given.vt & VT_ARRAY) {
        SAFEARRAY* array = (given.vt & VT_BYREF) ? *given.pparray : given.parray;
        return describeArray(array, static_cast<VARTYPE>(given.vt & VT_TYPEMASK));
    }
    VARIANT value;
    VariantInit(&value);
    VariantCopyInd(&value, &given);
    std::wstring text = describeScalar(value);
    VariantClear(&value);
    return text;
}

// A 3-element array of `element` holding 1, 2, 3 (converted); a VARIANT array holds I4s.
SAFEARRAY* numbers(VARTYPE element) {
    SAFEARRAY* array = SafeArrayCreateVector(element, 0, 3);
    for (LONG i = 0; i < 3; ++i) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = i + 1;
        if (element != VT_VARIANT) VariantChangeType(&v, &v, 0, element);
        void* data = element == VT_VARIANT                               ? static_cast<void*>(&v)
                     : element == VT_BSTR                                ? static_cast<void*>(v.bstrVal)
                     : element == VT_DECIMAL                             ? static_cast<void*>(&v.decVal)
                                                                         : static_cast<void*>(&v.lVal);
        SafeArrayPutElement(array, &i, data);
        VariantClear(&v);
    }
    return array;
}

void setArray(VARIANT& out, VARTYPE element, SAFEARRAY* array) {
    out.vt = static_cast<VARTYPE>(VT_ARRAY | element);
    out.parray = array;
}

HRESULT make(const std::wstring& kind, IDispatch* self, VARIANT& out) {
    if (kind == L"date") {
        // 4 March 2015, 05:06:07: days since 30 December 1899, and the fraction of a day.
        out.vt = VT_DATE;
        out.date = 42067.0 + (5 * 3600 + 6 * 60 + 7) / 86400.0;
    } else if (kind == L"currency") {
        out.vt = VT_CY;
        out.cyVal.int64 = 1234567; // 123.4567
    } else if (kind == L"decimal") {
        VarDecFromR8(12.5, &out.decVal);
        out.vt = VT_DECIMAL;
    } else if (kind == L"ui4max") {
        out.vt = VT_UI4;
        out.ulVal = 4294967295u;
    } else if (kind == L"uint") {
        out.vt = VT_UINT;
        out.uintVal = 3000000000u;
    } else if (kind == L"i1") {
        out.vt = VT_I1;
        out.cVal = -5;
    } else if (kind == L"ui1") {
        out.vt = VT_UI1;
        out.bVal = 200;
    } else if (kind == L"i2") {
        out.vt = VT_I2;
        out.iVal = -300;
    } else if (kind == L"ui2") {
        out.vt = VT_UI2;
        out.uiVal = 65535;
    } else if (kind == L"r4") {
        out.vt = VT_R4;
        out.fltVal = 1.5f;
    } else if (kind == L"i8") {
        out.vt = VT_I8;
        out.llVal = -9000000000LL;
    } else if (kind == L"ui8") {
        out.vt = VT_UI8;
        out.ullVal = 9000000000ULL;
    } else if (kind == L"bool") {
        out.vt = VT_BOOL;
        out.boolVal = VARIANT_TRUE;
    } else if (kind == L"null") {
        out.vt = VT_NULL;
    } else if (kind == L"empty") {
        out.vt = VT_EMPTY;
    } else if (kind == L"missing") {
        out.vt = VT_ERROR;
        out.scode = DISP_E_PARAMNOTFOUND;
    } else if (kind == L"error") {
        out.vt = VT_ERROR;
        out.scode = E_FAIL;
    } else if (kind == L"nullbstr") {
        out.vt = VT_BSTR;
        out.bstrVal = nullptr;
    } else if (kind == L"self") {
        out.vt = VT_DISPATCH;
        out.pdispVal = self;
        self->AddRef();
    } else if (kind == L"bytes") {
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 3);
        const unsigned char bytes[] = {1, 2, 255};
        for (LONG i = 0; i < 3; ++i) SafeArrayPutElement(array, &i, const_cast<unsigned char*>(&bytes[i]));
        setArray(out, VT_UI1, array);
    } else if (kind == L"matrix") {
        SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 0}};
        SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
        for (LONG i = 0; i < 2; ++i)
            for (LONG j = 0; j < 3; ++j) {
                LONG index[2] = {i, j};
                VARIANT v;
                VariantInit(&v);
                v.vt = VT_I4;
                v.lVal = 10 * i + j;
                SafeArrayPutElement(array, index, &v);
            }
        setArray(out, VT_VARIANT, array);
    } else if (kind == L"bounds") {
        SAFEARRAYBOUND bound = {2, 5};
        SAFEARRAY* array = SafeArrayCreate(VT_I4, 1, &bound);
        for (LONG i = 5; i < 7; ++i) SafeArrayPutElement(array, &i, &i);
        setArray(out, VT_I4, array);
    } else if (kind == L"nested") {
        SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 3);
        VARIANT item;
        VariantInit(&item);
        setArray(item, VT_BSTR, numbers(VT_BSTR));
        LONG i = 0;
        SafeArrayPutElement(array, &i, &item);
        VariantClear(&item);
        item.vt = VT_DISPATCH;
        item.pdispVal = self;
        i = 1;
        SafeArrayPutElement(array, &i, &item);
        item.vt = VT_I4;
        item.lVal = 7;
        i = 2;
        SafeArrayPutElement(array, &i, &item);
        setArray(out, VT_VARIANT, array);
    } else if (kind.starts_with(L"array:")) {
        setArray(out, static_cast<VARTYPE>(_wtoi(kind.c_str() + 6)), numbers(static_cast<VARTYPE>(_wtoi(kind.c_str() + 6))));
    } else if (kind == L"byref") {
        // A by-reference VARIANT as a result: the caller reads through it.
        static LONG target = 99;
        out.vt = VT_BYREF | VT_I4;
        out.plVal = &target;
    } else {
        return DISP_E_BADVARTYPE;
    }
    return S_OK;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TestObject;

class EventPoint final : public IConnectionPoint {
public:
    explicit EventPoint(TestObject& owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        *iid = kTestComEvents;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        IDispatch* dispatch = nullptr;
        if (FAILED(sink->QueryInterface(kTestComEvents, reinterpret_cast<void**>(&dispatch)))) return CONNECT_E_CANNOTCONNECT;
        sinks_.push_back(dispatch);
        *cookie = static_cast<DWORD>(sinks_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        if (cookie == 0 || cookie > sinks_.size() || !sinks_[cookie - 1]) return CONNECT_E_NOCONNECTION;
        sinks_[cookie - 1]->Release();
        sinks_[cookie - 1] = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // Calls every connected sink; how many there were.
    int fire(DISPID id, VARIANT* arguments, UINT count) {
        int reached = 0;
        for (IDispatch* sink : std::vector<IDispatch*>(sinks_)) {
            if (!sink) continue;
            DISPPARAMS params{arguments, nullptr, count, 0};
            sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
            ++reached;
        }
        return reached;
    }
    void releaseAll() {
        for (IDispatch*& sink : sinks_)
            if (sink) sink->Release(), sink = nullptr;
    }

private:
    TestObject& owner_;
    std::vector<IDispatch*> sinks_;
};

class TestObject final : public IDispatch, public IProvideClassInfo, public IConnectionPointContainer, public RefCounted {
public:
    TestObject() : point_(*this) { VariantInit(&value_); }
    ~TestObject() override {
        point_.releaseAll();
        VariantClear(&value_);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) *out = static_cast<IDispatch*>(this);
        else if (IsEqualIID(riid, IID_IProvideClassInfo)) *out = static_cast<IProvideClassInfo*>(this);
        else if (IsEqualIID(riid, IID_IConnectionPointContainer)) *out = static_cast<IConnectionPointContainer*>(this);
        else return *out = nullptr, E_NOINTERFACE;
        addRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (const Name& name : kNames)
                if (i == 0 && _wcsicmp(name.text, names[i]) == 0) ids[i] = name.id;
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT*) override;

    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override {
        *out = testClassInfo();
        return *out ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
        if (!IsEqualIID(iid, kTestComEvents)) return *out = nullptr, CONNECT_E_NOCONNECTION;
        *out = &point_;
        addRef();
        return S_OK;
    }

private:
    EventPoint point_;
    VARIANT value_;
    const wchar_t* lastPut_ = L"none";
    DWORD running_ = 0;
};
#pragma GCC diagnostic pop

HRESULT EventPoint::QueryInterface(REFIID riid, void** out) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
        *out = this;
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}
ULONG EventPoint::AddRef() { return owner_.AddRef(); }
ULONG EventPoint::Release() { return owner_.Release(); }
HRESULT EventPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    return owner_.QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(out));
}

// Argument `i` in the caller's order, read through a by-reference VARIANT.
VARIANT& argument(DISPPARAMS* params, UINT i) {
    VARIANT& v = params->rgvarg[params->cArgs - 1 - i];
    return v.vt == (VT_BYREF | VT_VARIANT) ? *v.pvarVal : v;
}

std::wstring text(VARIANT& v) {
    VARIANT converted;
    VariantInit(&converted);
    std::wstring out;
    if (SUCCEEDED(VariantChangeType(&converted, &v, 0, VT_BSTR))) out.assign(converted.bstrVal, SysStringLen(converted.bstrVal));
    VariantClear(&converted);
    return out;
}

HRESULT TestObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT*) {
    static const UINT kArguments[] = {0, 1, 1, 1, 2, 1, 2, 0, 0, 0, 0};
    VARIANT scratch;
    VariantInit(&scratch);
    VARIANT& out = result ? *result : scratch;
    const UINT count = params->cArgs;
    if (id == DISPID_NEWENUM) {
        VARIANT items[3];
        for (VARIANT& item : items) VariantInit(&item);
        items[0].vt = VT_I4, items[0].lVal = 10;
        items[1].vt = VT_BSTR, items[1].bstrVal = SysAllocString(L"twenty");
        items[2].vt = VT_R8, items[2].dblVal = 30.5;
        out.vt = VT_UNKNOWN;
        out.punkVal = newEnumerator(items, 3);
        VariantClear(&items[1]);
        return S_OK;
    }
    if (id < Echo || id > Revoke) return DISP_E_MEMBERNOTFOUND;
    if (id == Value && (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))) {
        if (count != 1) return DISP_E_BADPARAMCOUNT;
        VariantClear(&value_);
        VariantCopyInd(&value_, &params->rgvarg[0]);
        lastPut_ = (flags & DISPATCH_PROPERTYPUTREF) ? L"putref" : L"put";
        return S_OK;
    }
    if (count < kArguments[id]) return DISP_E_BADPARAMCOUNT;
    switch (id) {
    case Echo: return VariantCopyInd(&out, &argument(params, 0));
    case Describe:
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocString(describe(params->rgvarg[count - 1]).c_str());
        return S_OK;
    case Make: return make(text(argument(params, 0)), this, out);
    case SetByRef: {
        VARIANT& target = params->rgvarg[count - 1];
        if (target.vt != (VT_BYREF | VT_VARIANT)) return DISP_E_TYPEMISMATCH;
        VariantClear(target.pvarVal);
        return VariantCopyInd(target.pvarVal, &argument(params, 1));
    }
    case Fire: {
        const std::wstring name = text(argument(params, 0));
        std::vector<VARIANT> arguments(count - 1);
        // Event arguments go last first, as DISPPARAMS holds them.
        for (UINT i = 1; i < count; ++i) {
            VariantInit(&arguments[count - 1 - i]);
            VariantCopyInd(&arguments[count - 1 - i], &argument(params, i));
        }
        const DISPID event = _wcsicmp(name.c_str(), L"Ping") == 0 ? 1 : _wcsicmp(name.c_str(), L"Pair") == 0 ? 2 : 99;
        out.vt = VT_I4;
        out.lVal = point_.fire(event, arguments.data(), static_cast<UINT>(arguments.size()));
        for (VARIANT& v : arguments) VariantClear(&v);
        return S_OK;
    }
    case Fail:
        if (exception) {
            *exception = EXCEPINFO{};
            VARIANT code;
            VariantInit(&code);
            VariantChangeType(&code, &argument(params, 0), 0, VT_I4);
            exception->scode = code.lVal;
            exception->bstrSource = SysAllocString(kTestComProgId);
            exception->bstrDescription = SysAllocString(text(argument(params, 1)).c_str());
            exception->bstrHelpFile = SysAllocString(L"test.chm");
            exception->dwHelpContext = 7;
        }
        return DISP_E_EXCEPTION;
    case Value: return VariantCopy(&out, &value_);
    case LastPut:
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocString(lastPut_);
        return S_OK;
    case Register: // in the running object table, where a client finds it by its class
        return running_ ? S_OK : RegisterActiveObject(static_cast<IDispatch*>(this), kTestComClass, ACTIVEOBJECT_WEAK, &running_);
    case Revoke: {
        const DWORD cookie = running_;
        running_ = 0;
        return cookie ? RevokeActiveObject(cookie, nullptr) : S_OK;
    }
    default: return DISP_E_MEMBERNOTFOUND;
    }
}

} // namespace

IDispatch* newTestObject() { return new TestObject(); }
