#include "interop/com_described_dispatch.h"

#include "interop/com_dispatch_base.h"

#include <oleauto.h>

#include <string>

namespace vexil {

namespace {

// One argument as the native method takes it: its value in the declared type, and what is pushed
// (the value, or its address for a by-reference parameter).
struct NativeArgument {
    VARIANT value;
    VARIANT pushed;
    std::string ansi; // an str parameter's text
    GUID guid{};      // a clsid parameter's value
};

// Prepares `argument` from the caller's VARIANT; false when it does not convert.
bool prepare(VARIANT& given, VARTYPE declared, NativeArgument& argument) {
    const VARTYPE base = static_cast<VARTYPE>(declared & ~VT_BYREF);
    VariantInit(&argument.value);
    VariantInit(&argument.pushed);
    VARIANT& source = given.vt == (VT_BYREF | VT_VARIANT) ? *given.pvarVal : given;
    switch (base) {
    case VT_VARIANT:
        if (FAILED(VariantCopyInd(&argument.value, &source))) return false;
        break;
    case VT_LPWSTR:
    case VT_LPSTR:
    case VT_CLSID: {
        // Text, kept as a BSTR (or the bytes and GUID made from it) while the call runs.
        if (FAILED(VariantChangeType(&argument.value, &source, 0, VT_BSTR))) return false;
        const BSTR text = argument.value.bstrVal;
        argument.pushed.vt = VT_UI8;
        if (base == VT_LPWSTR) {
            argument.pushed.ullVal = reinterpret_cast<ULONGLONG>(text);
        } else if (base == VT_LPSTR) {
            const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
            argument.ansi.assign(static_cast<size_t>(size > 0 ? size : 1), '\0');
            WideCharToMultiByte(CP_ACP, 0, text, -1, argument.ansi.data(), size, nullptr, nullptr);
            argument.pushed.ullVal = reinterpret_cast<ULONGLONG>(argument.ansi.data());
        } else {
            if (FAILED(CLSIDFromString(text, &argument.guid))) return false;
            argument.pushed.ullVal = reinterpret_cast<ULONGLONG>(&argument.guid);
        }
        return true;
    }
    default:
        // A structure goes as its address.
        if (FAILED(VariantChangeType(&argument.value, &source, 0, base == VT_RECORD ? static_cast<VARTYPE>(VT_UI8) : base))) return false;
        break;
    }
    if (declared & VT_BYREF) {
        argument.pushed.vt = VT_UI8;
        argument.pushed.ullVal = reinterpret_cast<ULONGLONG>(base == VT_VARIANT ? static_cast<void*>(&argument.value)
                                                                                : static_cast<void*>(&argument.value.llVal));
    } else {
        argument.pushed = argument.value; // a shallow copy: value keeps ownership
    }
    return true;
}

class DescribedDispatch final : public DispatchBase {
public:
    DescribedDispatch(IUnknown* target, std::vector<DescribedMethod> methods, bool afterUnknown)
        : target_(target), methods_(std::move(methods)), firstSlot_(afterUnknown ? 3 : 0) {
        target_->AddRef();
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        for (size_t m = 0; count > 0 && m < methods_.size(); ++m)
            if (_wcsicmp(methods_[m].name.c_str(), names[0]) == 0) ids[0] = static_cast<DISPID>(m + 1);
        return count > 0 && ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                     UINT* badArgument) override {
        if (id < 1 || static_cast<size_t>(id) > methods_.size() || !(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        const DescribedMethod& method = methods_[static_cast<size_t>(id - 1)];
        const UINT count = static_cast<UINT>(method.parameters.size());
        if (params->cArgs != count || params->cNamedArgs) return DISP_E_BADPARAMCOUNT;
        std::vector<NativeArgument> arguments(count);
        std::vector<VARTYPE> types(count);
        std::vector<VARIANTARG*> pushed(count);
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count && SUCCEEDED(hr); ++i) {
            if (!prepare(params->rgvarg[count - 1 - i], method.parameters[i], arguments[i])) {
                if (badArgument) *badArgument = count - 1 - i;
                hr = DISP_E_TYPEMISMATCH;
            }
            types[i] = arguments[i].pushed.vt;
            pushed[i] = &arguments[i].pushed;
        }
        VARIANT returned;
        VariantInit(&returned);
        if (SUCCEEDED(hr)) {
            const ULONG_PTR slot = (firstSlot_ + static_cast<ULONG_PTR>(id - 1)) * sizeof(void*);
            hr = DispCallFunc(target_, slot, method.isCdecl ? CC_CDECL : CC_STDCALL, method.returnType, count, types.data(),
                              pushed.data(), &returned);
        }
        if (SUCCEEDED(hr)) {
            handBack(params, method, arguments);
            if (result) *result = returned;
            else VariantClear(&returned);
        }
        for (NativeArgument& argument : arguments) VariantClear(&argument.value);
        return hr;
    }

private:
    ~DescribedDispatch() override { target_->Release(); }

    // What a by-reference parameter received, into the caller's VARIANT.
    static void handBack(DISPPARAMS* params, const DescribedMethod& method, std::vector<NativeArgument>& arguments) {
        const UINT count = static_cast<UINT>(method.parameters.size());
        for (UINT i = 0; i < count; ++i) {
            VARIANT& given = params->rgvarg[count - 1 - i];
            const VARTYPE base = static_cast<VARTYPE>(method.parameters[i] & ~VT_BYREF);
            const bool text = base == VT_LPWSTR || base == VT_LPSTR || base == VT_CLSID;
            if (!(method.parameters[i] & VT_BYREF) || text || given.vt != (VT_BYREF | VT_VARIANT)) continue;
            VariantClear(given.pvarVal);
            VariantCopy(given.pvarVal, &arguments[i].value);
        }
    }

    IUnknown* target_;
    std::vector<DescribedMethod> methods_;
    ULONG_PTR firstSlot_;
};

} // namespace

IDispatch* newDescribedDispatch(IUnknown* target, std::vector<DescribedMethod> methods, bool afterUnknown) {
    return new DescribedDispatch(target, std::move(methods), afterUnknown);
}

} // namespace vexil
