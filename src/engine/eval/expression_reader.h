#pragma once
// The expression compiler's reader (private to eval/): the operator-precedence reading of a line's
// tokens (expression_compiler.cpp) and the operands it meets (operand_compiler.cpp): variables and
// their paths, calls, methods and by-reference arguments.
#include "engine/errors/messages.h"
#include "engine/eval/code.h"
#include "engine/eval/expression_compiler.h"
#include "engine/eval/operator_table.h"
#include "engine/front/token.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace vexil {

struct UserFunction;

class ExpressionReader {
public:
    ExpressionReader(Code& code, const TokenList& tokens, const CompileScope& scope)
        : code_(code), t_(tokens), scope_(scope) {}

    // The expression at `pos` up to where reading it stops (a terminator, `end`, or a ":" when
    // `colonEnds`); `broken` when reading fails there, the result then being the Error node.
    int32_t expression(size_t& pos, int end, bool& broken, bool colonEnds = false);
    // A statement's call: the name and its arguments, nothing after them.
    int32_t callStatement(size_t& pos);
    // A variable and its path (an Element node), or -1 when the path is malformed.
    int32_t target(size_t& pos);
    // Whether any Error node was made.
    bool sawError() const { return sawError_; }

private:
    // A pending AND or OR (its right operand starts at `base`) or conditional (its false side does);
    // `resume` is where the other path goes on reading, kNowhere when that path fails as well.
    struct Branch {
        size_t opIndex;
        size_t base;
        size_t resume;
        size_t skipFails = 0;   // where the other path fails when resume is kNowhere
        int32_t condition = -1; // conditional only
        int32_t whenTrue = -1;
    };

    struct Level {
        size_t pos;
        int end;
        bool colonEnds;
        std::vector<int32_t> values;
        std::vector<uint8_t> ops;
        std::vector<Branch> branches;
        uint8_t previous = precedence::kAtStart;
        int32_t result = -1;
    };

    // expression_compiler.cpp: the operator-precedence reading.
    bool operand(Level& level, int& incoming);
    int takeOperator(Level& level, int incoming);
    bool apply(Level& level);
    void pushOperator(Level& level, int incoming);
    bool conditional(Level& level);
    bool conditionalElse(Level& level);
    void closeConditional(Level& level);
    bool fail(Level& level, MessageId::Id id, int column);
    bool contained(const Level& level, const Branch& branch) const;
    bool pushOperand(Level& level, int32_t node, bool broken);
    size_t skipEnd(size_t from, int end, size_t& failsAt) const;
    int32_t folded(NodeKind kind, uint8_t op, int32_t left, int32_t right, int column);
    bool numberOperand(int32_t index) const;

    // operand_compiler.cpp: operands.
    struct Step {
        int32_t node;
        int32_t column;
    };
    bool postfix(Level& level, int32_t value, int column, bool ofValue);
    bool callTopValue(Level& level);
    void path(size_t& pos, std::vector<Step>& steps, bool& broken);
    int32_t pathNode(NodeKind kind, int32_t variable, int column, const std::vector<Step>& steps, uint8_t flags);
    int32_t builtinCall(size_t& pos, bool& broken);
    int32_t userCall(size_t& pos, const UserFunction& f, bool& broken);
    int32_t byCall(size_t& pos, int nameColumn, bool& broken);
    int32_t valueCall(size_t& pos, int32_t callee, int column, bool& broken);
    int32_t method(size_t& pos, int32_t receiver, bool inPlace, bool& broken);
    // "(" arguments ")" at `pos`; `kind(i, constantAllowed, required)` says whether argument i is
    // by reference. False (with the Error node in `missing`) when nothing closes the "(".
    template <class ByReference>
    bool arguments(size_t& pos, std::vector<int32_t>& out, ByReference kind, size_t limit, int32_t& missing);
    int32_t referenceArgument(size_t& pos, size_t close, bool constantAllowed, bool required, bool& broken);
    // Three entries per argument (reference, value, bad reference) for calls of values.
    void valueArguments(size_t& pos, size_t close, std::vector<int32_t>& out);

    int32_t node(NodeKind kind, int column, int32_t a = 0, int32_t b = 0, int32_t c = 0, uint8_t op = 0) {
        return code_.addNode(Node{kind, op, static_cast<int16_t>(column), a, b, c});
    }
    int32_t constant(Variant value, int column) {
        // A plain number also keeps its kind and payload in the node: number trees read it there.
        const bool number = value.isNumber() && value.hasNoText();
        const uint8_t kind = number ? static_cast<uint8_t>(value.kind()) : 0;
        const int64_t payload = value.int64Value();
        const int32_t index = node(NodeKind::Constant, column, code_.addConstant(std::move(value)), 0, 0, kind);
        if (number) std::memcpy(&code_.nodes[static_cast<size_t>(index)].b, &payload, sizeof payload);
        return index;
    }
    int32_t list(const std::vector<int32_t>& items) {
        const int32_t first = static_cast<int32_t>(code_.lists.size());
        code_.lists.insert(code_.lists.end(), items.begin(), items.end());
        return first;
    }
    int32_t errorNode(MessageId::Id id, int column, const std::vector<int32_t>& first) {
        sawError_ = true;
        return node(NodeKind::Error, column, id, list(first), static_cast<int32_t>(first.size()));
    }
    int32_t subExpression(size_t& pos, int end, bool& broken) {
        broken = false;
        return expression(pos, end, broken);
    }

    Code& code_;
    const TokenList& t_;
    const CompileScope& scope_;
    bool sawError_ = false;
};

} // namespace vexil
