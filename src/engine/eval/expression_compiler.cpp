// The expression compiler: the operator-precedence reading of a line's tokens with the action table
// of operator_table.h, two stacks holding nodes instead of values. Where reading would fail, an
// Error node takes the place of what was read so far, so the error shows at run time after the
// operands read before it. A failure in what a decided AND or OR, or the untaken side of a
// conditional, would have skipped belongs to that side only.
#include "engine/eval/expression_compiler.h"

#include "engine/eval/expression_reader.h"
#include "engine/eval/number_ops.h"
#include "engine/eval/operator_table.h"
#include "engine/front/keywords.h"
#include "engine/front/token_cursor.h"

namespace vexil {

using namespace precedence;

namespace {

// The operator stack's mark of a conditional whose false side is being read.
constexpr uint8_t kConditional = kOpCount;
constexpr size_t kNowhere = static_cast<size_t>(-1);

// Tokens that end the operand a decided AND or OR skips, at its own level.
bool endsOperand(const Token& tok) {
    switch (tok.type) {
    case TokenType::Comma:
    case TokenType::Question:
    case TokenType::Colon: return true;
    case TokenType::Keyword:
        return !isKeyword(tok, Keyword::Not) && !isKeyword(tok, Keyword::True) && !isKeyword(tok, Keyword::False) &&
               !isKeyword(tok, Keyword::Default) && !isKeyword(tok, Keyword::Null);
    default: return false;
    }
}

} // namespace

int32_t ExpressionReader::expression(size_t& pos, int end, bool& broken, bool colonEnds) {
    Level level{pos, end, colonEnds, {}, {OpEnd}, {}};
    for (;;) {
        int incoming = -1;
        bool going = operand(level, incoming);
        if (going && incoming >= 0) {
            const int status = takeOperator(level, incoming);
            if (status > 0) break;
            going = status == 0;
        }
        if (!going) {
            broken = true;
            break;
        }
    }
    pos = level.pos;
    return level.result;
}

void ExpressionReader::pushOperator(Level& level, int incoming) {
    if (incoming == OpAnd || incoming == OpOr) {
        size_t failsAt = 0;
        const size_t resume = skipEnd(level.pos + 1, level.end, failsAt);
        level.branches.push_back({level.ops.size(), level.values.size(), resume, failsAt});
    }
    level.ops.push_back(static_cast<uint8_t>(incoming));
    level.previous = static_cast<uint8_t>(incoming);
    ++level.pos;
}

// Feeds an incoming operator through the action table. 0: go on; 1: finished; -1: failed.
int ExpressionReader::takeOperator(Level& level, int incoming) {
    for (;;) {
        const uint8_t top = level.ops.back();
        const int column = t_[level.pos].column;
        if (top == kConditional) {
            if (incoming != OpClose && incoming != OpEnd) {
                pushOperator(level, incoming);
                return 0;
            }
            closeConditional(level);
            continue;
        }
        switch (kActions[top][incoming]) {
        case Push: pushOperator(level, incoming); return 0;
        case Apply:
            if (!apply(level)) return fail(level, MessageId::ErrorInExpression, column) ? 0 : -1;
            continue;
        case Match:
            if (top == OpOpen) {
                level.ops.pop_back();
                level.previous = OpClose;
                ++level.pos;
                return 0;
            }
            if (!apply(level)) return fail(level, MessageId::ErrorInExpression, column) ? 0 : -1;
            continue;
        case Finish:
            if (level.values.size() != 1) {
                // A conditional's true side is checked only after the false side is skipped.
                const bool trueSide = level.colonEnds && t_[level.pos].type == TokenType::Colon;
                const size_t at = trueSide ? TokenCursor(t_, level.pos + 1).toItemEnd(Nesting::Parens, endsArgument) : level.pos;
                return fail(level, MessageId::ErrorInExpression, t_[at].column) ? 0 : -1;
            }
            level.result = level.values.back();
            return 1;
        case MissingBracket: return fail(level, MessageId::MissingRightBracket, column) ? 0 : -1;
        default: return fail(level, MessageId::UnbalancedBrackets, column) ? 0 : -1;
        }
    }
}

// Applies the operator on top; false when its operands are missing (nothing is changed then).
bool ExpressionReader::apply(Level& level) {
    const uint8_t op = level.ops.back();
    const bool unary = isUnaryOperator(op);
    if (level.values.size() < (unary ? 1u : 2u)) return false;
    level.ops.pop_back();
    const int column = t_[level.pos].column;
    if (unary) {
        int32_t& operand = level.values.back();
        if (op == OpPlus) return true;
        const Node& n = code_.nodes[static_cast<size_t>(operand)];
        if (n.kind == NodeKind::Constant) {
            Variant value = code_.constants[static_cast<size_t>(n.a)];
            applyUnary(op, value);
            operand = constant(std::move(value), n.column);
        } else {
            operand = node(NodeKind::Unary, column, operand, 0, 0, op);
        }
        return true;
    }
    const int32_t right = level.values.back();
    level.values.pop_back();
    int32_t& left = level.values.back();
    if (op == OpAnd || op == OpOr) {
        const Branch branch = level.branches.back();
        level.branches.pop_back();
        // More than one value on the right: a failure the decided path skips.
        if (level.values.size() > branch.base && branch.base > 0) {
            std::vector<int32_t> read(level.values.begin() + static_cast<std::ptrdiff_t>(branch.base), level.values.end());
            read.push_back(right);
            level.values.resize(branch.base);
            const size_t at = branch.resume == kNowhere ? level.pos : branch.resume;
            const int32_t failed = errorNode(MessageId::ErrorInExpression, t_[at].column, read);
            level.values.back() = node(op == OpAnd ? NodeKind::And : NodeKind::Or, column, level.values.back(), failed);
            return true;
        }
        left = folded(op == OpAnd ? NodeKind::And : NodeKind::Or, op, left, right, column);
        return true;
    }
    left = folded(NodeKind::Binary, op, left, right, column);
    return true;
}

// Operators on constants are applied once, here: they have no effects and cannot fail.
int32_t ExpressionReader::folded(NodeKind kind, uint8_t op, int32_t left, int32_t right, int column) {
    const Node& l = code_.nodes[static_cast<size_t>(left)];
    const Node& r = code_.nodes[static_cast<size_t>(right)];
    if (l.kind != NodeKind::Constant || r.kind != NodeKind::Constant) {
        const bool tree = kind == NodeKind::Binary && isNumberOperator(op) && numberOperand(left) && numberOperand(right);
        return node(kind, column, left, right, tree ? kNumberTree : 0, op);
    }
    const Variant& a = code_.constants[static_cast<size_t>(l.a)];
    const Variant& b = code_.constants[static_cast<size_t>(r.a)];
    Variant result = a;
    if (kind == NodeKind::Binary) applyBinary(op, result, b);
    else result = Variant::boolean(kind == NodeKind::And ? a.toBool() && b.toBool() : a.toBool() || b.toBool());
    return constant(std::move(result), l.column);
}

// An operand of a number tree (code.h): reading it has no effect, and it may be a plain number.
bool ExpressionReader::numberOperand(int32_t index) const {
    const Node& n = code_.nodes[static_cast<size_t>(index)];
    switch (n.kind) {
    case NodeKind::Global:
    case NodeKind::Local: return true;
    case NodeKind::Constant: return n.op != 0; // a plain number
    case NodeKind::Binary: return (n.c & kNumberTree) && !isNumberComparison(n.op); // a Bool is no operand
    case NodeKind::Element:
        if (!(n.op & kPlainIndexPath)) return false;
        for (int32_t i = 0; i < n.c; ++i) {
            const Node& key = code_.nodes[static_cast<size_t>(code_.lists[static_cast<size_t>(n.b + 2 * i)])];
            if (key.kind == NodeKind::Constant ? !code_.constants[static_cast<size_t>(key.a)].is(VarKind::Int32)
                                               : key.kind != NodeKind::Global && key.kind != NodeKind::Local)
                return false;
        }
        return true;
    default: return false;
    }
}

// Where a decided AND or OR goes on: past its right operand, up to a comma, a keyword that is no
// operand, the conditional operator or a bracket it did not open; kNowhere when the line ends
// inside a bracket.
size_t ExpressionReader::skipEnd(size_t from, int end, size_t& failsAt) const {
    for (TokenCursor cursor(t_, from);; cursor.step()) {
        const size_t at = cursor.position();
        failsAt = at;
        if (t_[at].type == TokenType::EndOfLine || static_cast<int>(at) == end)
            return cursor.atTopLevel() ? at : kNowhere;
        if (cursor.closesOuter() || (cursor.atTopLevel() && endsOperand(t_[at]))) return at;
    }
}

// Whether the other path of a pending branch goes on past a failure in it: it must go on
// somewhere, and an AND or OR needs its left operand still in place.
bool ExpressionReader::contained(const Level& level, const Branch& branch) const {
    if (branch.resume == kNowhere || level.values.size() < branch.base) return false;
    return level.ops[branch.opIndex] == kConditional || branch.base > 0;
}

// Reading fails here. Inside the right operand of an AND or OR or the false side of a conditional,
// only that path fails: the other one goes on where it would have (true is returned); else the
// whole expression becomes the Error node, after everything read (false).
bool ExpressionReader::fail(Level& level, MessageId::Id id, int column) {
    if (!level.branches.empty() && contained(level, level.branches.back())) {
        const Branch branch = level.branches.back();
        level.branches.pop_back();
        const uint8_t op = level.ops[branch.opIndex];
        std::vector<int32_t> read(level.values.begin() + static_cast<std::ptrdiff_t>(branch.base), level.values.end());
        const int32_t failed = errorNode(id, column, read);
        level.values.resize(branch.base);
        level.ops.resize(branch.opIndex);
        const int opColumn = t_[level.pos].column;
        if (op == kConditional) {
            level.values.push_back(node(NodeKind::Conditional, opColumn, branch.condition, branch.whenTrue, failed));
        } else {
            int32_t& left = level.values.back();
            left = node(op == OpAnd ? NodeKind::And : NodeKind::Or, opColumn, left, failed);
        }
        level.pos = branch.resume;
        level.previous = kAfterOperand;
        return true;
    }
    std::vector<int32_t> read = level.values;
    if (!level.branches.empty() && level.ops[level.branches.back().opIndex] != kConditional) {
        // The decided path of an AND or OR fails too, but where its skip ran out of the line.
        const Branch branch = level.branches.back();
        if (branch.base > 0 && level.values.size() >= branch.base) {
            std::vector<int32_t> right(level.values.begin() + static_cast<std::ptrdiff_t>(branch.base), level.values.end());
            read.resize(branch.base);
            const uint8_t op = level.ops[branch.opIndex];
            read.back() = node(op == OpAnd ? NodeKind::And : NodeKind::Or, t_[level.pos].column, read.back(),
                               errorNode(id, column, right));
            id = MessageId::ErrorInExpression;
            column = t_[branch.skipFails].column;
        }
    }
    level.result = errorNode(id, column, read);
    return false;
}

bool ExpressionReader::pushOperand(Level& level, int32_t operand, bool broken) {
    level.values.push_back(operand);
    level.previous = kAfterOperand;
    // The operand fails by itself; the Error node's own message is never reached.
    return !broken || fail(level, MessageId::ErrorInExpression, -1);
}

// "?": everything before it is the condition; the true side is read up to its ":", the false side
// after it, as the rest of the expression.
bool ExpressionReader::conditional(Level& level) {
    const int column = t_[level.pos].column;
    while (level.ops.back() != OpOpen && level.ops.back() != OpEnd && level.ops.back() != kConditional)
        if (!apply(level)) return fail(level, MessageId::ErrorInExpression, column);
    if (level.values.empty()) return fail(level, MessageId::ErrorInExpression, column);
    const int32_t condition = level.values.back();
    level.values.pop_back();
    ++level.pos;
    size_t colon = level.pos;
    for (int open = 1; t_[colon].type != TokenType::EndOfLine; ++colon) {
        if (t_[colon].type == TokenType::Question) ++open;
        else if (t_[colon].type == TokenType::Colon && --open == 0) break;
    }
    bool trueBroken = false;
    size_t p = level.pos;
    const int32_t whenTrue = expression(p, level.end, trueBroken, true);
    if (t_[colon].type == TokenType::EndOfLine) {
        // No ":": the false side fails at the end of the line.
        const int32_t whenFalse = errorNode(MessageId::ErrorInExpression, t_[colon].column, {});
        level.pos = p;
        return pushOperand(level, node(NodeKind::Conditional, column, condition, whenTrue, whenFalse), trueBroken);
    }
    // Past the true side, reading goes on at the end of the item (comma or closing parenthesis).
    const size_t resume = TokenCursor(t_, colon + 1).toItemEnd(Nesting::Parens, endsArgument);
    level.branches.push_back({level.ops.size(), level.values.size(), resume, 0, condition, whenTrue});
    level.ops.push_back(kConditional);
    level.pos = colon + 1;
    level.previous = OpOpen;
    return true;
}

void ExpressionReader::closeConditional(Level& level) {
    const Branch branch = level.branches.back();
    level.branches.pop_back();
    level.ops.pop_back();
    int32_t whenFalse;
    if (level.values.size() == branch.base + 1) {
        whenFalse = level.values.back();
    } else {
        std::vector<int32_t> read(level.values.begin() + static_cast<std::ptrdiff_t>(branch.base), level.values.end());
        whenFalse = errorNode(MessageId::ErrorInExpression, t_[level.pos].column, read);
    }
    level.values.resize(branch.base);
    level.values.push_back(node(NodeKind::Conditional, t_[level.pos].column, branch.condition, branch.whenTrue, whenFalse));
    level.previous = kAfterOperand;
}

// ":" outside a conditional's true side: what follows, up to the end of the item, is skipped.
bool ExpressionReader::conditionalElse(Level& level) {
    if (level.values.empty()) return fail(level, MessageId::ErrorInExpression, t_[level.pos].column);
    level.pos = TokenCursor(t_, level.pos + 1).toItemEnd(Nesting::Parens, endsArgument);
    level.previous = kAfterOperand;
    return true;
}

int32_t compileVariable(Code& code, const Token& name, const CompileScope& scope) {
    if (scope.byName) return code.addNode(Node{NodeKind::Named, 0, name.column, name.i32, 0, 0});
    if (scope.layout) {
        const int slot = scope.layout->slotOf(name.i32);
        if (slot >= 0) return code.addNode(Node{NodeKind::Local, 0, name.column, slot, name.i32, 0});
    }
    return code.addNode(Node{NodeKind::Global, 0, name.column, name.i32, 0, 0});
}

namespace {

// Drops what a compilation added (when its result is not taken).
struct CodeMark {
    Code& code;
    size_t nodes = code.nodes.size(), constants = code.constants.size(), lists = code.lists.size(),
           tokens = code.tokens.size();
    void rollBack() const {
        code.nodes.resize(nodes);
        code.constants.resize(constants);
        code.lists.resize(lists);
        code.tokens.resize(tokens);
    }
};

} // namespace

int32_t compileExpression(Code& code, const TokenList& tokens, size_t& pos, int end, const CompileScope& scope) {
    const CodeMark mark{code};
    ExpressionReader reader(code, tokens, scope);
    size_t p = pos;
    bool broken = false;
    const int32_t root = reader.expression(p, end, broken);
    if (reader.sawError()) {
        mark.rollBack();
        return -1;
    }
    pos = p;
    return root;
}

int32_t compileAnyExpression(Code& code, const TokenList& tokens, size_t& pos, int end, const CompileScope& scope) {
    ExpressionReader reader(code, tokens, scope);
    bool broken = false;
    return reader.expression(pos, end, broken);
}

int32_t compileCallStatement(Code& code, const TokenList& tokens, size_t& pos, const CompileScope& scope) {
    ExpressionReader reader(code, tokens, scope);
    return reader.callStatement(pos);
}

int32_t compileTarget(Code& code, const TokenList& tokens, size_t& pos, const CompileScope& scope) {
    const CodeMark mark{code};
    ExpressionReader reader(code, tokens, scope);
    size_t p = pos;
    const int32_t target = reader.target(p);
    if (target < 0 || reader.sawError()) {
        mark.rollBack();
        return -1;
    }
    pos = p;
    return target;
}

int FunctionLayout::slotOf(int32_t nameId) const {
    size_t low = 0, high = sorted.size();
    while (low < high) {
        const size_t mid = (low + high) / 2;
        if (sorted[mid].first < nameId) low = mid + 1;
        else high = mid;
    }
    return low < sorted.size() && sorted[low].first == nameId ? sorted[low].second : -1;
}

int FunctionLayout::add(int32_t nameId) {
    if (int slot = slotOf(nameId); slot >= 0) return slot;
    const int slot = static_cast<int>(names.size());
    names.push_back(nameId);
    auto at = sorted.begin();
    while (at != sorted.end() && at->first < nameId) ++at;
    sorted.insert(at, {nameId, slot});
    return slot;
}

} // namespace vexil
