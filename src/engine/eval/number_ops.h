#pragma once
// Operators on plain numbers, worked out without a Variant: the fast paths of arithmetic and
// comparison. A Number is a value of kind Int32, Int64 or Double without a cached text, or the
// Bool a comparison gives. Where an operator needs more than these rules (another kind, an Int32
// result that overflows, a comparison across kinds) the operation answers false and the caller
// takes the general rules of Variant, which give the same answer wherever both apply.
#include "engine/eval/operator_table.h"
#include "engine/values/value.h"

#include <climits>
#include <cstdint>
#include <type_traits>

namespace vexil {

struct Number {
    VarKind kind;
    union {
        int32_t i32;
        int64_t i64;
        double f64;
        bool boolean;
    };
};

// The number a value holds, when it is a plain number.
[[gnu::always_inline]] inline bool loadNumber(const Variant& v, Number& out) {
    if (!v.isNumber() || !v.hasNoText()) return false;
    out.kind = v.kind();
    out.i64 = v.int64Value(); // the whole payload: an Int32 is its low half, a Double its bits
    return true;
}

[[gnu::always_inline]] inline void storeNumber(Variant& out, const Number& n) {
    switch (n.kind) {
    case VarKind::Int32: out.setInt32(n.i32); break;
    case VarKind::Int64: out.setInt64(n.i64); break;
    case VarKind::Double: out.setDouble(n.f64); break;
    default: out.setBool(n.boolean); break;
    }
}

namespace number_ops {

using namespace precedence;

[[gnu::always_inline]] inline double asDouble(const Number& n) {
    return n.kind == VarKind::Int32 ? n.i32 : n.kind == VarKind::Int64 ? static_cast<double>(n.i64) : n.f64;
}

// Two Int32 or two Double operands.
template <class T>
[[gnu::always_inline]] inline bool sameKind(uint8_t op, T a, T b, Number& out) {
    constexpr bool isInt = std::is_same_v<T, int32_t>;
    using Wide = std::conditional_t<isInt, int64_t, double>;
    auto number = [&](Wide value) {
        if constexpr (isInt) {
            if (value < INT32_MIN || value > INT32_MAX) return false;
            out.kind = VarKind::Int32;
            out.i32 = static_cast<int32_t>(value);
        } else {
            out.kind = VarKind::Double;
            out.f64 = value;
        }
        return true;
    };
    auto truth = [&](bool value) {
        out.kind = VarKind::Bool;
        out.boolean = value;
        return true;
    };
    switch (op) {
    case OpAdd: return number(Wide{a} + b);
    case OpSubtract: return number(Wide{a} - b);
    case OpMultiply: return number(Wide{a} * b);
    // As the general rules put them, which matters for NaN: "<=" is "not greater".
    case OpLess: return truth(a < b);
    case OpGreater: return truth(b < a);
    case OpLessEqual: return truth(!(b < a));
    case OpGreaterEqual: return truth(!(a < b));
    default: return false;
    }
}

} // namespace number_ops

// `a op b` on two numbers, neither of them a Bool (a comparison is only ever the root of a number
// tree); false to take the general rules.
[[gnu::always_inline]] inline bool numberBinary(uint8_t op, const Number& a, const Number& b, Number& out) {
    using namespace number_ops;
    if (op == OpDivide) {
        out.kind = VarKind::Double;
        out.f64 = asDouble(a) / asDouble(b);
        return true;
    }
    if (a.kind == b.kind) {
        if (a.kind == VarKind::Int32) return sameKind(op, a.i32, b.i32, out);
        if (a.kind == VarKind::Double) return sameKind(op, a.f64, b.f64, out);
    }
    if (a.kind == VarKind::Double || b.kind == VarKind::Double) {
        // A Double with an integer: the arithmetic is the Double's.
        if (op != OpAdd && op != OpSubtract && op != OpMultiply) return false;
        return sameKind(op, asDouble(a), asDouble(b), out);
    }
    // Int32 and Int64 with at least one Int64: + - * wrap in 64 bits, as the general rules do.
    const uint64_t x = static_cast<uint64_t>(a.kind == VarKind::Int32 ? int64_t{a.i32} : a.i64);
    const uint64_t y = static_cast<uint64_t>(b.kind == VarKind::Int32 ? int64_t{b.i32} : b.i64);
    out.kind = VarKind::Int64;
    switch (op) {
    case OpAdd: out.i64 = static_cast<int64_t>(x + y); return true;
    case OpSubtract: out.i64 = static_cast<int64_t>(x - y); return true;
    case OpMultiply: out.i64 = static_cast<int64_t>(x * y); return true;
    default: return false;
    }
}

// The operators numberBinary may answer: a tree of them over plain numbers is worked out whole.
constexpr bool isNumberOperator(uint8_t op) {
    using namespace precedence;
    return op == OpAdd || op == OpSubtract || op == OpMultiply || op == OpDivide || op == OpLess || op == OpGreater ||
           op == OpLessEqual || op == OpGreaterEqual;
}

constexpr bool isNumberComparison(uint8_t op) {
    using namespace precedence;
    return op == OpLess || op == OpGreater || op == OpLessEqual || op == OpGreaterEqual;
}

// Two values: the Variant form, the result in `out` (which may be one of them).
[[gnu::always_inline]] inline bool fastBinary(uint8_t op, const Variant& left, const Variant& right, Variant& out) {
    Number a, b, r;
    if (!loadNumber(left, a) || !loadNumber(right, b) || !numberBinary(op, a, b, r)) return false;
    storeNumber(out, r);
    return true;
}

} // namespace vexil
