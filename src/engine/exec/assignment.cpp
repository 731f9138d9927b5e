// Assignment: a variable, or an element or member reached through it, gets a value; a line that
// starts with a variable but calls a method or function value is a call statement instead.
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/arguments.h"
#include "engine/eval/object_members.h"
#include "engine/exec/assignment_operators.h"
#include "engine/front/token_cursor.h"

namespace vexil {

namespace {

// The token after the bracket or parenthesis that opens at `p` (the end of the line when unclosed).
size_t pastClosing(const TokenList& t, size_t p) {
    size_t close = TokenCursor(t, p).toClosing(Nesting::Both);
    return t[close].type == TokenType::EndOfLine ? close : close + 1;
}

// Where the subscripts, members and calls after a variable end when they hold a call: a method
// ($m[k].Method(...)) or a function value ($f(...), $handlers[2](...)). Such a line is a call
// statement. 0 when they hold no call: the line assigns.
size_t callChainEnd(const TokenList& t, size_t p) {
    bool called = false;
    for (;;) {
        switch (t[p].type) {
        case TokenType::LeftParen: called = true; [[fallthrough]];
        case TokenType::LeftBracket: p = pastClosing(t, p); break;
        case TokenType::Member: ++p; break;
        default: return called ? p : 0;
        }
    }
}

// The member token of the method call that ends the call chain from `p` at `end`, or 0.
size_t lastMethodAt(const TokenList& t, size_t p, size_t end) {
    size_t member = 0;
    while (p < end) {
        if (t[p].type == TokenType::Member) {
            if (t[p + 1].type == TokenType::LeftParen && pastClosing(t, p + 1) == end) member = p;
            ++p;
        } else {
            p = pastClosing(t, p);
        }
    }
    return member;
}

} // namespace

int Engine::assignment(const TokenList& t, size_t pos) {
    const Token& name = t[pos];
    Variable* variable = findVariable(name.i32);
    if (variable && variable->isConstant()) return reportRuntimeError(MessageId::CannotAssignConstant, name.column);
    size_t p = pos + 1;
    const TokenType plainOp = t[p].type;
    if (isAssignOperator(plainOp)) {
        // The common case, a variable without subscripts: no path to read or walk.
        ++p;
        Variant value;
        if (evaluate(t, p, value) < 0 || expectEnd(t, p) < 0) return -1;
        if (variable) {
            applyAssignment(plainOp, *variable->value, value);
            return 0;
        }
        if (plainOp != TokenType::Assign || options_.mustDeclareVars) return reportRuntimeError(MessageId::VariableNotDeclared, name.column);
        createVariable(name.i32, std::move(value), 0, Scope::Automatic);
        return 0;
    }
    // Subscripts and keys are evaluated before the value, and applied after it.
    if (size_t end = callChainEnd(t, p)) {
        // "$o.Name(arguments) = value" (or "$a[1].b.Name(arguments) = value"): an object's property
        // that takes arguments, written.
        const size_t member = variable && isAssignOperator(t[end].type) ? lastMethodAt(t, p, end) : 0;
        Variant object;
        if (member == p) {
            object = *variable->value;
        } else if (member) {
            size_t q = pos;
            if (evaluate(t, q, object, static_cast<int>(member)) < 0) return -1;
        }
        if (member && object.is(VarKind::Object)) {
            p = member;
            ArgumentList arguments;
            const size_t close = end - 1;
            for (size_t a = p + 2; a < close;) {
                if (evaluate(t, a, arguments.add(), static_cast<int>(close)) < 0) return -1;
                if (t[a].type == TokenType::Comma) ++a;
                else if (a != close) return reportRuntimeError(MessageId::ErrorParsingFunctionCall, t[a].column);
            }
            size_t v = end + 1;
            Variant value;
            if (evaluate(t, v, value) < 0 || expectEnd(t, v) < 0) return -1;
            const std::wstring_view property = t[p].text.view();
            if (t[end].type != TokenType::Assign) {
                // A compound operator reads the property with its arguments, combines, writes it back.
                Variant current;
                if (objectMember(object, property, MemberUse::Read, arguments.view(), t[p].column, current) < 0) return -1;
                applyAssignment(t[end].type, current, value);
                value = std::move(current);
            }
            arguments.add() = std::move(value);
            Variant discarded;
            return objectMember(object, property, MemberUse::Write, arguments.view(), t[p].column, discarded);
        }
        // Not an assignment: the line is a call whose result is discarded.
        size_t q = pos;
        Variant discarded;
        if (evaluate(t, q, discarded, static_cast<int>(end)) < 0) return -1;
        return expectEnd(t, q);
    }
    AccessPath path;
    if (readAccessPath(t, p, path) < 0) return -1;
    if (!path.empty() && !variable) return reportRuntimeError(MessageId::VariableNotDeclared, name.column);
    TokenType op = t[p].type;
    if (!isAssignOperator(op)) return reportRuntimeError(MessageId::ExpectedAssign, t[p].column);
    ++p;
    Variant value;
    if (evaluate(t, p, value) < 0 || expectEnd(t, p) < 0) return -1;
    if (!variable) {
        if (op != TokenType::Assign || options_.mustDeclareVars) return reportRuntimeError(MessageId::VariableNotDeclared, name.column);
        createVariable(name.i32, std::move(value), 0, Scope::Automatic);
        return 0;
    }
    Variant scratch;
    Variant* element = walkAccessPath(variable->value, path, true, false, nullptr, name.column, scratch);
    if (!element) return -1;
    if (pendingPut_.active) return assignObjectMember(op, value);
    applyAssignment(op, *element, value);
    return 0;
}

} // namespace vexil
