// Compiling lines at load: the frame layout of every function, then one Statement per line:
// assignments, calls, IF, loops and RETURN here, the other keyword statements in
// compiled_blocks.cpp and compiled_declarations.cpp. A line whose expressions the expression
// compiler does not take, or whose tokens would fail, stays a Tokens statement and keeps its errors.
#include "engine/engine.h"
#include "engine/eval/expression_compiler.h"
#include "engine/exec/assignment_operators.h"
#include "engine/front/keywords.h"

namespace vexil {

namespace {

// The assignment operator of a line outside any bracket, or 0.
size_t assignmentAt(const TokenList& t, size_t p) {
    int depth = 0;
    for (; t[p].type != TokenType::EndOfLine; ++p) {
        const TokenType type = t[p].type;
        if (type == TokenType::LeftParen || type == TokenType::LeftBracket) ++depth;
        else if (type == TokenType::RightParen || type == TokenType::RightBracket) --depth;
        else if (depth == 0 && isAssignOperator(type)) return p;
    }
    return 0;
}

} // namespace

void Engine::compileLines() {
    const int lineCount = loader_->lineCount();
    code_.lineFunction.assign(static_cast<size_t>(lineCount) + 1, -1);
    const std::vector<UserFunction>& functions = functions_.all();
    code_.layouts.assign(functions.size(), FunctionLayout{});
    for (size_t i = 0; i < functions.size(); ++i) {
        const UserFunction& f = functions[i];
        FunctionLayout& layout = code_.layouts[i];
        for (const Parameter& parameter : f.parameters) layout.add(parameter.nameId);
        const int end = blocks_.at(f.line).end;
        for (int line = f.line; line <= end && line <= lineCount; ++line) {
            code_.lineFunction[static_cast<size_t>(line)] = static_cast<int32_t>(i);
            for (const Token& token : *loader_->tokens(line))
                if (token.type == TokenType::Variable) layout.add(token.i32);
        }
        functions_.setFrame(i, &layout, static_cast<uint32_t>(layout.names.size()));
    }
    code_.statements.assign(static_cast<size_t>(lineCount) + 1, Statement{});
    for (int line = 1; line <= lineCount; ++line) {
        const Statement statement = compileStatement(line, *loader_->tokens(line), 0);
        code_.statements[static_cast<size_t>(line)] = statement;
    }
}

Statement Engine::compileStatement(int line, const TokenList& t, size_t pos) {
    const CompileScope scope{functions_, code_.layoutOfLine(line)};
    const Token& first = t[pos];
    Statement s;
    s.column = first.column;
    s.a = static_cast<int32_t>(pos); // for a Tokens statement: where its tokens start
    const Statement tokens = s;
    auto expressionTo = [&](size_t& p, bool toEndOfLine) {
        const int32_t root = compileExpression(code_, t, p, -1, scope);
        return root >= 0 && (!toEndOfLine || t[p].type == TokenType::EndOfLine) ? root : -1;
    };
    auto keywordAt = [&](size_t p, Keyword keyword) { return isKeyword(t[p], keyword); };

    switch (first.type) {
    case TokenType::EndOfLine: s.kind = StatementKind::Empty; return s;
    case TokenType::Variable: {
        size_t p = pos;
        const int32_t target = compileTarget(code_, t, p, scope);
        if (target < 0 || !isAssignOperator(t[p].type)) return tokens;
        s.op = static_cast<uint8_t>(t[p].type);
        ++p;
        s.b = expressionTo(p, true);
        if (s.b < 0) return tokens;
        const Node& element = code_.nodes[static_cast<size_t>(target)];
        s.kind = element.c == 0 ? StatementKind::Assign : StatementKind::AssignElement;
        s.a = element.c == 0 ? element.a : target;
        return s;
    }
    case TokenType::Keyword: break;
    case TokenType::Member: {
        // A member of the WITH object: a property assignment, or a call whose value is dropped.
        size_t p = pos;
        const size_t assign = assignmentAt(t, pos);
        if (!assign) {
            s.a = expressionTo(p, true);
            if (s.a < 0) return tokens;
            s.kind = StatementKind::Evaluate;
            return s;
        }
        s.a = compileExpression(code_, t, p, static_cast<int>(assign), scope);
        const NodeKind target = s.a < 0 ? NodeKind::Error : code_.nodes[static_cast<size_t>(s.a)].kind;
        if (p != assign || (target != NodeKind::ValueElement && target != NodeKind::Method)) return tokens;
        s.op = static_cast<uint8_t>(t[p].type);
        ++p;
        s.b = expressionTo(p, true);
        if (s.b < 0) return tokens;
        s.kind = StatementKind::AssignMember;
        return s;
    }
    default: {
        // An expression whose value is dropped. A line that begins with a call runs the call and
        // nothing else: anything after it is an error its tokens report.
        size_t p = pos;
        s.a = expressionTo(p, true);
        if (s.a < 0) return tokens;
        const NodeKind kind = code_.nodes[static_cast<size_t>(s.a)].kind;
        const bool call = first.type == TokenType::Builtin || first.type == TokenType::UserFunc;
        if (call && kind != NodeKind::BuiltinCall && kind != NodeKind::UserCall) return tokens;
        s.kind = StatementKind::Evaluate;
        return s;
    }
    }

    size_t p = pos + 1;
    switch (static_cast<Keyword>(first.i32)) {
    case Keyword::If:
    case Keyword::ElseIf: {
        s.a = expressionTo(p, false);
        if (s.a < 0 || !keywordAt(p, Keyword::Then)) return tokens;
        if (t[p + 1].type == TokenType::EndOfLine) {
            s.kind = isKeyword(first, Keyword::If) ? StatementKind::IfBlock : StatementKind::ElseIf;
            return s;
        }
        if (!isKeyword(first, Keyword::If)) return tokens;
        const Statement then = compileStatement(line, t, p + 1);
        code_.statements.push_back(then);
        s.kind = StatementKind::IfThen;
        s.b = static_cast<int32_t>(code_.statements.size() - 1);
        return s;
    }
    case Keyword::While:
    case Keyword::Until:
        s.a = expressionTo(p, true);
        if (s.a < 0) return tokens;
        s.kind = isKeyword(first, Keyword::While) ? StatementKind::While : StatementKind::Until;
        return s;
    case Keyword::For: {
        if (t[p].type == TokenType::Variable && isKeyword(t[p + 1], Keyword::In)) return compileForIn(t, p, scope);
        if (t[p].type != TokenType::Variable || t[p + 1].type != TokenType::Assign) return tokens;
        s.a = compileVariable(code_, t[p], scope);
        p += 2;
        s.b = expressionTo(p, false);
        if (s.b < 0 || !keywordAt(p, Keyword::To)) return tokens;
        ++p;
        s.c = expressionTo(p, false);
        if (s.c < 0) return tokens;
        if (keywordAt(p, Keyword::Step)) {
            ++p;
            s.d = expressionTo(p, false);
            if (s.d < 0) return tokens;
        }
        if (t[p].type != TokenType::EndOfLine) return tokens;
        s.kind = StatementKind::For;
        return s;
    }
    case Keyword::Next: s.kind = StatementKind::Next; return s; // the rest of the line is not read
    case Keyword::Wend: s.kind = StatementKind::Wend; return s;
    case Keyword::Return:
        if (t[p].type == TokenType::EndOfLine) {
            s.a = -1;
        } else {
            s.a = expressionTo(p, true);
            if (s.a < 0) return tokens;
        }
        s.kind = StatementKind::Return;
        return s;
    default: return compileKeywordStatement(line, t, pos, scope);
    }
}

} // namespace vexil
