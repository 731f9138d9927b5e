// OBJCREATEINTERFACE: an interface of a class or a pointer the script holds, used as it is or
// through a dispatch object built from the script's description of its methods, whose calls go
// through the interface's virtual table.
#include "engine/builtins/builtin_api.h"
#include "interop/com_interface_description.h"
#include "interop/com_object.h"
#include "interop/com_variant.h"

#include <objbase.h>
#include <oleauto.h>

#include <vector>

namespace vexil {

namespace {

constexpr int32_t kNotCreated = 1; // "Failed to create object"
constexpr int32_t kBadParameter = 2; // "Invalid parameter"
constexpr int32_t kNullPointer = 3; // "NULL Pointer assignment"

// The interface the first argument names: a new object of a class, an object the script holds, or
// a pointer. nullptr with the @ERROR in `error`.
IUnknown* firstInterface(BuiltinContext& context, const Variant& given, int32_t& error) {
    error = 0;
    if (IUnknown* held = objectInterface(given)) {
        held->AddRef();
        return held;
    }
    CLSID clsid{};
    if (given.is(VarKind::String) &&
        (SUCCEEDED(CLSIDFromProgID(given.text().c_str(), &clsid)) || SUCCEEDED(CLSIDFromString(given.text().c_str(), &clsid)))) {
        IUnknown* created = nullptr;
        if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&created))) || !created)
            error = kNotCreated;
        return created;
    }
    auto* pointer = reinterpret_cast<IUnknown*>(given.toPointer());
    // A fenced run never calls through an address the script made up.
    if (!pointer || context.fenced()) {
        error = kNullPointer;
        return nullptr;
    }
    pointer->AddRef();
    return pointer;
}

// The dispatch object whose methods call the interface's slots, or nullptr.
IUnknown* describedDispatch(IUnknown* target, const std::vector<DescribedMethod>& methods, bool query) {
    std::vector<std::vector<PARAMDATA>> parameters(methods.size());
    std::vector<METHODDATA> data(methods.size());
    for (size_t i = 0; i < methods.size(); ++i) {
        const DescribedMethod& method = methods[i];
        for (VARTYPE type : method.parameters) parameters[i].push_back({const_cast<OLECHAR*>(L""), type});
        METHODDATA& entry = data[i];
        entry.szName = const_cast<OLECHAR*>(method.name.c_str());
        entry.ppdata = parameters[i].data();
        entry.dispid = static_cast<DISPID>(i + 1);
        entry.iMeth = static_cast<UINT>(i + (query ? 3 : 0));
        entry.cc = method.isCdecl ? CC_CDECL : CC_STDCALL;
        entry.cArgs = static_cast<UINT>(method.parameters.size());
        entry.wFlags = DISPATCH_METHOD;
        entry.vtReturn = method.returnType;
    }
    INTERFACEDATA description{data.data(), static_cast<UINT>(data.size())};
    ITypeInfo* info = nullptr;
    if (FAILED(CreateDispTypeInfo(&description, LOCALE_SYSTEM_DEFAULT, &info))) return nullptr;
    IUnknown* dispatch = nullptr;
    if (FAILED(CreateStdDispatch(nullptr, target, info, &dispatch))) dispatch = nullptr;
    info->Release();
    return dispatch;
}

} // namespace

int builtinObjCreateInterface(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(0);
    if (!context.ensureOle()) return context.fail(kNotCreated);
    const bool query = !given(args, 3) || args[3].dereferenced().toBool();
    IID iid{};
    if (query && FAILED(IIDFromString(textArg(args, 1).c_str(), &iid))) return context.fail(kBadParameter);
    std::vector<DescribedMethod> methods;
    if (given(args, 2) && !parseInterfaceDescription(textArg(args, 2).view(), methods)) return context.fail(kBadParameter);
    int32_t error = 0;
    IUnknown* object = firstInterface(context, args[0].dereferenced(), error);
    if (!object) return context.fail(error);
    IUnknown* target = object;
    if (query) {
        target = nullptr;
        const HRESULT hr = object->QueryInterface(iid, reinterpret_cast<void**>(&target));
        object->Release();
        if (FAILED(hr) || !target) return context.fail(kNotCreated);
    }
    IUnknown* held = target;
    if (given(args, 2)) {
        // The dispatch object calls through `target`, which must outlive it: the script's value
        // keeps the interface as long as it keeps the dispatch object.
        held = describedDispatch(target, methods, query);
        if (!held) {
            target->Release();
            return context.fail(kNotCreated);
        }
    }
    result = objectValue(held);
    held->Release();
    if (held != target) static_cast<ComObject*>(objectBody(result))->keep(target);
    return 0;
}

} // namespace vexil
