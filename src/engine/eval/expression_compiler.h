#pragma once
// Compiling expressions of script lines into node trees (code.h).
#include "engine/eval/code.h"
#include "engine/front/token.h"

#include <cstddef>

namespace vexil {

class FunctionTable;

// What a compiled name can refer to: the user functions, and the frame layout of the function
// the line belongs to (nullptr for global code).
struct CompileScope {
    const FunctionTable& functions;
    const FunctionLayout* layout;
};

// Compiles the expression at `pos`, bounded by the token index `end` (-1: none). Returns the root
// node and moves `pos` to the token where evaluating would stop; returns -1 (and leaves `pos`) for
// an expression the compiler does not take: a form it does not know, or one whose evaluation
// would fail on its syntax, which the token evaluator reads and reports instead.
int32_t compileExpression(Code& code, const TokenList& tokens, size_t& pos, int end, const CompileScope& scope);

// The node of a variable token as the scope resolves it (Global or Local).
int32_t compileVariable(Code& code, const Token& name, const CompileScope& scope);

// The variable and subscripts at `pos` ("$a", "$a[1][$i]", "$m.key") as an Element node whose path
// may be empty; -1 when the path is malformed. `pos` moves past the path.
int32_t compileTarget(Code& code, const TokenList& tokens, size_t& pos, const CompileScope& scope);

} // namespace vexil
