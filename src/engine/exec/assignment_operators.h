#pragma once
// The assignment operators: "=" and the compound forms that combine the old value with the new.
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

} // namespace vexil
