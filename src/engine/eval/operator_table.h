#pragma once
// The operators of expressions and the precedence table that drives the expression compiler, and
// what the operators do to values (the compiler folds constants with them, the runner applies them).
#include "engine/front/token.h"
#include "engine/values/value.h"

#include <cstdint>

namespace vexil::precedence {

// Operator codes: rows and columns of the action table.
enum Op : uint8_t {
    OpLess, OpGreater, OpLessEqual, OpGreaterEqual, OpNotEqual, OpEqual, OpStrictEqual,
    OpAnd, OpOr, OpConcat, OpNot, OpAdd, OpSubtract, OpMultiply, OpDivide, OpPower,
    OpNegate, OpPlus, OpOpen, OpClose, OpEnd,
    kOpCount
};
// Previous-item states besides operator codes.
inline constexpr uint8_t kAfterOperand = 22;
inline constexpr uint8_t kAtStart = 23;

// Actions: push the incoming operator, apply the top one, match a parenthesis, finish, errors.
enum Action : uint8_t { Push = 0, Apply = 1, Match = 2, Finish = 3, MissingBracket = 4, Unbalanced = 6 };

// [operator on top of the stack][incoming operator]; columns in operator-code order:
// <  >  <= >= <> =  == AND OR &  NOT +  -  *  /  ^  u- u+ (  )  END
inline constexpr uint8_t kActions[kOpCount][kOpCount] = {
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // <
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // >
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // <=
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // >=
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // <>
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // =
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // ==
    {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // AND
    {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // OR
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // &
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 2, 1}, // NOT
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 2, 1}, // +
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 2, 1}, // -
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 0, 2, 1}, // *
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 0, 2, 1}, // /
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 2, 1}, // ^
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 2, 1}, // unary -
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 2, 1}, // unary +
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 4}, // (
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, // ) is never pushed
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 3}, // END
};

// Operators that a token stands for directly (binary + and - are decided by the state).
inline int operatorOf(TokenType type) {
    switch (type) {
    case TokenType::Less: return OpLess;
    case TokenType::Greater: return OpGreater;
    case TokenType::LessEqual: return OpLessEqual;
    case TokenType::GreaterEqual: return OpGreaterEqual;
    case TokenType::NotEqual: return OpNotEqual;
    case TokenType::Assign: return OpEqual;
    case TokenType::StrictEqual: return OpStrictEqual;
    case TokenType::Concat: return OpConcat;
    case TokenType::Multiply: return OpMultiply;
    case TokenType::Divide: return OpDivide;
    case TokenType::Power: return OpPower;
    case TokenType::RightParen: return OpClose;
    default: return -1;
    }
}

// The value of an operator applied to its operands, in place in the left one (the only one for
// the unary operators).
inline void applyUnary(uint8_t op, Variant& v) {
    if (op == OpNot) v = Variant::boolean(!v.toBool());
    else if (op == OpNegate) v.multiply(Variant::int32(-1));
}

inline void applyBinary(uint8_t op, Variant& left, const Variant& right) {
    switch (op) {
    case OpLess: left = Variant::boolean(Variant::lessThan(left, right)); break;
    case OpGreater: left = Variant::boolean(Variant::lessThan(right, left)); break;
    case OpLessEqual: left = Variant::boolean(!Variant::lessThan(right, left)); break;
    case OpGreaterEqual: left = Variant::boolean(!Variant::lessThan(left, right)); break;
    case OpEqual: left = Variant::boolean(Variant::equal(left, right)); break;
    case OpNotEqual: left = Variant::boolean(!Variant::equal(left, right)); break;
    case OpStrictEqual: left = Variant::boolean(Variant::strictEqual(left, right)); break;
    case OpAnd: left = Variant::boolean(left.toBool() && right.toBool()); break;
    case OpOr: left = Variant::boolean(left.toBool() || right.toBool()); break;
    case OpConcat: left.concatenate(right); break;
    case OpAdd: left.add(right); break;
    case OpSubtract: left.subtract(right); break;
    case OpMultiply: left.multiply(right); break;
    case OpDivide: left.divide(right); break;
    case OpPower: left = Variant::power(left, right); break;
    default: break;
    }
}

// "+" and "-" are binary after an operand or a closing parenthesis, else signs.
inline int signOperator(TokenType type, uint8_t previous) {
    bool binary = previous == kAfterOperand || previous == OpClose;
    bool plus = type == TokenType::Plus;
    return binary ? (plus ? OpAdd : OpSubtract) : (plus ? OpPlus : OpNegate);
}

// A "(" right after ")" or "]" calls the value before it.
inline bool closesBefore(const TokenList& tokens, size_t pos) {
    if (pos == 0) return false;
    TokenType prev = tokens[pos - 1].type;
    return prev == TokenType::RightParen || prev == TokenType::RightBracket;
}

constexpr bool isUnaryOperator(uint8_t op) { return op == OpNot || op == OpNegate || op == OpPlus; }

} // namespace vexil::precedence
