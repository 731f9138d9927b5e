#include "interop/native_callback.h"

#include "base/text_codec.h"
#include "engine/builtins/builtin_api.h"
#include "interop/call_values.h"
#include "interop/ffi_types.h"

#include <cstring>

#include <windows.h>

namespace vexil {

namespace {

// What native code passed in one parameter. By reference only the address is given: nothing a
// callee hands over is read but the texts it passes by value.
Variant parameterValue(CallType type, const void* argument) {
    uint64_t bits = 0;
    std::memcpy(&bits, argument, ffiTypeOf(type)->size);
    if (type.byReference) return Variant::pointer(bits);
    if (type.valueClass == CallClass::Str || type.valueClass == CallClass::WStr) return textAt(type.valueClass, bits);
    return valueOfBits(type.valueClass, bits);
}

} // namespace

NativeCallback::NativeCallback(Engine& engine, const UserFunction& function, CallType returnType,
                               std::span<const CallType> parameters)
    : engine_(engine), function_(function), returnType_(returnType), count_(parameters.size()),
      thread_(GetCurrentThreadId()) {
    for (size_t i = 0; i < count_; ++i) {
        parameters_[i] = parameters[i];
        ffiTypes_[i] = ffiTypeOf(parameters[i]);
    }
}

std::unique_ptr<NativeCallback> NativeCallback::make(Engine& engine, const UserFunction& function,
                                                     CallType returnType, std::span<const CallType> parameters) {
    std::unique_ptr<NativeCallback> callback(new NativeCallback(engine, function, returnType, parameters));
    NativeCallback& c = *callback;
    c.closure_ = static_cast<ffi_closure*>(ffi_closure_alloc(sizeof(ffi_closure), &c.code_));
    if (!c.closure_) return nullptr;
    const unsigned count = static_cast<unsigned>(c.count_);
    if (ffi_prep_cif(&c.cif_, FFI_WIN64, count, ffiTypeOf(returnType), c.ffiTypes_.data()) != FFI_OK ||
        ffi_prep_closure_loc(c.closure_, &c.cif_, &NativeCallback::handle, &c, c.code_) != FFI_OK)
        return nullptr;
    return callback;
}

NativeCallback::~NativeCallback() {
    if (closure_) ffi_closure_free(closure_);
}

void NativeCallback::handle(ffi_cif*, void* result, void** arguments, void* self) {
    static_cast<NativeCallback*>(self)->run(result, arguments);
}

void NativeCallback::run(void* result, void** arguments) {
    if (returnType_.valueClass != CallClass::None) std::memset(result, 0, ffiTypeOf(returnType_)->size);
    // The engine belongs to the script thread; a call from any other runs no script code.
    if (GetCurrentThreadId() != thread_) return;
    BuiltinContext context(engine_);
    if (context.runEnding()) return;
    // Nothing may unwind through the native caller's frames: whatever goes wrong returns 0, and a
    // script error ends the run once the native code has returned.
    try {
        std::array<Variant, kMostNativeArguments> values;
        for (size_t i = 0; i < count_; ++i) values[i] = parameterValue(parameters_[i], arguments[i]);
        Variant returned;
        ++running_;
        struct Leaving {
            int& running;
            ~Leaving() { --running; }
        } leaving{running_};
        context.callFromNative(function_, BuiltinArgs(values.data(), count_), returned);
        if (!context.runEnding()) storeResult(returned, result);
    } catch (...) {
    }
}

void NativeCallback::storeResult(const Variant& value, void* result) {
    uint64_t bits = 0;
    switch (returnType_.valueClass) {
    case CallClass::None: return;
    case CallClass::WStr:
        wideResult_ = value.text().view();
        bits = reinterpret_cast<uintptr_t>(wideResult_.c_str());
        break;
    case CallClass::Str:
        ansiResult_ = wideToBytes(value.text().view(), CP_ACP);
        bits = reinterpret_cast<uintptr_t>(ansiResult_.c_str());
        break;
    default: bits = slotBitsOf(returnType_.valueClass, value); break;
    }
    std::memcpy(result, &bits, ffiTypeOf(returnType_)->size);
}

} // namespace vexil
