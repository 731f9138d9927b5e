#pragma once
// The compiled form of script lines: what the engine runs instead of walking tokens.
//
// At load every line is compiled once (statement_compiler.cpp): a line becomes one Statement, and
// each expression in it a tree of Nodes (expression_compiler.cpp). Statements and nodes live in
// flat arrays of the engine's Code and refer to each other by index, so the whole program is a
// few contiguous blocks that never move while a line runs.
//
// A node is 16 bytes: a kind, an operator, the column of its token (every error record points at
// the same column as before compiling), and three operands a, b, c whose meaning the kind gives:
//
//   Constant       a: index in `constants` (numbers, True/False/Default/Null, function values);
//                  a plain number (number_ops.h) also has its kind in op and its payload in b..c
//   Text           a: index in `constants`; a string literal, expanded when the options ask
//   Global         a: name id; a variable of global code, found in the global table; b and c
//                  keep the variable's record once found (globals never move nor go away)
//   Local          a: slot in the running call's frame, b: name id; a variable inside a function:
//                  the frame slot when the call has made that local, else the global of that name
//   Macro          a: index in `tokens` (the macro's token)
//   Element        a: variable node, [b, b+c) in `lists`: the path, two entries per step: a
//                  node ("[key]": any expression; ".name": a MemberName node) and the column of
//                  its bracket; op has kPlainIndexPath when it is one to four "[key]" steps
//   MemberName     a: index in `constants` (the name as written; a method's in capitals, with
//                  the name as written at b)
//   Reference      as Element: an argument passed by reference to a variable or an element
//   BuiltinCall    a: built-in table index, [b, b+c) in `lists`: argument nodes
//   UserCall       a: index in the function table, [b, b+c) in `lists`: argument nodes
//   Unary, Binary  op: the operator (operator_table.h), a: operand, b: right operand; a Binary
//                  has c = kNumberTree when it and its operands, down to the leaves, are
//                  operators of number_ops.h over variables, number constants and elements with
//                  leaf subscripts (a comparison only at the root, so that no operand is a
//                  Bool): reading it has no effect, so it is tried on plain numbers
//                  first and evaluated the general way only when that does not apply
//   And, Or        a, b: operands; b runs only when a does not decide
//   Named          a: name id; a variable found by name where the code runs (local, then
//                  global): texts compiled at run time, which belong to no function
//   Conditional    a: condition, b: value when true, c: value when false; only one runs
//   Method         a: the map or object, [b, b+c) in `lists`: a MemberName node (the method's
//                  name in capitals), then the argument nodes (a variable argument as a Reference
//                  node: an object's method may write through it); op kInPlace when a is a
//                  variable node (the method works on the variable itself)
//   ValueElement   a: any value node, [b, b+c) in `lists`: its path as Element's (a call's result
//                  or a parenthesis with subscripts or members after it)
//   ValueCall      a: the value called, [b, b+c) in `lists`: three entries per argument: a
//                  Reference or MemberReference node or -1, the value node, a BadReference node
//                  or -1; which one runs depends on the function the value turns out to be;
//                  then the column where a wrong count is reported (the node's own column is
//                  the "(")). op kByCall: CALL (a is its first argument, failures set @error)
//   MemberReference as Reference, its path starting with a member: a variable that holds no
//                  map is read as a value, or is an error when op has kRequiredReference
//   BadReference   as Reference: an argument that must be a variable but is an expression;
//                  the error's column follows the path in `lists`
//   Error          a: message id, [b, b+c) in `lists`: nodes evaluated first (what was read
//                  before the error); then the error is reported at the node's column
//   WithObject     the object of the innermost WITH block (".name" with no value before it)
//
// Variables of loaded lines resolve at load to Global or Local by where the line stands: a
// function's locals get slots (its parameters first, then every other name its lines use, see FunctionLayout), so a
// lookup is an array access. Names that code makes at run time (ASSIGN, EXECUTE) and texts that
// EXECUTE evaluates find variables by name (Named), through the same tables.
//
// Every expression compiles, malformed ones too: where reading its tokens would fail, an Error
// node stands, so the error shows when and where it would have, after what was read before it.
//
// Statements (Statement below) hold the nodes of their expressions and what the block map
// knows; a statement with more operands than a Statement holds (declarations, CASE items) keeps
// them in `lists`. A line whose tokens would fail on their syntax keeps StatementKind::Tokens and
// is run from its tokens, whose expressions are compiled on their first run. Either way a line's
// errors are the ones its tokens would give, at the same columns.
#include "engine/front/token.h"
#include "engine/values/value.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexil {

enum class NodeKind : uint8_t {
    Constant,
    Text,
    Global,
    Local,
    Macro,
    Element,
    MemberName,
    Reference,
    BuiltinCall,
    UserCall,
    Unary,
    Binary,
    And,
    Or,
    Named,
    Conditional,
    Method,
    ValueElement,
    ValueCall,
    MemberReference,
    BadReference,
    Error,
    WithObject,
};

// Element and Reference nodes: the path is one to four subscripts, no members.
constexpr uint8_t kPlainIndexPath = 2;
constexpr size_t kMaxPlainSteps = 4;
// Reference nodes: the variable may be a constant (built-ins that only read through it).
constexpr uint8_t kConstantAllowed = 1;
// MemberReference nodes: the argument must be a variable.
constexpr uint8_t kRequiredReference = 4;
// Method nodes: the map is the variable itself.
constexpr uint8_t kInPlace = 1;
// Binary nodes (c): a tree that numberBinary may work out whole.
constexpr int32_t kNumberTree = 1;
// ValueCall nodes: a call through CALL.
constexpr uint8_t kByCall = 1;

struct Node {
    NodeKind kind;
    uint8_t op = 0;
    int16_t column = -1;
    int32_t a = 0, b = 0, c = 0;
};
static_assert(sizeof(Node) == 16, "a node stays two words");
static_assert(offsetof(Node, b) + sizeof(void*) == sizeof(Node), "b and c hold a pointer");

enum class StatementKind : uint8_t {
    Tokens,       // a: the first token of the statement, run from the line's tokens
    Empty,
    Assign,       // a: variable node, op: the assignment token, b: value
    AssignElement,// a: element node (its path), op: the assignment token, b: value
    Evaluate,     // a: expression whose value is dropped (a call)
    IfThen,       // a: condition, b: the statement after THEN (an index in `statements`)
    IfBlock,      // a: condition
    ElseIf,       // a: condition (read when its IF tests its branches)
    While,        // a: condition (WEND reads it too)
    Until,        // a: condition
    For,          // a: loop variable node, b: start, c: limit, d: step or -1
    Return,       // a: value or -1
    Next,
    Wend,
    BranchEnd,    // ELSE, or an ELSEIF reached from the branch before it: on past the ENDIF
    EndBlock,     // ENDIF, ENDSELECT, ENDSWITCH
    Do,
    SkipFunction, // FUNC: a definition runs only when called
    EndFunction,
    Select,
    Switch,       // a: the value the cases compare with
    Case,         // [a, a+2b) in `lists`: per item its node and the node of its TO bound or -1 (a
                  // SELECT case: its condition); op: kCaseElse. Reached from its case before, it
                  // ends the block.
    ContinueCase,
    LoopExit,     // op: 1 EXITLOOP, 0 CONTINUELOOP, a: the levels or -1
    Exit,         // a: the exit code or -1
    ForIn,        // a: loop variable node, b: the collection, c: the column of its error
    Fail,         // a: the message (MessageId), column: where; a line that can only fail
    Declare,      // op: the form (DeclarationForm), a: its names in `lists`, b: their count
    Enum,         // op: the scope and the step, a: its names in `lists`, b: their count, c: the
                  // step's amount
    With,         // a: the object
    AssignMember, // a: ValueElement node on the WITH object (or a Method node: a property with
                  // arguments), op: the assignment token, b: value
};

// Case statements: CASE ELSE.
constexpr uint8_t kCaseElse = 1;

// The name id of a Global or Local node.
inline int32_t nameIdOf(const Node& variable) { return variable.kind == NodeKind::Local ? variable.b : variable.a; }

struct Statement {
    StatementKind kind = StatementKind::Tokens;
    uint8_t op = 0;
    int16_t column = -1;
    int32_t a = -1, b = -1, c = -1, d = -1;
};
static_assert(sizeof(Statement) == 20, "a statement stays small: more operands go to the lists");

// The variables of one user function: slot i holds the local named names[i]; parameters first.
struct FunctionLayout {
    std::vector<int32_t> names;                      // by slot
    std::vector<std::pair<int32_t, int32_t>> sorted; // (name id, slot), by name id
    int slotOf(int32_t nameId) const;
    int add(int32_t nameId); // the slot of a name, made when new
};

struct Code {
    std::vector<Node> nodes;
    std::vector<Variant> constants;
    std::vector<int32_t> lists;
    std::vector<const Token*> tokens;
    // Expressions compiled from a token position, for the statements that run from tokens.
    struct Expression {
        int32_t root;
        int32_t end;   // the bound the evaluation was given
        uint32_t stop; // the token at which the evaluation stops
    };
    std::vector<Expression> expressions;
    // One per loaded line (index = line number), then the statements nested in single-line IFs.
    std::vector<Statement> statements;
    // Per line: the index of the function whose body holds it, or -1.
    std::vector<int32_t> lineFunction;
    std::vector<FunctionLayout> layouts; // by function index

    int32_t addNode(const Node& node) {
        nodes.push_back(node);
        return static_cast<int32_t>(nodes.size() - 1);
    }
    int32_t addConstant(Variant value) {
        constants.push_back(std::move(value));
        return static_cast<int32_t>(constants.size() - 1);
    }
    const FunctionLayout* layoutOfLine(int line) const {
        if (line < 0 || static_cast<size_t>(line) >= lineFunction.size() || lineFunction[static_cast<size_t>(line)] < 0)
            return nullptr;
        return &layouts[static_cast<size_t>(lineFunction[static_cast<size_t>(line)])];
    }
};

} // namespace vexil
