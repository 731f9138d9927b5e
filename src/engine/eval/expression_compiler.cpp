// The expression compiler: recursive descent over a line's tokens with the precedence levels of
// the operator table (operator_table.h), building the node tree of code.h. It takes only
// expressions it fully understands and that evaluate without a syntax error; for anything else it
// gives up and the token evaluator (eval.cpp) reads the tokens, so errors keep their wording and
// columns.
#include "engine/eval/expression_compiler.h"

#include "engine/builtins/builtins.h"
#include "engine/eval/operator_table.h"
#include "engine/exec/functions.h"
#include "engine/front/keywords.h"
#include "engine/front/token_cursor.h"

namespace vexil {

using namespace precedence;

namespace {

// Binding levels of the binary operators, loosest first; 0 for a token that is none.
enum Level : int { None = 0, Logical = 1, Comparison = 2, Concatenation = 3, Additive = 4, Multiplicative = 5, Power = 6 };

class ExpressionCompiler {
public:
    ExpressionCompiler(Code& code, const TokenList& tokens, size_t pos, int end, const CompileScope& scope)
        : code_(code), t_(tokens), p_(pos), end_(end), scope_(scope) {}

    // The root of a whole expression, which must stop where the evaluator would.
    int32_t wholeExpression() {
        const int32_t root = binary(Logical);
        return root >= 0 && terminates(p_) ? root : -1;
    }
    // The variable and path at the position (an Element node, its path possibly empty).
    int32_t target() {
        const Token& name = t_[p_];
        if (name.type != TokenType::Variable) return -1;
        ++p_;
        const int32_t variable = compileVariable(code_, name, scope_);
        return path(NodeKind::Element, variable, name.column);
    }
    size_t position() const { return p_; }

private:
    const Token& token() const { return t_[p_]; }
    bool atBound(size_t i) const { return static_cast<int>(i) == end_ || t_[i].type == TokenType::EndOfLine; }

    int32_t node(NodeKind kind, int column, int32_t a = 0, int32_t b = 0, int32_t c = 0, uint8_t op = 0) {
        return code_.addNode(Node{kind, op, static_cast<int16_t>(column), a, b, c});
    }
    int32_t constant(Variant value, int column) {
        return node(NodeKind::Constant, column, code_.addConstant(std::move(value)));
    }

    // Where the evaluator ends an expression after an operand without an operator.
    bool terminates(size_t i) const {
        if (atBound(i)) return true;
        const Token& tok = t_[i];
        switch (tok.type) {
        case TokenType::RightBracket:
        case TokenType::Comma:
        case TokenType::PlusAssign:
        case TokenType::MinusAssign:
        case TokenType::MultiplyAssign:
        case TokenType::DivideAssign:
        case TokenType::ConcatAssign: return true;
        case TokenType::Keyword:
            switch (static_cast<Keyword>(tok.i32)) {
            case Keyword::And: case Keyword::Or: case Keyword::Not: case Keyword::True: case Keyword::False:
            case Keyword::Default: case Keyword::Null: return false;
            default: return true;
            }
        default: return false;
        }
    }

    // The binary operator at the position and its level.
    Level binaryLevel(uint8_t& op) const {
        if (atBound(p_)) return None;
        const Token& tok = token();
        switch (tok.type) {
        case TokenType::Keyword:
            if (isKeyword(tok, Keyword::And)) return op = OpAnd, Logical;
            if (isKeyword(tok, Keyword::Or)) return op = OpOr, Logical;
            return None;
        case TokenType::Plus: return op = OpAdd, Additive;
        case TokenType::Minus: return op = OpSubtract, Additive;
        default: break;
        }
        const int code = operatorOf(tok.type);
        switch (code) {
        case OpLess: case OpGreater: case OpLessEqual: case OpGreaterEqual: case OpNotEqual: case OpEqual:
        case OpStrictEqual: return op = static_cast<uint8_t>(code), Comparison;
        case OpConcat: return op = OpConcat, Concatenation;
        case OpMultiply: case OpDivide: return op = static_cast<uint8_t>(code), Multiplicative;
        case OpPower: return op = OpPower, Power;
        default: return None;
        }
    }

    // Operators of one level and tighter, left to right (every level associates to the left).
    int32_t binary(int lowest) {
        int32_t left = unary();
        for (;;) {
            if (left < 0) return -1;
            uint8_t op = 0;
            const Level level = binaryLevel(op);
            if (level == None || level < lowest) return left;
            const int column = token().column;
            ++p_;
            const int32_t right = binary(level + 1);
            if (right < 0) return -1;
            const NodeKind kind = op == OpAnd ? NodeKind::And : op == OpOr ? NodeKind::Or : NodeKind::Binary;
            const int32_t folded = foldedBinary(kind, op, left, right);
            left = folded >= 0 ? folded : node(kind, column, left, right, 0, op);
        }
    }

    // Signs and NOT bind tighter than any binary operator.
    int32_t unary() {
        if (atBound(p_)) return -1;
        const Token& tok = token();
        uint8_t op;
        if (isKeyword(tok, Keyword::Not)) op = OpNot;
        else if (tok.type == TokenType::Minus) op = OpNegate;
        else if (tok.type == TokenType::Plus) op = OpPlus;
        else return primary();
        ++p_;
        const int32_t operand = unary();
        if (operand < 0 || op == OpPlus) return operand;
        if (const Variant* value = constantOf(operand)) {
            Variant result = *value;
            applyUnary(op, result);
            return constant(std::move(result), tok.column);
        }
        return node(NodeKind::Unary, tok.column, operand, 0, 0, op);
    }

    // Operators on constants are applied once, here: they have no effects and cannot fail.
    const Variant* constantOf(int32_t index) const {
        const Node& n = code_.nodes[static_cast<size_t>(index)];
        return n.kind == NodeKind::Constant ? &code_.constants[static_cast<size_t>(n.a)] : nullptr;
    }
    int32_t foldedBinary(NodeKind kind, uint8_t op, int32_t left, int32_t right) {
        const Variant* a = constantOf(left);
        const Variant* b = constantOf(right);
        if (!a || !b) return -1;
        Variant result = *a;
        if (kind == NodeKind::Binary) applyBinary(op, result, *b);
        else result = Variant::boolean(kind == NodeKind::And ? a->toBool() && b->toBool() : a->toBool() || b->toBool());
        return constant(std::move(result), code_.nodes[static_cast<size_t>(left)].column);
    }

    int32_t primary() {
        const Token& tok = token();
        int32_t result = -1;
        switch (tok.type) {
        case TokenType::Int32: ++p_; return constant(Variant::int32(tok.i32), tok.column);
        case TokenType::Int64: ++p_; return constant(Variant::int64(tok.i64), tok.column);
        case TokenType::Double: ++p_; return constant(Variant::real(tok.f64), tok.column);
        case TokenType::String:
            ++p_;
            return node(NodeKind::Text, tok.column, code_.addConstant(Variant::string(tok.text)));
        case TokenType::Keyword:
            switch (static_cast<Keyword>(tok.i32)) {
            case Keyword::True: ++p_; return constant(Variant::boolean(true), tok.column);
            case Keyword::False: ++p_; return constant(Variant::boolean(false), tok.column);
            case Keyword::Default: ++p_; return constant(Variant::defaultKeyword(), tok.column);
            case Keyword::Null: ++p_; return constant(Variant::nullKeyword(), tok.column);
            default: return -1;
            }
        case TokenType::Macro:
            ++p_;
            code_.tokens.push_back(&tok);
            result = node(NodeKind::Macro, tok.column, static_cast<int32_t>(code_.tokens.size() - 1));
            break;
        case TokenType::Variable: {
            ++p_;
            const int32_t variable = compileVariable(code_, tok, scope_);
            if (token().type == TokenType::Member && t_[p_ + 1].type == TokenType::LeftParen) return -1; // a method
            const bool hasPath = token().type == TokenType::LeftBracket || token().type == TokenType::Member;
            result = hasPath ? path(NodeKind::Element, variable, tok.column) : variable;
            break;
        }
        case TokenType::Builtin: result = builtinCall(tok); break;
        case TokenType::UserFunc: result = userCall(tok); break;
        case TokenType::LeftParen: {
            if (closesBefore(t_, p_)) return -1;
            ++p_;
            const int32_t inner = binary(Logical);
            if (inner < 0 || atBound(p_) || token().type != TokenType::RightParen) return -1;
            ++p_;
            result = inner;
            break;
        }
        default: return -1;
        }
        // Calls of values, subscripts of results and members of anything but a variable's path
        // stay with the evaluator.
        if (result < 0 || atBound(p_)) return result;
        const TokenType next = token().type;
        if (next == TokenType::LeftParen || next == TokenType::LeftBracket || next == TokenType::Member) return -1;
        return result;
    }

    // "[key]" and ".name" after a variable: the node of `kind` with the path, which may be empty.
    // Each step is two list entries: the key node (or a MemberName node) and the column where a
    // bad subscript is reported (the bracket's).
    int32_t path(NodeKind kind, int32_t variable, int column, bool membersAllowed = true) {
        std::vector<std::pair<int32_t, int32_t>> steps;
        for (;;) {
            const Token& tok = token();
            if (tok.type == TokenType::Member) {
                if (t_[p_ + 1].type == TokenType::LeftParen) break;
                if (!membersAllowed) return -1;
                steps.push_back({node(NodeKind::MemberName, tok.column, code_.addConstant(Variant::string(tok.text))),
                                 tok.column});
                ++p_;
                continue;
            }
            if (tok.type != TokenType::LeftBracket) break;
            ++p_;
            // A key is read without the caller's bound, up to its "]".
            const int savedEnd = end_;
            end_ = -1;
            const int32_t key = binary(Logical);
            end_ = savedEnd;
            if (key < 0 || token().type != TokenType::RightBracket) return -1;
            steps.push_back({key, tok.column});
            ++p_;
        }
        const int32_t first = static_cast<int32_t>(code_.lists.size());
        bool plain = !steps.empty() && steps.size() <= kMaxPlainSteps;
        for (const auto& [step, stepColumn] : steps) {
            code_.lists.push_back(step);
            code_.lists.push_back(stepColumn);
            plain = plain && code_.nodes[static_cast<size_t>(step)].kind != NodeKind::MemberName;
        }
        return node(kind, column, variable, first, static_cast<int32_t>(steps.size()), plain ? kPlainIndexPath : 0);
    }

    // A variable (with an index path) that is the whole argument: passed by reference. A member
    // may belong to an object, which only the evaluator can tell.
    int32_t referenceArgument(size_t close, bool constantAllowed) {
        const Token& name = token();
        ++p_;
        const int32_t variable = compileVariable(code_, name, scope_);
        const int32_t reference = path(NodeKind::Reference, variable, name.column, false);
        if (reference < 0 || !(p_ == close || token().type == TokenType::Comma)) return -1;
        if (constantAllowed) code_.nodes[static_cast<size_t>(reference)].op |= kConstantAllowed;
        return reference;
    }

    // "(" arguments ")" at the position; `byReference(i, constantAllowed)` says whether argument i
    // is passed by reference when it is a variable, and whether that may be a constant.
    template <class ByReference>
    bool arguments(std::vector<int32_t>& out, ByReference byReference) {
        if (token().type != TokenType::LeftParen) return false;
        const size_t close = closingParenthesis(t_, p_);
        if (t_[close].type == TokenType::EndOfLine) return false;
        ++p_;
        const int savedEnd = end_;
        end_ = static_cast<int>(close);
        bool ok = true;
        while (ok && p_ < close) {
            int32_t argument = -1;
            bool constantAllowed = false;
            if (byReference(out.size(), constantAllowed) && token().type == TokenType::Variable) {
                argument = referenceArgument(close, constantAllowed);
                // A required reference that is not one is an error the evaluator reports; an
                // optional one is read as a value by the evaluator (which looks the name up twice).
                if (argument < 0) ok = false;
            } else {
                argument = binary(Logical);
            }
            if (argument < 0 || !(p_ == close || token().type == TokenType::Comma)) ok = false;
            else if (p_ != close && p_ + 1 == close) ok = false; // "f(1,)"
            out.push_back(argument);
            if (ok && p_ != close) ++p_;
        }
        end_ = savedEnd;
        if (!ok) return false;
        p_ = close + 1;
        return true;
    }

    int32_t argumentList(const std::vector<int32_t>& arguments) {
        const int32_t first = static_cast<int32_t>(code_.lists.size());
        code_.lists.insert(code_.lists.end(), arguments.begin(), arguments.end());
        return first;
    }

    int32_t builtinCall(const Token& name) {
        static const int kCallIndex = findBuiltin(L"CALL");
        if (t_[p_ + 1].type != TokenType::LeftParen) {
            ++p_;
            return constant(Variant::function(VarKind::Function, builtinEntry(name.i32).name, name.i32), name.column);
        }
        if (name.i32 == kCallIndex) return -1; // CALL rewrites its own argument list
        const bool byReference = builtinEntry(name.i32).byReference;
        ++p_;
        std::vector<int32_t> args;
        auto byReferenceArgument = [&](size_t, bool& constantAllowed) {
            constantAllowed = true;
            return byReference;
        };
        if (!arguments(args, byReferenceArgument)) return -1;
        return node(NodeKind::BuiltinCall, name.column, name.i32, argumentList(args), static_cast<int32_t>(args.size()));
    }

    int32_t userCall(const Token& name) {
        const UserFunction* f = scope_.functions.find(name.i32);
        if (!f) return -1; // reported by the evaluator when it runs
        if (t_[p_ + 1].type != TokenType::LeftParen) {
            ++p_;
            return constant(Variant::function(VarKind::UserFunction, f->name.view(), name.i32), name.column);
        }
        ++p_;
        std::vector<int32_t> args;
        auto byReference = [&](size_t index, bool& constantAllowed) {
            if (index >= f->parameters.size()) return false;
            constantAllowed = f->parameters[index].isConst;
            return f->parameters[index].byRef;
        };
        if (!arguments(args, byReference)) return -1;
        const int32_t functionIndex = static_cast<int32_t>(f - scope_.functions.all().data());
        return node(NodeKind::UserCall, name.column, functionIndex, argumentList(args), static_cast<int32_t>(args.size()));
    }

    Code& code_;
    const TokenList& t_;
    size_t p_;
    int end_;
    const CompileScope& scope_;
};

} // namespace

int32_t compileVariable(Code& code, const Token& name, const CompileScope& scope) {
    if (scope.layout) {
        const int slot = scope.layout->slotOf(name.i32);
        if (slot >= 0) return code.addNode(Node{NodeKind::Local, 0, name.column, slot, name.i32, 0});
    }
    return code.addNode(Node{NodeKind::Global, 0, name.column, name.i32, 0, 0});
}

int32_t compileExpression(Code& code, const TokenList& tokens, size_t& pos, int end, const CompileScope& scope) {
    const size_t nodes = code.nodes.size(), constants = code.constants.size(), lists = code.lists.size(),
                 tokenRefs = code.tokens.size();
    ExpressionCompiler compiler(code, tokens, pos, end, scope);
    const int32_t root = compiler.wholeExpression();
    if (root < 0) {
        // Nothing of a failed attempt stays.
        code.nodes.resize(nodes);
        code.constants.resize(constants);
        code.lists.resize(lists);
        code.tokens.resize(tokenRefs);
        return -1;
    }
    pos = compiler.position();
    return root;
}

int32_t compileTarget(Code& code, const TokenList& tokens, size_t& pos, const CompileScope& scope) {
    ExpressionCompiler compiler(code, tokens, pos, -1, scope);
    const int32_t target = compiler.target();
    if (target >= 0) pos = compiler.position();
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
