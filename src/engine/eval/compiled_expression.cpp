// Compiling an expression: a dry run of the evaluator's precedence algorithm over the tokens that
// writes down, in order, what the evaluator would do with values. An expression the dry run does
// not fully understand, or that would fail, is left to the evaluator, which reports it.
#include "engine/eval/compiled_expression.h"

#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/operator_table.h"
#include "engine/front/keywords.h"
#include "engine/front/token_cursor.h"

namespace vexil {

using namespace precedence;

namespace {

class ExpressionCompiler {
public:
    ExpressionCompiler(const TokenList& tokens, size_t start, int end, std::vector<ExpressionStep>& steps)
        : t_(tokens), p_(start), end_(end), steps_(steps), first_(steps.size()) {}

    // False when the expression is left to the evaluator.
    bool run() {
        operators_.push_back(OpEnd);
        for (;;) {
            int incoming = -1;
            if (!operand(incoming)) return false;
            if (incoming < 0) continue;
            int status = takeOperator(incoming);
            if (status != 0) return status > 0;
        }
    }
    size_t stop() const { return p_; }

private:
    void emit(StepKind kind, uint8_t op, int column, int32_t value) {
        steps_.push_back({kind, op, static_cast<int16_t>(column), value});
    }
    void operandPushed(StepKind kind, int column, int32_t value, size_t next) {
        emit(kind, 0, column, value);
        p_ = next;
        ++values_;
        previous_ = kAfterOperand;
    }
    bool closes(size_t i) const {
        TokenType type = t_[i].type;
        return type == TokenType::LeftBracket || type == TokenType::Member || type == TokenType::LeftParen;
    }

    bool operand(int& incoming) {
        const Token& tok = t_[p_];
        if (static_cast<int>(p_) == end_ || tok.type == TokenType::EndOfLine || tok.type == TokenType::RightBracket) {
            incoming = OpEnd;
            return true;
        }
        switch (tok.type) {
        case TokenType::Int32: operandPushed(StepKind::PushInt32, tok.column, tok.i32, p_ + 1); return true;
        case TokenType::Int64:
        case TokenType::Double:
        case TokenType::String: operandPushed(StepKind::PushToken, tok.column, static_cast<int32_t>(p_), p_ + 1); return true;
        case TokenType::Macro: operandPushed(StepKind::Operand, tok.column, static_cast<int32_t>(p_), p_ + 1); return true;
        case TokenType::Keyword:
            switch (static_cast<Keyword>(tok.i32)) {
            case Keyword::And: incoming = OpAnd; return true;
            case Keyword::Or: incoming = OpOr; return true;
            case Keyword::Not: incoming = OpNot; return true;
            case Keyword::True:
            case Keyword::False:
            case Keyword::Default:
            case Keyword::Null: operandPushed(StepKind::PushKeyword, tok.column, tok.i32, p_ + 1); return true;
            default: incoming = OpEnd; return true;
            }
        case TokenType::Builtin:
        case TokenType::UserFunc: {
            // A call; a function named without a call, or a call followed by subscripts or
            // another call, stays with the evaluator.
            if (t_[p_ + 1].type != TokenType::LeftParen) return false;
            size_t close = closingParenthesis(t_, p_ + 1);
            if (t_[close].type == TokenType::EndOfLine || closes(close + 1)) return false;
            operandPushed(StepKind::Operand, tok.column, static_cast<int32_t>(p_), close + 1);
            return true;
        }
        case TokenType::Variable: {
            size_t next = p_ + 1;
            if (t_[next].type != TokenType::LeftBracket) {
                if (closes(next)) return false;
                operandPushed(StepKind::LoadVariable, tok.column, tok.i32, next);
                return true;
            }
            // Subscripts only: members and calls of elements stay with the evaluator.
            while (t_[next].type == TokenType::LeftBracket) {
                if (!skipBrackets(next)) return false;
            }
            if (closes(next)) return false;
            operandPushed(StepKind::Operand, tok.column, static_cast<int32_t>(p_), next);
            return true;
        }
        case TokenType::LeftParen:
            if (closesBefore(t_, p_)) return false;
            incoming = OpOpen;
            return true;
        case TokenType::Plus:
        case TokenType::Minus: incoming = signOperator(tok.type, previous_); return true;
        case TokenType::Question:
        case TokenType::Colon:
        case TokenType::Member:
        case TokenType::LeftBracket: return false;
        default: {
            int op = operatorOf(tok.type);
            incoming = op >= 0 ? op : OpEnd;
            return true;
        }
        }
    }

    // Moves past "[...]" at `i`, nested brackets included.
    bool skipBrackets(size_t& i) const {
        i = TokenCursor(t_, i).toClosing(Nesting::Brackets);
        if (t_[i].type == TokenType::EndOfLine) return false;
        ++i;
        return true;
    }

    // 0: go on; 1: finished; -1: left to the evaluator.
    int takeOperator(int incoming) {
        for (;;) {
            switch (kActions[operators_.back()][incoming]) {
            case Push:
                operators_.push_back(static_cast<uint8_t>(incoming));
                previous_ = static_cast<uint8_t>(incoming);
                ++p_;
                if (incoming == OpAnd || incoming == OpOr) {
                    if (values_ == 0) return -1;
                    jumps_.push_back(steps_.size());
                    emit(StepKind::ShortCircuit, static_cast<uint8_t>(incoming), t_[p_ - 1].column, 0);
                }
                return 0;
            case Apply:
                if (!apply()) return -1;
                continue;
            case Match:
                if (operators_.back() == OpOpen) {
                    operators_.pop_back();
                    previous_ = OpClose;
                    ++p_;
                    return 0;
                }
                if (!apply()) return -1;
                continue;
            case Finish: return values_ == 1 ? 1 : -1;
            default: return -1;
            }
        }
    }

    bool apply() {
        uint8_t op = operators_.back();
        operators_.pop_back();
        if (isUnaryOperator(op)) {
            if (values_ < 1) return false;
            if (op != OpPlus) emit(StepKind::Unary, op, 0, 0);
            return true;
        }
        if (values_ < 2) return false;
        emit(StepKind::Binary, op, 0, 0);
        --values_;
        if (op == OpAnd || op == OpOr) {
            // A decided left operand jumps past the right one and this step.
            steps_[jumps_.back()].value = static_cast<int32_t>(steps_.size() - first_);
            jumps_.pop_back();
        }
        return true;
    }

    const TokenList& t_;
    size_t p_;
    int end_;
    std::vector<ExpressionStep>& steps_;
    size_t first_;
    std::vector<uint8_t> operators_;
    std::vector<size_t> jumps_;
    int values_ = 0;
    uint8_t previous_ = kAtStart;
};

} // namespace

int Engine::compileExpression(const TokenList& tokens, size_t start, int end) {
    const size_t first = expressionSteps_.size();
    ExpressionCompiler compiler(tokens, start, end, expressionSteps_);
    if (!compiler.run()) {
        expressionSteps_.resize(first);
        return -1;
    }
    compiledExpressions_.push_back({static_cast<uint32_t>(first), static_cast<uint32_t>(expressionSteps_.size() - first),
                                    end, static_cast<uint32_t>(compiler.stop())});
    return static_cast<int>(compiledExpressions_.size());
}

int Engine::runCompiledExpression(int index, const TokenList& tokens, size_t& pos, Variant& result) {
    // Copied: nested evaluations may compile more and move the lists.
    const CompiledExpression c = compiledExpressions_[static_cast<size_t>(index)];
    const size_t base = values_.size();
    for (uint32_t i = 0; i < c.count; ++i) {
        const ExpressionStep step = expressionSteps_[c.first + i];
        switch (step.kind) {
        case StepKind::PushInt32: values_.push_back(Variant::int32(step.value)); break;
        case StepKind::PushToken: {
            const Token& tok = tokens[static_cast<size_t>(step.value)];
            if (tok.type == TokenType::Int64) values_.push_back(Variant::int64(tok.i64));
            else if (tok.type == TokenType::Double) values_.push_back(Variant::real(tok.f64));
            else if (options_.expandEnvStrings || options_.expandVarStrings) values_.push_back(Variant::string(expandString(tok.text)));
            else values_.push_back(Variant::string(tok.text));
            break;
        }
        case StepKind::PushKeyword:
            switch (static_cast<Keyword>(step.value)) {
            case Keyword::True: values_.push_back(Variant::boolean(true)); break;
            case Keyword::False: values_.push_back(Variant::boolean(false)); break;
            case Keyword::Default: values_.push_back(Variant::defaultKeyword()); break;
            default: values_.push_back(Variant::nullKeyword()); break;
            }
            break;
        case StepKind::LoadVariable: {
            Variable* variable = findVariable(step.value);
            if (!variable) {
                values_.resize(base);
                return reportRuntimeError(MessageId::VariableNotDeclared, step.column);
            }
            values_.push_back(*variable->value);
            break;
        }
        case StepKind::Operand: {
            // Calls, macros and elements go straight to their code.
            size_t at = static_cast<size_t>(step.value);
            const Token& tok = tokens[at];
            Variant value;
            int status = tok.type == TokenType::UserFunc ? callUserFunction(tokens, at, value)
                         : tok.type == TokenType::Builtin ? callBuiltin(tokens, at, value)
                         : tok.type == TokenType::Macro   ? readMacro(tok, value)
                                                          : readElement(tokens, at, value);
            if (status < 0) {
                values_.resize(base);
                return -1;
            }
            values_.push_back(std::move(value));
            break;
        }
        case StepKind::Unary: applyUnary(step.op, values_.back()); break;
        case StepKind::Binary: {
            Variant right = std::move(values_.back());
            values_.pop_back();
            applyBinary(step.op, values_.back(), right);
            break;
        }
        case StepKind::ShortCircuit: {
            const bool isAnd = step.op == OpAnd;
            Variant& left = values_.back();
            if (left.toBool() != isAnd) {
                left = Variant::boolean(!isAnd);
                i = static_cast<uint32_t>(step.value) - 1;
            }
            break;
        }
        }
    }
    result = std::move(values_.back());
    values_.resize(base);
    pos = c.stop;
    return 0;
}

} // namespace vexil
