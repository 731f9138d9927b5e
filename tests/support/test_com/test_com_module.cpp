// The server's entry points: class factory, registration in the registry, unloading.
#include "test_com.h"

#include <string>

LONG testComObjects = 0;

namespace {

HMODULE module = nullptr;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        IDispatch* object = newTestObject();
        const HRESULT hr = object->QueryInterface(riid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};
#pragma GCC diagnostic pop
Factory factory;

std::wstring classKey() {
    wchar_t text[64];
    StringFromGUID2(kTestComClass, text, 64);
    return std::wstring(L"CLSID\\") + text;
}

bool setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS) return false;
    const LONG status = RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
    return status == ERROR_SUCCESS;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!IsEqualCLSID(clsid, kTestComClass)) {
        *out = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(riid, out);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return testComObjects == 0 ? S_OK : S_FALSE; }

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(module, path, MAX_PATH);
    wchar_t clsid[64];
    StringFromGUID2(kTestComClass, clsid, 64);
    const std::wstring key = classKey();
    const bool done = setValue(key, nullptr, L"Vexil test server") && setValue(key + L"\\InprocServer32", nullptr, path) &&
                      setValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
                      setValue(key + L"\\ProgID", nullptr, kTestComProgId) &&
                      setValue(std::wstring(kTestComProgId) + L"\\CLSID", nullptr, clsid);
    return done ? S_OK : SELFREG_E_CLASS;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey().c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kTestComProgId);
    return S_OK;
}
