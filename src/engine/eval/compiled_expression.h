#pragma once
// Expressions of the loaded script, compiled once into a flat list of steps the first time they
// run: operators are placed by the same precedence table the evaluator uses, literals and plain
// variables become single steps, and what needs the full evaluator (calls, subscripts, macros)
// is one step that runs it for that operand. Anything else stays with the evaluator.
#include <cstdint>

namespace vexil {

enum class StepKind : uint8_t { PushInt32, PushToken, PushKeyword, LoadVariable, Operand, Unary, Binary, ShortCircuit };

struct ExpressionStep {
    StepKind kind;
    uint8_t op;     // the operator of Unary, Binary and ShortCircuit
    int16_t column; // of the token, for errors
    int32_t value;  // literal, token index, keyword, name id, or the step a decided AND/OR jumps to
};

struct CompiledExpression {
    uint32_t first; // in the engine's step list
    uint32_t count;
    int32_t end;    // the bound the evaluation was given
    uint32_t stop;  // the token at which the evaluation stops
};

} // namespace vexil
