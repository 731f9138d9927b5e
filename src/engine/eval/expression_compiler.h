#pragma once
// Compiling expressions of script lines into node trees (code.h).
#include "engine/eval/code.h"
#include "engine/front/token.h"

#include <cstddef>

namespace vexil {

class FunctionTable;

// What a compiled name can refer to: the user functions, and the frame layout of the function
// the line belongs to (nullptr for global code). A text compiled at run time belongs to no
// function: `byName` has its variables found by name where it runs.
struct CompileScope {
    const FunctionTable& functions;
    const FunctionLayout* layout;
    bool byName = false;
};

// Compiles the expression at `pos`, bounded by the token index `end` (-1: none). Returns the root
// node and moves `pos` to the token where evaluating stops. Every expression compiles: one whose
// reading fails holds Error nodes where it fails.
int32_t compileAnyExpression(Code& code, const TokenList& tokens, size_t& pos, int end, const CompileScope& scope);

// The same for the statement compiler, which keeps a line's tokens when reading them fails
// somewhere: -1 (and `pos` left) for an expression that holds an Error node.
int32_t compileExpression(Code& code, const TokenList& tokens, size_t& pos, int end, const CompileScope& scope);

// The call that a statement starting with a function name makes (the name, its arguments and
// nothing after them); an Error node when the name is unknown or no "(" follows.
int32_t compileCallStatement(Code& code, const TokenList& tokens, size_t& pos, const CompileScope& scope);

// The node of a variable token as the scope resolves it (Global, Local or Named).
int32_t compileVariable(Code& code, const Token& name, const CompileScope& scope);

// The variable and subscripts at `pos` ("$a", "$a[1][$i]", "$m.key") as an Element node whose path
// may be empty; -1 when the path is malformed. `pos` moves past the path.
int32_t compileTarget(Code& code, const TokenList& tokens, size_t& pos, const CompileScope& scope);

} // namespace vexil
