// OBJCREATEINTERFACE: an interface of a class or a pointer the script holds, used as it is or
// through a dispatch object built from the script's description of its methods, whose calls go
// through the interface's virtual table.
#include "engine/builtins/builtin_api.h"
#include "interop/com_described_dispatch.h"
#include "interop/com_variant.h"

#include <objbase.h>
#include <oleauto.h>

#include <utility>
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
        held = newDescribedDispatch(target, std::move(methods), query);
        target->Release(); // the dispatch object holds it
    }
    result = objectValue(held);
    held->Release();
    return 0;
}

} // namespace vexil
