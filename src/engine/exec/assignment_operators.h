#pragma once
// The assignment operators: "=" and the compound forms that combine the old value with the new.
#include "engine/eval/number_ops.h"
#include "engine/front/token.h"
#include "engine/values/value.h"

namespace vexil {

inline bool isAssignOperator(TokenType type) {
    switch (type) {
    case TokenType::Assign: case TokenType::PlusAssign: case TokenType::MinusAssign: case TokenType::MultiplyAssign:
    case TokenType::DivideAssign: case TokenType::ConcatAssign: return true;
    default: return false;
    }
}

inline void applyAssignment(TokenType op, Variant& target, Variant& value) {
    switch (op) {
    case TokenType::Assign: target = std::move(value); break;
    case TokenType::PlusAssign: target.add(value); break;
    case TokenType::MinusAssign: target.subtract(value); break;
    case TokenType::MultiplyAssign: target.multiply(value); break;
    case TokenType::DivideAssign: target.divide(value); break;
    default: target.concatenate(value); break;
    }
}

// A plain number assigned: worked out without a Variant where the number rules apply.
[[gnu::always_inline]] inline void assignNumber(TokenType op, Variant& target, const Number& value) {
    using namespace precedence;
    if (op == TokenType::Assign) return storeNumber(target, value);
    const uint8_t combined = op == TokenType::PlusAssign       ? OpAdd
                             : op == TokenType::MinusAssign    ? OpSubtract
                             : op == TokenType::MultiplyAssign ? OpMultiply
                             : op == TokenType::DivideAssign   ? OpDivide
                                                               : OpConcat;
    if (Number current, result;
        value.kind != VarKind::Bool && loadNumber(target, current) && numberBinary(combined, current, value, result))
        return storeNumber(target, result);
    Variant right;
    storeNumber(right, value);
    applyAssignment(op, target, right);
}

} // namespace vexil
