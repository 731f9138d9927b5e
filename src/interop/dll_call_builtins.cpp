// DLLOPEN, DLLCLOSE, DLLCALL and DLLCALLADDRESS: native functions called with script values.
#include "engine/builtins/builtin_api.h"
#include "interop/dll_exports.h"
#include "interop/dll_libraries.h"
#include "interop/prepared_call.h"

#include <optional>

namespace vexil {

namespace {

constexpr int kNoLibrary = 1;
constexpr int kNoFunction = 3;

int failCall(BuiltinContext& context, Variant& result, int error) {
    return context.fail(result, Variant::int32(0), error);
}

// The function DLLCALL names: in a library loaded for this call by its file name (into `loaded`),
// or opened before under a handle number. nullptr with the @ERROR in `error` when there is none.
void* namedFunction(BuiltinContext& context, const Variant& library, const Variant& function,
                    std::optional<ScopedLibrary>& loaded, int& error) {
    error = kNoLibrary;
    if (library.is(VarKind::String)) {
        void* module = loaded.emplace(library.text().c_str()).module();
        if (!module) return nullptr;
        error = kNoFunction;
        return findExport(module, function);
    }
    DllLibraries::Library* open = library.isNumber() ? context.runResource<DllLibraries>().find(library) : nullptr;
    if (!open) return nullptr;
    error = kNoFunction;
    return open->exports.find(open->module, function);
}

// The call once the function is found; a script error raised by a callback during it ends the
// run now that native code has returned.
int completeCall(BuiltinContext& context, PreparedCall& call, void* function, BuiltinArgs pairs, Variant& result) {
    result = call.call(function, pairs);
    return context.runEnding() ? -1 : 0;
}

} // namespace

int builtinDllOpen(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const wchar_t* file = args[0].dereferenced().text().c_str();
    result = Variant::int32(context.fenced() ? -1 : context.runResource<DllLibraries>().open(file));
    return 0;
}

int builtinDllClose(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    if (!context.runResource<DllLibraries>().close(args[0])) return failCall(context, result, 1);
    return 0;
}

int builtinDllCall(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const BuiltinArgs pairs = args.subspan(3);
    PreparedCall call;
    if (const int error = call.prepare(args[1], pairs)) return failCall(context, result, error);
    if (context.fenced()) return failCall(context, result, kNoLibrary);
    std::optional<ScopedLibrary> loaded;
    int error = 0;
    void* function = namedFunction(context, args[0].dereferenced(), args[2], loaded, error);
    if (!function) return failCall(context, result, error);
    return completeCall(context, call, function, pairs, result);
}

int builtinDllCallAddress(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const BuiltinArgs pairs = args.subspan(2);
    PreparedCall call;
    if (const int error = call.prepare(args[0], pairs)) return failCall(context, result, error);
    const Variant& address = args[1].dereferenced();
    const bool isAddress = address.isNumber() || address.is(VarKind::Ptr);
    void* function = isAddress ? reinterpret_cast<void*>(address.toPointer()) : nullptr;
    if (!function) return failCall(context, result, kNoFunction);
    if (context.fenced()) return failCall(context, result, kNoLibrary);
    return completeCall(context, call, function, pairs, result);
}

} // namespace vexil
