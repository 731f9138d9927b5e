#pragma once
// A native call from a script (DLLCALL, DLLCALLADDRESS) between its arguments and its result:
// the return type and the type/value pairs checked and turned into slots, then the call and the
// result array.
#include "engine/builtins/builtins.h"
#include "interop/call_types.h"
#include "interop/call_values.h"
#include "interop/native_call.h"

#include <array>
#include <cstddef>

namespace vexil {

class PreparedCall {
public:
    // Reads the return type and the pairs after it: 0, or the @ERROR they earn (2 a return type
    // that is none, 4 a type without its value, 1 a type that is none, then what marshalArgument
    // says of the value).
    int prepare(const Variant& returnType, BuiltinArgs pairs);
    // Calls `function` with the slots. The result: [0] the return value, then each argument as the
    // call left it; `pairs` are those given to prepare.
    Variant call(void* function, BuiltinArgs pairs);

private:
    CallType returnType_;
    std::array<NativeSlot, kMostNativeArguments> slots_;
    size_t count_ = 0;
};

} // namespace vexil
