// Expression evaluation: a table-driven operator-precedence evaluator with two stacks, working
// on a line's tokens. Values live on the engine's shared value stack, so nested evaluations
// (arguments, subscripts) reuse its storage.
#include "engine/builtins/builtins.h"
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/expression_compiler.h"
#include "engine/eval/operator_table.h"
#include "engine/front/keywords.h"
#include "engine/front/token_cursor.h"

namespace vexil {

using namespace precedence;

class Engine::Evaluation {
public:
    Evaluation(Engine& engine, const TokenList& tokens, size_t& pos, int end)
        : e_(engine), t_(tokens), pos_(pos), end_(end), valueBase_(engine.values_.size()),
          operatorBase_(engine.operators_.size()) {
        e_.operators_.push_back(OpEnd);
    }
    ~Evaluation() {
        e_.values_.resize(valueBase_);
        e_.operators_.resize(operatorBase_);
    }

    int run(Variant& result) {
        for (;;) {
            int incoming = -1;
            if (!readOperand(incoming)) return -1;
            if (incoming < 0) continue; // an operand was pushed or the token handled
            int status = takeOperator(incoming, result);
            if (status != 0) return status > 0 ? 0 : -1;
        }
    }

private:
    const Token& token() const { return t_[pos_]; }
    size_t valueCount() const { return e_.values_.size() - valueBase_; }
    uint8_t topOperator() const { return e_.operators_.back(); }
    int fail(MessageId::Id id) { return e_.reportRuntimeError(id, token().column), 0; }

    void pushValue(Variant v) {
        e_.values_.push_back(std::move(v));
        previous_ = kAfterOperand;
    }

    // Handles the token at the position: pushes an operand, or says which operator it is
    // (`incoming`, END for terminators). False after a fatal error.
    bool readOperand(int& incoming) {
        const Token& tok = token();
        if (static_cast<int>(pos_) == end_ || tok.type == TokenType::EndOfLine || tok.type == TokenType::RightBracket) {
            incoming = OpEnd;
            return true;
        }
        switch (tok.type) {
        case TokenType::Int32: ++pos_; pushValue(Variant::int32(tok.i32)); return true;
        case TokenType::Int64: ++pos_; pushValue(Variant::int64(tok.i64)); return true;
        case TokenType::Double: ++pos_; pushValue(Variant::real(tok.f64)); return true;
        case TokenType::String:
            ++pos_;
            if (e_.options_.expandEnvStrings || e_.options_.expandVarStrings) pushValue(Variant::string(e_.expandString(tok.text)));
            else pushValue(Variant::string(tok.text));
            return true;
        case TokenType::Keyword: return keyword(tok, incoming);
        case TokenType::Macro: {
            Variant v;
            if (e_.readMacro(tok, v) < 0) return false;
            ++pos_;
            pushValue(std::move(v));
            return true;
        }
        case TokenType::Builtin: {
            if (t_[pos_ + 1].type != TokenType::LeftParen) {
                ++pos_;
                pushValue(Variant::function(VarKind::Function, builtinEntry(tok.i32).name, tok.i32));
                return true;
            }
            Variant v;
            if (e_.callBuiltin(t_, pos_, v) < 0) return false;
            pushValue(std::move(v));
            return true;
        }
        case TokenType::Variable: {
            Variable* variable = e_.findVariable(tok.i32);
            if (!variable) return fail(MessageId::VariableNotDeclared), false;
            ++pos_;
            return variableValue(*variable->value, tok.column);
        }
        case TokenType::UserFunc: {
            const UserFunction* f = e_.functions_.find(tok.i32);
            if (!f) return fail(MessageId::UnknownFunction), false;
            if (t_[pos_ + 1].type != TokenType::LeftParen) {
                ++pos_;
                pushValue(Variant::function(VarKind::UserFunction, f->name, tok.i32));
                return true;
            }
            Variant v;
            if (e_.callUserFunction(t_, pos_, v) < 0) return false;
            pushValue(std::move(v));
            return true;
        }
        case TokenType::Member: return member();
        case TokenType::LeftBracket: {
            if (valueCount() == 0) return fail(MessageId::ErrorInExpression), false;
            // Subscripts on the result of a call or a parenthesis.
            Variant value = std::move(e_.values_.back());
            e_.values_.pop_back();
            return postfix(value, tok.column);
        }
        case TokenType::LeftParen:
            if (previousTokenCloses()) return callTopValue();
            incoming = OpOpen;
            return true;
        case TokenType::Plus:
        case TokenType::Minus: incoming = signOperator(tok.type, previous_); return true;
        case TokenType::Question: return conditional();
        case TokenType::Colon: return conditionalElse();
        default: {
            int op = operatorOf(tok.type);
            incoming = op >= 0 ? op : OpEnd; // commas, compound assignments and the like end it
            return true;
        }
        }
    }

    bool previousTokenCloses() const { return closesBefore(t_, pos_); }

    bool keyword(const Token& tok, int& incoming) {
        switch (static_cast<Keyword>(tok.i32)) {
        case Keyword::And: incoming = OpAnd; return true;
        case Keyword::Or: incoming = OpOr; return true;
        case Keyword::Not: incoming = OpNot; return true;
        case Keyword::True: ++pos_; pushValue(Variant::boolean(true)); return true;
        case Keyword::False: ++pos_; pushValue(Variant::boolean(false)); return true;
        case Keyword::Default: ++pos_; pushValue(Variant::defaultKeyword()); return true;
        case Keyword::Null: ++pos_; pushValue(Variant::nullKeyword()); return true;
        default: incoming = OpEnd; return true; // THEN, TO, STEP, IN... end the expression
        }
    }

    bool member() {
        if (!previousTokenCloses() || valueCount() == 0) return fail(MessageId::ObjectOutsideWith), false;
        Variant value = std::move(e_.values_.back());
        e_.values_.pop_back();
        if (!value.is(VarKind::Map)) return fail(MessageId::VariableMustBeObject), false;
        return postfix(value, token().column);
    }

    // The value of a variable, with the subscripts, keys, members and calls written after it.
    bool variableValue(Variant& variable, int column) {
        if (token().type == TokenType::Member && t_[pos_ + 1].type == TokenType::LeftParen && variable.is(VarKind::Map)) {
            Variant v;
            if (e_.mapMethod(variable, t_, pos_, v) < 0) return false;
            pushValue(std::move(v));
            return true;
        }
        return postfix(variable, column);
    }

    // Reads through "[..]" and ".name" after a value, then pushes the element; "(" calls it.
    bool postfix(Variant& value, int column) {
        if (token().type == TokenType::LeftBracket ||
            (token().type == TokenType::Member && t_[pos_ + 1].type != TokenType::LeftParen)) {
            AccessPath path;
            if (e_.readAccessPath(t_, pos_, path) < 0) return false;
            Variant scratch;
            Variant* element = e_.walkAccessPath(&value, path, false, false, nullptr, column, scratch);
            if (!element) return false;
            pushValue(*element);
        } else {
            pushValue(value);
        }
        if (token().type == TokenType::LeftParen) return callTopValue();
        return true;
    }

    // "(" right after ")" or "]": a call of the value on top of the stack.
    bool callTopValue() {
        if (valueCount() == 0) return fail(MessageId::ErrorInExpression), false;
        Variant& top = e_.values_.back();
        const int column = t_[pos_ - 1].column; // the name or the closing bracket before "("
        Variant v;
        if (top.is(VarKind::Function)) {
            if (e_.callBuiltinArguments(top.functionRecord()->index, t_, pos_, column, v) < 0) return false;
        } else if (top.is(VarKind::UserFunction)) {
            const UserFunction* f = e_.findFunction(top.functionRecord()->name);
            if (!f) return fail(MessageId::UnknownFunction), false;
            if (e_.callUserFunctionArguments(*f, t_, pos_, column, v, false) < 0) return false;
        } else {
            return fail(MessageId::VariableCannotBeAccessed), false;
        }
        e_.values_.back() = std::move(v);
        previous_ = kAfterOperand;
        return true;
    }

    // Feeds an incoming operator through the action table. 0: go on; 1: finished; -1: failed.
    int takeOperator(int incoming, Variant& result) {
        for (;;) {
            switch (kActions[topOperator()][incoming]) {
            case Push:
                e_.operators_.push_back(static_cast<uint8_t>(incoming));
                previous_ = static_cast<uint8_t>(incoming);
                ++pos_;
                if (incoming == OpAnd || incoming == OpOr) return shortCircuit();
                return 0;
            case Apply:
                if (!apply()) return -1;
                continue;
            case Match:
                if (topOperator() == OpOpen) {
                    e_.operators_.pop_back();
                    previous_ = OpClose;
                    ++pos_;
                    return 0;
                }
                if (!apply()) return -1;
                continue;
            case Finish:
                if (valueCount() != 1) return fail(MessageId::ErrorInExpression), -1;
                result = std::move(e_.values_.back());
                e_.values_.pop_back();
                return 1;
            case MissingBracket: return fail(MessageId::MissingRightBracket), -1;
            default: return fail(MessageId::UnbalancedBrackets), -1;
            }
        }
    }

    bool apply() {
        uint8_t op = topOperator();
        e_.operators_.pop_back();
        bool unary = isUnaryOperator(op);
        if (valueCount() < (unary ? 1u : 2u)) return fail(MessageId::ErrorInExpression), false;
        if (unary) {
            applyUnary(op, e_.values_.back());
            return true;
        }
        Variant right = std::move(e_.values_.back());
        e_.values_.pop_back();
        applyBinary(op, e_.values_.back(), right);
        return true;
    }

    // Right after AND or OR was pushed: a decided left operand skips the right one.
    int shortCircuit() {
        if (valueCount() == 0) return 0;
        bool isAnd = topOperator() == OpAnd;
        bool left = e_.values_.back().toBool();
        if (left == isAnd) return 0;
        if (!skipOperand()) return -1;
        e_.values_.back() = Variant::boolean(!isAnd);
        e_.operators_.pop_back();
        previous_ = kAfterOperand;
        return 0;
    }

    // Skips the operand of a decided AND or OR: up to a comma, a keyword that is no operand,
    // a parenthesis or bracket it did not open, or the conditional operator, at its own level.
    bool skipOperand() {
        for (TokenCursor cursor(t_, pos_);; cursor.step()) {
            pos_ = cursor.position();
            if (token().type == TokenType::EndOfLine || static_cast<int>(pos_) == end_)
                return cursor.atTopLevel() || (fail(MessageId::ErrorInExpression), false);
            if (cursor.closesOuter() || (cursor.atTopLevel() && endsOperand(token()))) return true;
        }
    }

    // Tokens that end an operand at its own level: a comma, the conditional operator, a keyword
    // that is no operand.
    static bool endsOperand(const Token& tok) {
        switch (tok.type) {
        case TokenType::Comma:
        case TokenType::Question:
        case TokenType::Colon: return true;
        case TokenType::Keyword:
            return !isKeyword(tok, Keyword::Not) && !isKeyword(tok, Keyword::True) &&
                   !isKeyword(tok, Keyword::False) && !isKeyword(tok, Keyword::Default) &&
                   !isKeyword(tok, Keyword::Null);
        default: return false;
        }
    }

    // "?": the condition decides which branch is evaluated.
    bool conditional() {
        while (topOperator() != OpOpen && topOperator() != OpEnd)
            if (!apply()) return false;
        if (valueCount() == 0) return fail(MessageId::ErrorInExpression), false;
        bool condition = e_.values_.back().toBool();
        e_.values_.pop_back();
        ++pos_;
        if (!condition) {
            for (int open = 1; token().type != TokenType::EndOfLine; ++pos_) {
                if (token().type == TokenType::Question) ++open;
                else if (token().type == TokenType::Colon && --open == 0) {
                    ++pos_;
                    break;
                }
            }
        }
        previous_ = OpOpen;
        return true;
    }

    // ":" after the chosen branch: the other branch is skipped.
    bool conditionalElse() {
        if (valueCount() == 0) return fail(MessageId::ErrorInExpression), false;
        // Up to a comma, or the ")" that closes a parenthesis the conditional is inside.
        pos_ = TokenCursor(t_, pos_ + 1).toItemEnd(Nesting::Parens, endsArgument);
        previous_ = kAfterOperand;
        return true;
    }

    Engine& e_;
    const TokenList& t_;
    size_t& pos_;
    int end_;
    size_t valueBase_;
    size_t operatorBase_;
    uint8_t previous_ = kAtStart;
};

int32_t Engine::cachedExpression(const TokenList& tokens, size_t pos, int end, size_t& stop) {
    const Token& first = tokens[pos];
    int32_t compiled = first.compiledExpression;
    if (compiled == 0) {
        // Only lines of the loaded script are compiled: texts of EXECUTE and the like come and go.
        if (!loader_ || &tokens != loader_->tokens(currentLine_)) return -1;
        const CompileScope scope{functions_, code_.layoutOfLine(currentLine_)};
        size_t p = pos;
        const int32_t root = compileExpression(code_, tokens, p, end, scope);
        if (root >= 0) {
            code_.expressions.push_back({root, end, static_cast<uint32_t>(p)});
            compiled = static_cast<int32_t>(code_.expressions.size());
        } else {
            compiled = -1;
        }
        first.compiledExpression = compiled;
    }
    if (compiled < 0) return -1;
    const Code::Expression& expression = code_.expressions[static_cast<size_t>(compiled - 1)];
    if (expression.end != end) return -1;
    stop = expression.stop;
    return expression.root;
}

int Engine::evaluate(const TokenList& tokens, size_t& pos, Variant& result, int end) {
    size_t stop = 0;
    const int32_t root = cachedExpression(tokens, pos, end, stop);
    if (root < 0) return Evaluation(*this, tokens, pos, end).run(result);
    if (evalNode(root, result) < 0) return -1;
    pos = stop;
    return 0;
}

} // namespace vexil
