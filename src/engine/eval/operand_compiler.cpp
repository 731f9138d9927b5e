// Operands of compiled expressions: literals, variables and their subscripts and members, calls of
// built-ins, user functions and values, CALL, map methods, and arguments passed by reference.
#include "engine/builtins/builtins.h"
#include "engine/eval/expression_reader.h"
#include "engine/eval/operator_table.h"
#include "engine/exec/functions.h"
#include "engine/front/keywords.h"
#include "engine/front/token_cursor.h"

namespace vexil {

using namespace precedence;

namespace {

bool endsReference(TokenType type) {
    return type == TokenType::Comma || type == TokenType::RightParen || type == TokenType::EndOfLine;
}

} // namespace

// Reads the token at the position: pushes an operand, or says which operator it is (`incoming`,
// END for terminators). False when the expression fails here.
bool ExpressionReader::operand(Level& level, int& incoming) {
    size_t& pos = level.pos;
    const Token& tok = t_[pos];
    if (static_cast<int>(pos) == level.end || tok.type == TokenType::EndOfLine || tok.type == TokenType::RightBracket) {
        incoming = OpEnd;
        return true;
    }
    switch (tok.type) {
    case TokenType::Int32: ++pos; return pushOperand(level, constant(Variant::int32(tok.i32), tok.column), false);
    case TokenType::Int64: ++pos; return pushOperand(level, constant(Variant::int64(tok.i64), tok.column), false);
    case TokenType::Double: ++pos; return pushOperand(level, constant(Variant::real(tok.f64), tok.column), false);
    case TokenType::String:
        ++pos;
        return pushOperand(level, node(NodeKind::Text, tok.column, code_.addConstant(Variant::string(tok.text))), false);
    case TokenType::Keyword: {
        Variant value;
        switch (static_cast<Keyword>(tok.i32)) {
        case Keyword::And: incoming = OpAnd; return true;
        case Keyword::Or: incoming = OpOr; return true;
        case Keyword::Not: incoming = OpNot; return true;
        case Keyword::True: value = Variant::boolean(true); break;
        case Keyword::False: value = Variant::boolean(false); break;
        case Keyword::Default: value = Variant::defaultKeyword(); break;
        case Keyword::Null: value = Variant::nullKeyword(); break;
        default: incoming = OpEnd; return true; // THEN, TO, STEP, IN... end the expression
        }
        ++pos;
        return pushOperand(level, constant(std::move(value), tok.column), false);
    }
    case TokenType::Macro:
        ++pos;
        code_.tokens.push_back(&tok);
        return pushOperand(level, node(NodeKind::Macro, tok.column, static_cast<int32_t>(code_.tokens.size() - 1)), false);
    case TokenType::Builtin: {
        if (t_[pos + 1].type != TokenType::LeftParen) {
            ++pos;
            return pushOperand(level, constant(Variant::function(VarKind::Function, builtinEntry(tok.i32).name, tok.i32), tok.column),
                               false);
        }
        bool broken = false;
        const int32_t call = builtinCall(pos, broken);
        return pushOperand(level, call, broken);
    }
    case TokenType::UserFunc: {
        const UserFunction* f = scope_.functions.find(tok.i32);
        if (!f) return fail(level, MessageId::UnknownFunction, tok.column);
        if (t_[pos + 1].type != TokenType::LeftParen) {
            ++pos;
            return pushOperand(level, constant(Variant::function(VarKind::UserFunction, f->name.view(), tok.i32), tok.column), false);
        }
        bool broken = false;
        const int32_t call = userCall(pos, *f, broken);
        return pushOperand(level, call, broken);
    }
    case TokenType::Variable: {
        ++pos;
        const int32_t variable = compileVariable(code_, tok, scope_);
        if (t_[pos].type == TokenType::Member && t_[pos + 1].type == TokenType::LeftParen) {
            bool broken = false;
            const int32_t call = method(pos, variable, true, broken);
            return pushOperand(level, call, broken);
        }
        return postfix(level, variable, tok.column, false);
    }
    case TokenType::Member: {
        // A member of the value just read after a closing bracket, else of the WITH object.
        int32_t value;
        if (!closesBefore(t_, pos)) {
            value = node(NodeKind::WithObject, tok.column);
        } else {
            if (level.values.empty()) return fail(level, MessageId::ObjectOutsideWith, tok.column);
            value = level.values.back();
            level.values.pop_back();
        }
        if (t_[pos + 1].type == TokenType::LeftParen) {
            bool broken = false;
            const int32_t call = method(pos, value, false, broken);
            return pushOperand(level, call, broken);
        }
        return postfix(level, value, tok.column, true);
    }
    case TokenType::LeftBracket: {
        // Subscripts of the value just read (a call's result, a parenthesis).
        if (level.values.empty()) return fail(level, MessageId::ErrorInExpression, tok.column);
        const int32_t value = level.values.back();
        level.values.pop_back();
        return postfix(level, value, tok.column, true);
    }
    case TokenType::LeftParen:
        if (closesBefore(t_, pos)) return callTopValue(level);
        incoming = OpOpen;
        return true;
    case TokenType::Plus:
    case TokenType::Minus: incoming = signOperator(tok.type, level.previous); return true;
    case TokenType::Question: return conditional(level);
    case TokenType::Colon:
        if (level.colonEnds) {
            incoming = OpEnd;
            return true;
        }
        return conditionalElse(level);
    default: {
        const int op = operatorOf(tok.type);
        incoming = op >= 0 ? op : OpEnd; // commas, compound assignments and the like end it
        return true;
    }
    }
}

// The subscripts and members written after a value, then a call of the element when "(" follows.
bool ExpressionReader::postfix(Level& level, int32_t value, int column, bool ofValue) {
    size_t& pos = level.pos;
    int32_t result = value;
    const TokenType next = t_[pos].type;
    if (next == TokenType::LeftBracket || (next == TokenType::Member && t_[pos + 1].type != TokenType::LeftParen)) {
        std::vector<Step> steps;
        bool broken = false;
        path(pos, steps, broken);
        result = pathNode(ofValue ? NodeKind::ValueElement : NodeKind::Element, value, column, steps, 0);
        if (broken) return pushOperand(level, result, true);
    }
    if (!pushOperand(level, result, false)) return false;
    return t_[pos].type == TokenType::LeftParen ? callTopValue(level) : true;
}

// "(" right after a value: a call of it.
bool ExpressionReader::callTopValue(Level& level) {
    if (level.values.empty()) return fail(level, MessageId::ErrorInExpression, t_[level.pos].column);
    const int column = t_[level.pos - 1].column; // the name or the closing bracket before "("
    const int32_t callee = level.values.back();
    level.values.pop_back();
    bool broken = false;
    const int32_t call = valueCall(level.pos, callee, column, broken);
    return pushOperand(level, call, broken);
}

// "[key]" and ".name" steps from the position; a key is read without the caller's bound, up to
// its "]". `broken` when a key fails, the step then holding the Error node.
void ExpressionReader::path(size_t& pos, std::vector<Step>& steps, bool& broken) {
    for (;;) {
        const Token& tok = t_[pos];
        if (tok.type == TokenType::Member) {
            if (t_[pos + 1].type == TokenType::LeftParen) return; // a method
            steps.push_back({node(NodeKind::MemberName, tok.column, code_.addConstant(Variant::string(tok.text))), tok.column});
            ++pos;
            continue;
        }
        if (tok.type != TokenType::LeftBracket) return;
        ++pos;
        int32_t key = subExpression(pos, -1, broken);
        if (!broken && t_[pos].type != TokenType::RightBracket) {
            key = errorNode(MessageId::SubscriptBadlyFormatted, t_[pos].column, {key});
            broken = true;
        }
        steps.push_back({key, tok.column});
        if (broken) return;
        ++pos;
    }
}

int32_t ExpressionReader::pathNode(NodeKind kind, int32_t variable, int column, const std::vector<Step>& steps, uint8_t flags) {
    const int32_t first = static_cast<int32_t>(code_.lists.size());
    bool plain = (kind == NodeKind::Element || kind == NodeKind::Reference) && !steps.empty() && steps.size() <= kMaxPlainSteps;
    for (const Step& step : steps) {
        code_.lists.push_back(step.node);
        code_.lists.push_back(step.column);
        plain = plain && code_.nodes[static_cast<size_t>(step.node)].kind != NodeKind::MemberName;
    }
    return node(kind, column, variable, first, static_cast<int32_t>(steps.size()), static_cast<uint8_t>(flags | (plain ? kPlainIndexPath : 0)));
}

template <class ByReference>
bool ExpressionReader::arguments(size_t& pos, std::vector<int32_t>& out, ByReference kind, size_t limit, int32_t& missing) {
    const size_t close = closingParenthesis(t_, pos);
    if (t_[close].type == TokenType::EndOfLine) {
        missing = errorNode(MessageId::ErrorParsingFunctionCall, t_[close].column, {});
        pos = close;
        return false;
    }
    ++pos;
    for (size_t index = 0; pos < close; ++index) {
        if (index >= limit) {
            out.push_back(constant(Variant(), t_[pos].column)); // never read: the count is wrong
            break;
        }
        bool constantAllowed = false, required = false, broken = false;
        const bool byReference = kind(index, constantAllowed, required) && t_[pos].type == TokenType::Variable;
        int32_t argument = byReference ? referenceArgument(pos, close, constantAllowed, required, broken)
                                       : subExpression(pos, static_cast<int>(close), broken);
        if (!broken && pos != close && (t_[pos].type != TokenType::Comma || pos + 1 == close)) {
            argument = errorNode(MessageId::ErrorParsingFunctionCall, t_[pos].column, {argument});
            broken = true;
        }
        out.push_back(argument);
        if (broken || pos == close) break;
        ++pos;
    }
    pos = close + 1;
    return true;
}

int32_t ExpressionReader::builtinCall(size_t& pos, bool& broken) {
    static const int kCallIndex = findBuiltin(L"CALL");
    const Token& name = t_[pos];
    ++pos;
    if (name.i32 == kCallIndex) return byCall(pos, name.column, broken);
    const bool byReference = builtinEntry(name.i32).byReference;
    std::vector<int32_t> args;
    int32_t missing = -1;
    auto kind = [&](size_t, bool& constantAllowed, bool&) {
        constantAllowed = true;
        return byReference;
    };
    if (!arguments(pos, args, kind, static_cast<size_t>(-1), missing)) return broken = true, missing;
    return node(NodeKind::BuiltinCall, name.column, name.i32, list(args), static_cast<int32_t>(args.size()));
}

int32_t ExpressionReader::userCall(size_t& pos, const UserFunction& f, bool& broken) {
    const Token& name = t_[pos];
    ++pos;
    std::vector<int32_t> args;
    int32_t missing = -1;
    auto kind = [&](size_t index, bool& constantAllowed, bool& required) {
        constantAllowed = f.parameters[index].isConst;
        required = true;
        return f.parameters[index].byRef;
    };
    // Arguments beyond the parameters are not read: the count is wrong either way.
    if (!arguments(pos, args, kind, f.parameters.size(), missing)) return broken = true, missing;
    const int32_t functionIndex = static_cast<int32_t>(&f - scope_.functions.all().data());
    return node(NodeKind::UserCall, name.column, functionIndex, list(args), static_cast<int32_t>(args.size()));
}

// CALL(function, arguments...): the function is its first argument's value, and the rest are
// passed as written after it.
int32_t ExpressionReader::byCall(size_t& pos, int nameColumn, bool& broken) {
    const size_t close = closingParenthesis(t_, pos);
    if (t_[close].type == TokenType::EndOfLine) {
        pos = close;
        broken = true;
        return errorNode(MessageId::ErrorParsingFunctionCall, t_[close].column, {});
    }
    if (pos + 1 == close) {
        pos = close + 1;
        return errorNode(MessageId::IncorrectParameterCount, nameColumn, {});
    }
    size_t p = pos + 1;
    const int firstColumn = t_[p].column;
    bool targetBroken = false;
    const int32_t target = subExpression(p, static_cast<int>(close), targetBroken);
    std::vector<int32_t> args;
    if (!targetBroken && t_[p].type == TokenType::Comma) {
        ++p;
        valueArguments(p, close, args);
    }
    pos = close + 1;
    if (targetBroken) return target;
    args.push_back(firstColumn);
    return node(NodeKind::ValueCall, firstColumn, target, list(args), static_cast<int32_t>(args.size() / 3), kByCall);
}

int32_t ExpressionReader::valueCall(size_t& pos, int32_t callee, int column, bool& broken) {
    const size_t close = closingParenthesis(t_, pos);
    std::vector<int32_t> args;
    if (t_[close].type == TokenType::EndOfLine) {
        pos = close;
        broken = true;
        return errorNode(MessageId::ErrorParsingFunctionCall, t_[close].column, {callee});
    }
    const int callColumn = t_[pos].column;
    ++pos;
    valueArguments(pos, close, args);
    pos = close + 1;
    args.push_back(column);
    return node(NodeKind::ValueCall, callColumn, callee, list(args), static_cast<int32_t>(args.size() / 3));
}

// The arguments of a call whose function is known only when it runs, from `pos` up to `close`.
void ExpressionReader::valueArguments(size_t& pos, size_t close, std::vector<int32_t>& out) {
    while (pos < close) {
        int32_t reference = -1, bad = -1;
        const size_t start = pos;
        if (t_[pos].type == TokenType::Variable) {
            // The same argument as a reference, for parameters that take one.
            bool pathBroken = false;
            std::vector<Step> steps;
            const int32_t variable = compileVariable(code_, t_[pos], scope_);
            size_t p = pos + 1;
            path(p, steps, pathBroken);
            const bool memberFirst = !steps.empty() && t_[pos + 1].type == TokenType::Member;
            if (!pathBroken && endsReference(t_[p].type)) {
                reference = pathNode(memberFirst ? NodeKind::MemberReference : NodeKind::Reference, variable,
                                     t_[pos].column, steps, 0);
            } else if (!pathBroken) {
                bad = pathNode(NodeKind::BadReference, variable, t_[pos].column, steps, 0);
                code_.lists.push_back(t_[p].column);
            }
        }
        bool broken = false;
        pos = start;
        int32_t value = subExpression(pos, static_cast<int>(close), broken);
        if (!broken && pos != close && (t_[pos].type != TokenType::Comma || pos + 1 == close)) {
            const int column = t_[pos].column;
            value = errorNode(MessageId::ErrorParsingFunctionCall, column, {value});
            if (reference >= 0) reference = errorNode(MessageId::ErrorParsingFunctionCall, column, {reference});
            broken = true;
        }
        if (broken) reference = bad = -1; // the value fails first, whichever way it is passed
        out.insert(out.end(), {reference, value, bad});
        if (broken || pos == close) break;
        ++pos;
    }
}

// An argument of a by-reference parameter that starts with a variable: a reference when it is
// just the variable and its path; else a value read once, or, when the parameter must have a
// variable, an error.
int32_t ExpressionReader::referenceArgument(size_t& pos, size_t close, bool constantAllowed, bool required, bool& broken) {
    const Token& name = t_[pos];
    const size_t start = pos;
    const size_t nodes = code_.nodes.size(), constants = code_.constants.size(), lists = code_.lists.size();
    const int32_t variable = compileVariable(code_, name, scope_);
    size_t p = pos + 1;
    std::vector<Step> steps;
    path(p, steps, broken);
    const bool memberFirst = !steps.empty() && t_[pos + 1].type == TokenType::Member;
    const uint8_t flags = static_cast<uint8_t>((constantAllowed ? kConstantAllowed : 0) | (required ? kRequiredReference : 0));
    if (broken) {
        pos = p;
        return pathNode(NodeKind::Reference, variable, name.column, steps, flags);
    }
    if (endsReference(t_[p].type)) {
        pos = p;
        return pathNode(memberFirst ? NodeKind::MemberReference : NodeKind::Reference, variable, name.column, steps, flags);
    }
    if (required) {
        const int32_t bad = pathNode(NodeKind::BadReference, variable, name.column, steps, flags);
        code_.lists.push_back(t_[p].column);
        pos = p;
        broken = true;
        return bad;
    }
    code_.nodes.resize(nodes);
    code_.constants.resize(constants);
    code_.lists.resize(lists);
    pos = start;
    return subExpression(pos, static_cast<int>(close), broken);
}

// ".name(arguments)" at the position, on a map or an object. A variable argument is passed by
// reference: an object's method may hand a value back through it.
int32_t ExpressionReader::method(size_t& pos, int32_t receiver, bool inPlace, bool& broken) {
    const Token& member = t_[pos];
    ++pos; // at "("
    const int32_t upper = code_.addConstant(Variant::string(WString(upperCase(member.text.view()))));
    std::vector<int32_t> args{node(NodeKind::MemberName, member.column, upper, code_.addConstant(Variant::string(member.text)))};
    int32_t missing = -1;
    auto byReference = [](size_t, bool& constantAllowed, bool&) { return constantAllowed = true; };
    if (!arguments(pos, args, byReference, static_cast<size_t>(-1), missing)) {
        broken = true;
        args.push_back(missing);
    }
    return node(NodeKind::Method, member.column, receiver, list(args), static_cast<int32_t>(args.size()), inPlace ? kInPlace : 0);
}

int32_t ExpressionReader::callStatement(size_t& pos) {
    const Token& name = t_[pos];
    bool broken = false;
    if (name.type == TokenType::UserFunc) {
        const UserFunction* f = scope_.functions.find(name.i32);
        if (!f) return errorNode(MessageId::UnknownFunction, name.column, {});
        if (t_[pos + 1].type != TokenType::LeftParen) return errorNode(MessageId::ErrorParsingFunctionCall, name.column, {});
        return userCall(pos, *f, broken);
    }
    if (t_[pos + 1].type != TokenType::LeftParen) return errorNode(MessageId::ErrorParsingFunctionCall, name.column, {});
    return builtinCall(pos, broken);
}

int32_t ExpressionReader::target(size_t& pos) {
    const Token& name = t_[pos];
    if (name.type != TokenType::Variable) return -1;
    ++pos;
    const int32_t variable = compileVariable(code_, name, scope_);
    std::vector<Step> steps;
    bool broken = false;
    path(pos, steps, broken);
    return broken ? -1 : pathNode(NodeKind::Element, variable, name.column, steps, 0);
}

} // namespace vexil
