// The server's type information, built in memory, and its enumerator of items.
#include "test_com.h"

#include <vector>

namespace {

// {6F1B3C2C-5E7D-4A8B-9C0D-1E2F3A4B5C6D}
constexpr GUID kLibrary = {0x6f1b3c2c, 0x5e7d, 0x4a8b, {0x9c, 0x0d, 0x1e, 0x2f, 0x3a, 0x4b, 0x5c, 0x6d}};

bool addEvent(ICreateTypeInfo* info, UINT index, MEMBERID id, LPOLESTR* names, UINT parameters) {
    ELEMDESC params[2] = {};
    for (ELEMDESC& param : params) {
        param.tdesc.vt = VT_VARIANT;
        param.paramdesc.wParamFlags = PARAMFLAG_FIN;
    }
    FUNCDESC event{};
    event.memid = id;
    event.funckind = FUNC_DISPATCH;
    event.invkind = INVOKE_FUNC;
    event.callconv = CC_STDCALL;
    event.cParams = static_cast<SHORT>(parameters);
    event.lprgelemdescParam = params;
    event.elemdescFunc.tdesc.vt = VT_VOID;
    return SUCCEEDED(info->AddFuncDesc(index, &event)) && SUCCEEDED(info->SetFuncAndParamNames(index, names, parameters + 1));
}

ITypeInfo* buildClassInfo() {
    ICreateTypeLib2* library = nullptr;
    if (FAILED(CreateTypeLib2(SYS_WIN64, L"vexil-test-com.tlb", &library))) return nullptr;
    library->SetGuid(kLibrary);
    library->SetName(const_cast<LPOLESTR>(L"VexilTestCom"));
    library->SetVersion(1, 0);
    ICreateTypeInfo* events = nullptr;
    ICreateTypeInfo* coclass = nullptr;
    ITypeInfo* eventsInfo = nullptr;
    ITypeInfo* classInfo = nullptr;
    ITypeLib* standard = nullptr;
    ITypeInfo* dispatchInfo = nullptr;
    HREFTYPE reference = 0;
    LPOLESTR ping[] = {const_cast<LPOLESTR>(L"Ping"), const_cast<LPOLESTR>(L"value")};
    LPOLESTR pair[] = {const_cast<LPOLESTR>(L"Pair"), const_cast<LPOLESTR>(L"first"), const_cast<LPOLESTR>(L"second")};
    bool built = SUCCEEDED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"TestEvents"), TKIND_DISPATCH, &events)) &&
                 SUCCEEDED(events->SetGuid(kTestComEvents)) && SUCCEEDED(LoadTypeLib(L"stdole2.tlb", &standard)) &&
                 SUCCEEDED(standard->GetTypeInfoOfGuid(IID_IDispatch, &dispatchInfo)) &&
                 SUCCEEDED(events->AddRefTypeInfo(dispatchInfo, &reference)) && SUCCEEDED(events->AddImplType(0, reference)) &&
                 addEvent(events, 0, 1, ping, 1) && addEvent(events, 1, 2, pair, 2) && SUCCEEDED(events->LayOut()) &&
                 SUCCEEDED(events->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(&eventsInfo))) &&
                 SUCCEEDED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"TestCom"), TKIND_COCLASS, &coclass)) &&
                 SUCCEEDED(coclass->SetGuid(kTestComClass)) &&
                 SUCCEEDED(coclass->SetDocString(const_cast<LPOLESTR>(L"Vexil test server"))) &&
                 SUCCEEDED(coclass->AddRefTypeInfo(eventsInfo, &reference)) && SUCCEEDED(coclass->AddImplType(0, reference)) &&
                 SUCCEEDED(coclass->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) &&
                 SUCCEEDED(coclass->LayOut()) && SUCCEEDED(coclass->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(&classInfo)));
    if (!built && classInfo) {
        classInfo->Release();
        classInfo = nullptr;
    }
    for (IUnknown* object : {static_cast<IUnknown*>(events), static_cast<IUnknown*>(coclass), static_cast<IUnknown*>(eventsInfo),
                             static_cast<IUnknown*>(standard), static_cast<IUnknown*>(dispatchInfo)})
        if (object) object->Release();
    // The library stays: the type information lives in it.
    return classInfo;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class Enumerator final : public IEnumVARIANT, public RefCounted {
public:
    Enumerator(VARIANT* values, ULONG count) : values_(count) {
        for (ULONG i = 0; i < count; ++i) {
            VariantInit(&values_[i]);
            VariantCopy(&values_[i], &values[i]);
        }
    }
    ~Enumerator() override {
        for (VARIANT& value : values_) VariantClear(&value);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumVARIANT)) {
            *out = static_cast<IEnumVARIANT*>(this);
            addRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
        ULONG given = 0;
        for (; given < wanted && next_ < values_.size(); ++given, ++next_) {
            VariantInit(&out[given]);
            VariantCopy(&out[given], &values_[next_]);
        }
        if (fetched) *fetched = given;
        return given == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        next_ += count;
        return next_ <= values_.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        *out = new Enumerator(values_.data(), static_cast<ULONG>(values_.size()));
        return S_OK;
    }

private:
    std::vector<VARIANT> values_;
    size_t next_ = 0;
};
#pragma GCC diagnostic pop

} // namespace

ITypeInfo* testClassInfo() {
    static ITypeInfo* info = buildClassInfo();
    if (info) info->AddRef();
    return info;
}

IEnumVARIANT* newEnumerator(VARIANT* values, ULONG count) { return new Enumerator(values, count); }
