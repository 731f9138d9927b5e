#pragma once
// A script function that native code can call: a libffi closure whose handler turns the native
// arguments into script values, runs the function in the engine's nested run and hands its result
// back as the return type says.
#include "interop/call_types.h"
#include "interop/native_call.h"

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include <ffi.h>

namespace vexil {

class Engine;
struct UserFunction;

class NativeCallback {
public:
    // nullptr when no executable closure can be had. `parameters` hold at most
    // kMostNativeArguments types, none of them a structure by value.
    static std::unique_ptr<NativeCallback> make(Engine& engine, const UserFunction& function, CallType returnType,
                                                std::span<const CallType> parameters);
    ~NativeCallback();
    NativeCallback(const NativeCallback&) = delete;
    NativeCallback& operator=(const NativeCallback&) = delete;

    // The address native code calls.
    void* code() const { return code_; }
    // Native code is inside the function now: the closure must outlive that call.
    bool running() const { return running_ > 0; }

private:
    NativeCallback(Engine& engine, const UserFunction& function, CallType returnType,
                   std::span<const CallType> parameters);
    static void handle(ffi_cif* cif, void* result, void** arguments, void* self);
    void run(void* result, void** arguments);
    void storeResult(const Variant& value, void* result);

    Engine& engine_;
    const UserFunction& function_;
    CallType returnType_;
    std::array<CallType, kMostNativeArguments> parameters_{};
    size_t count_ = 0;
    std::array<ffi_type*, kMostNativeArguments> ffiTypes_{};
    ffi_cif cif_{};
    ffi_closure* closure_ = nullptr;
    void* code_ = nullptr;
    unsigned long thread_; // the script thread: the only one that may run script code
    int running_ = 0;
    // A text returned to native code lives here until the next call.
    std::wstring wideResult_;
    std::string ansiResult_;
};

} // namespace vexil
