// DLLCALLBACKREGISTER, DLLCALLBACKGETPTR and DLLCALLBACKFREE: script functions handed to native
// code as function pointers.
#include "engine/builtins/builtin_api.h"
#include "engine/exec/functions.h"
#include "interop/call_type_cache.h"
#include "interop/dll_callbacks.h"

#include <array>

namespace vexil {

namespace {

constexpr int kBadReturnType = 1;
constexpr int kBadParameterTypes = 2;
constexpr int kBadFunction = 3;

// The user function a value names (a function value or its name), or nullptr.
const UserFunction* namedFunction(BuiltinContext& context, const Variant& value) {
    if (value.is(VarKind::UserFunction)) return context.findFunction(value.functionRecord()->name.view());
    if (value.is(VarKind::String)) return context.findFunction(value.text().view());
    return nullptr;
}

// Native code passes every parameter, so each must be a plain one.
bool takesNativeValues(const UserFunction& f) {
    for (const Parameter& p : f.parameters)
        if (p.byRef || p.defaultStart >= 0) return false;
    return true;
}

// The ";"-separated parameter types (a trailing ";" allowed, none at all for an empty text):
// their count, or -1 when one is no type or a structure by value (native code would hand over
// bytes of no known layout), or there are more than a callback takes.
int parseParameterTypes(std::wstring_view text, std::array<CallType, kMostNativeArguments>& types) {
    if (!text.empty() && text.back() == L';') text.remove_suffix(1);
    if (text.find_first_not_of(L" \t") == std::wstring_view::npos) return 0;
    size_t count = 0;
    for (;;) {
        const size_t end = text.find(L';');
        const std::optional<CallType> type = callTypeCache().argumentType(text.substr(0, end));
        if (!type || (type->valueClass == CallClass::Struct && !type->byReference) || count == types.size()) return -1;
        types[count++] = *type;
        if (end == std::wstring_view::npos) return static_cast<int>(count);
        text.remove_prefix(end + 1);
    }
}

} // namespace

int builtinDllCallbackRegister(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const UserFunction* function = namedFunction(context, args[0].dereferenced());
    if (!function || !takesNativeValues(*function)) return context.fail(result, Variant::int32(0), kBadFunction);
    const std::optional<CallType> returnType = callTypeCache().returnType(args[1].dereferenced().text().view());
    if (!returnType) return context.fail(result, Variant::int32(0), kBadReturnType);
    std::array<CallType, kMostNativeArguments> types;
    const int count = parseParameterTypes(args[2].dereferenced().text().view(), types);
    if (count < 0) return context.fail(result, Variant::int32(0), kBadParameterTypes);
    // A parameter that no native value would fill could not exist inside the function.
    if (function->parameters.size() > static_cast<size_t>(count))
        return context.fail(result, Variant::int32(0), kBadFunction);
    auto callback = NativeCallback::make(context.engine(), *function, *returnType,
                                         std::span<const CallType>(types.data(), static_cast<size_t>(count)));
    if (!callback) return context.fail(result, Variant::int32(0), kBadReturnType);
    result = Variant::int32(context.runResource<DllCallbacks>().add(std::move(callback)));
    return 0;
}

int builtinDllCallbackGetPtr(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const NativeCallback* callback = context.runResource<DllCallbacks>().find(args[0]);
    if (!callback) return context.fail(result, Variant::int32(0), 1);
    result = Variant::pointer(reinterpret_cast<uintptr_t>(callback->code()));
    return 0;
}

int builtinDllCallbackFree(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    if (!context.runResource<DllCallbacks>().free(args[0])) return context.fail(result, Variant::int32(0), 1);
    return 0;
}

} // namespace vexil
