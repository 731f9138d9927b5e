#pragma once
// The payload of an Object value. The engine reads and writes an object's members and walks its
// items only through these calls; the automation layer behind them owns the interface pointer
// and reports its own failures (to the script's error handler, or back here as a failure that
// ends the run).
#include "engine/builtins/builtin_api.h"
#include "engine/values/value.h"

#include <string_view>

namespace vexil {

// How a member is reached.
enum class MemberUse : uint8_t {
    Read,       // a property read, or a call that may be either
    Call,       // a method call, written with "(...)"
    Write,      // a property assignment
};

// What a member access gave: done (the result set, @ERROR set when a handler saw a failure),
// failed with no handler (the engine ends the run naming the member), or the run ended.
enum class MemberOutcome : int8_t { Done = 0, Failed = 1, RunEnded = -1 };

class ObjectBody : public HeapValue {
public:
    // A member read, call or assignment (the assigned value is the last argument). Arguments
    // that are references receive what the member hands back through them.
    virtual MemberOutcome member(BuiltinContext& context, std::wstring_view name, MemberUse use, BuiltinArgs args,
                                 Variant& result) = 0;
    // The start of a For...In walk: an Object value whose nextItem gives the items, or an outcome
    // other than Done (`items` then left empty).
    virtual MemberOutcome items(BuiltinContext& context, Variant& cursor) = 0;
    // The next item of a walk begun by items(); false when there is none.
    virtual bool nextItem(Variant& item) = 0;
};

inline ObjectBody* objectBody(const Variant& v) {
    return v.is(VarKind::Object) ? static_cast<ObjectBody*>(v.heapValue()) : nullptr;
}

} // namespace vexil
