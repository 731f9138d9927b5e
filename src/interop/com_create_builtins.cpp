// OBJCREATE and OBJGET: objects made by their class, on this machine or another, through a
// library the script opened, or found running or by a file or moniker name.
#include "engine/builtins/builtin_api.h"
#include "interop/com_errors.h"
#include "interop/com_type_info.h"
#include "interop/com_variant.h"
#include "interop/dll_libraries.h"

#include <objbase.h>

#include <string>

namespace vexil {

namespace {

// A ProgID, or failing that a CLSID in braces.
HRESULT classOf(const Variant& name, CLSID& clsid) {
    const wchar_t* text = name.dereferenced().text().c_str();
    if (SUCCEEDED(CLSIDFromProgID(text, &clsid))) return S_OK;
    return SUCCEEDED(CLSIDFromString(text, &clsid)) ? S_OK : CO_E_CLASSSTRING;
}

// The creation built-ins' end: the object as the result, or the failure reported with a result
// of `empty`. Creation failures never end the run.
int created(BuiltinContext& context, HRESULT hr, IUnknown* object, Variant empty, Variant& result) {
    if (SUCCEEDED(hr) && !object) hr = E_POINTER;
    if (FAILED(hr)) {
        result = std::move(empty);
        reportComFailure(context, hr);
        return context.runEnding() ? -1 : 0;
    }
    result = objectValue(object);
    object->Release();
    return 0;
}

// Through the class factory a library exports, when the class is not registered.
HRESULT createFromLibrary(BuiltinContext& context, const CLSID& clsid, const IID& iid, const Variant& handle, IUnknown*& object) {
    DllLibraries::Library* library = handle.isNumber() ? context.runResource<DllLibraries>().find(handle) : nullptr;
    if (!library) return REGDB_E_CLASSNOTREG;
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library->module), "DllGetClassObject")));
    if (!get) return TYPE_E_DLLFUNCTIONNOTFOUND;
    IClassFactory* factory = nullptr;
    if (FAILED(get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) || !factory) return CLASS_E_CLASSNOTAVAILABLE;
    const HRESULT hr = factory->CreateInstance(nullptr, iid, reinterpret_cast<void**>(&object));
    factory->Release();
    return hr;
}

HRESULT createWithInterface(BuiltinContext& context, const CLSID& clsid, BuiltinArgs args, IUnknown*& object) {
    IID iid = IID_IDispatch;
    if (!isDefault(args[1]) && FAILED(IIDFromString(textArg(args, 1).c_str(), &iid))) return CO_E_IIDSTRING;
    if (context.fenced()) return REGDB_E_CLASSNOTREG;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, iid, reinterpret_cast<void**>(&object));
    if (FAILED(hr)) hr = createFromLibrary(context, clsid, iid, args[2].dereferenced(), object);
    return hr;
}

// On another machine, as a given user when a name and password come with it.
HRESULT createRemote(const CLSID& clsid, BuiltinArgs args, IUnknown*& object) {
    std::wstring server(textArg(args, 1).view());
    std::wstring user = given(args, 2) ? std::wstring(textArg(args, 2).view()) : std::wstring();
    std::wstring password = given(args, 3) ? std::wstring(textArg(args, 3).view()) : std::wstring();
    std::wstring domain;
    if (const size_t slash = user.find(L'\\'); slash != std::wstring::npos) {
        domain = user.substr(0, slash);
        user.erase(0, slash + 1);
    }
    COAUTHIDENTITY identity{reinterpret_cast<USHORT*>(user.data()), static_cast<ULONG>(user.size()),
                            reinterpret_cast<USHORT*>(domain.data()), static_cast<ULONG>(domain.size()),
                            reinterpret_cast<USHORT*>(password.data()), static_cast<ULONG>(password.size()),
                            SEC_WINNT_AUTH_IDENTITY_UNICODE};
    COAUTHINFO authentication{RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CONNECT,
                              RPC_C_IMP_LEVEL_IMPERSONATE, &identity, EOAC_NONE};
    const bool withUser = !user.empty();
    if (withUser)
        CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_CONNECT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                             EOAC_NONE, nullptr);
    COSERVERINFO info{0, server.data(), withUser ? &authentication : nullptr, 0};
    MULTI_QI query{&IID_IDispatch, nullptr, S_OK};
    HRESULT hr = CoCreateInstanceEx(clsid, nullptr, CLSCTX_REMOTE_SERVER | CLSCTX_LOCAL_SERVER, &info, 1, &query);
    if (SUCCEEDED(hr)) hr = query.hr;
    if (FAILED(hr)) return hr;
    if (!query.pItf) return E_POINTER;
    object = query.pItf;
    if (withUser)
        CoSetProxyBlanket(object, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CONNECT,
                          RPC_C_IMP_LEVEL_IMPERSONATE, &identity, EOAC_NONE);
    return S_OK;
}

// The class of a running or file object: what it tells through IPersist or its class information.
bool hasClass(IUnknown* object, const CLSID& clsid) {
    CLSID own{};
    IPersist* persist = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)))) {
        const bool known = SUCCEEDED(persist->GetClassID(&own));
        persist->Release();
        if (known) return IsEqualCLSID(own, clsid);
    }
    ITypeInfo* info = classInfoOf(object);
    const bool same = typeGuid(info, own) && IsEqualCLSID(own, clsid);
    if (info) info->Release();
    return same;
}

// The instance-th object of the class in the running object table.
HRESULT findRunning(const CLSID& clsid, int instance, IUnknown*& found) {
    IRunningObjectTable* table = nullptr;
    if (FAILED(GetRunningObjectTable(0, &table))) return E_FAIL;
    IEnumMoniker* monikers = nullptr;
    if (FAILED(table->EnumRunning(&monikers))) {
        table->Release();
        return E_FAIL;
    }
    IMoniker* moniker = nullptr;
    while (!found && monikers->Next(1, &moniker, nullptr) == S_OK) {
        IUnknown* object = nullptr;
        if (SUCCEEDED(table->GetObject(moniker, &object))) {
            IDispatch* dispatch = nullptr;
            if (SUCCEEDED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
                if (hasClass(dispatch, clsid) && --instance <= 0) found = dispatch;
                else dispatch->Release();
            }
            object->Release();
        }
        moniker->Release();
    }
    monikers->Release();
    table->Release();
    return found ? S_OK : E_FAIL;
}

HRESULT openFile(const wchar_t* name, const CLSID* clsid, IUnknown*& found) {
    const UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    MULTI_QI query{&IID_IDispatch, nullptr, S_OK};
    HRESULT hr = CoGetInstanceFromFile(nullptr, const_cast<CLSID*>(clsid), nullptr, 21, STGM_READWRITE,
                                       const_cast<wchar_t*>(name), 1, &query);
    if (SUCCEEDED(hr) && SUCCEEDED(query.hr) && query.pItf) {
        found = query.pItf;
    } else {
        IDispatch* dispatch = nullptr;
        hr = CoGetObject(name, nullptr, IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        found = dispatch;
    }
    SetErrorMode(mode);
    return found ? S_OK : (FAILED(hr) ? hr : DISP_E_UNKNOWNNAME);
}

} // namespace

int builtinObjCreate(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    if (!context.ensureOle()) return created(context, CO_E_NOTINITIALIZED, nullptr, Variant::int32(0), result);
    CLSID clsid{};
    IUnknown* object = nullptr;
    HRESULT hr = classOf(args[0], clsid);
    if (SUCCEEDED(hr)) {
        const bool withLibrary = args.size() == 3 && args[2].dereferenced().isNumber();
        if (withLibrary) hr = createWithInterface(context, clsid, args, object);
        else if (args.size() >= 2) hr = context.fenced() ? E_ACCESSDENIED : createRemote(clsid, args, object);
        else hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object));
    }
    return created(context, hr, object, Variant::int32(0), result);
}

int builtinObjGet(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const Variant empty = Variant::string(WString());
    if (!context.ensureOle()) return created(context, CO_E_NOTINITIALIZED, nullptr, empty, result);
    CLSID clsid{};
    const bool withClass = given(args, 1);
    if (withClass) {
        if (const HRESULT hr = classOf(args[1], clsid); FAILED(hr)) return created(context, hr, nullptr, empty, result);
    }
    const bool byName = given(args, 0) && !textArg(args, 0).empty();
    IUnknown* found = nullptr;
    HRESULT hr = S_OK;
    if (context.fenced()) hr = E_ACCESSDENIED;
    else if (!byName) hr = withClass ? findRunning(clsid, optInt(args, 2, 1), found) : E_FAIL;
    else hr = openFile(textArg(args, 0).c_str(), withClass ? &clsid : nullptr, found);
    if (SUCCEEDED(hr) && withClass && byName && !hasClass(found, clsid)) {
        found->Release();
        found = nullptr;
        hr = TYPE_E_TYPEMISMATCH;
    }
    return created(context, hr, found, empty, result);
}

} // namespace vexil
