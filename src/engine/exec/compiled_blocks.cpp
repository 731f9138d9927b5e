// Compiled keyword statements beyond IF, the counted loops and RETURN: the block lines without
// expressions, SELECT, SWITCH and CASE, EXITLOOP and CONTINUELOOP, EXIT, FOR...IN, and lines that
// can only fail. Once their expressions are evaluated they run the code the token form runs
// (exec.cpp); a line whose tokens would fail on their syntax, or whose expressions the compiler
// does not take, stays a Tokens statement.
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/expression_compiler.h"
#include "engine/front/keywords.h"

namespace vexil {

namespace {

// The expression at `p` when it ends the line; -1 otherwise.
int32_t expressionToEnd(Code& code, const TokenList& t, size_t& p, const CompileScope& scope) {
    const int32_t root = compileExpression(code, t, p, -1, scope);
    return root >= 0 && t[p].type == TokenType::EndOfLine ? root : -1;
}

// An expression that may end the line instead: -1 in `node` when there is none; false when there
// is one that does not compile or does not end the line.
bool optionalToEnd(Code& code, const TokenList& t, size_t p, const CompileScope& scope, int32_t& node) {
    node = -1;
    if (t[p].type == TokenType::EndOfLine) return true;
    node = expressionToEnd(code, t, p, scope);
    return node >= 0;
}

} // namespace

Statement Engine::compileKeywordStatement(int line, const TokenList& t, size_t pos, const CompileScope& scope) {
    const Token& first = t[pos];
    Statement s;
    s.column = first.column;
    s.a = static_cast<int32_t>(pos);
    const Statement tokens = s;
    auto as = [&](StatementKind kind) {
        s.kind = kind;
        return s;
    };
    auto fail = [&](MessageId::Id id, int column) {
        s.a = id;
        s.column = static_cast<int16_t>(column);
        return as(StatementKind::Fail);
    };
    const size_t p = pos + 1;
    switch (static_cast<Keyword>(first.i32)) {
    case Keyword::Else: return as(StatementKind::BranchEnd);
    case Keyword::EndIf:
    case Keyword::EndSelect:
    case Keyword::EndSwitch: return as(StatementKind::EndBlock);
    case Keyword::Do: return as(StatementKind::Do);
    case Keyword::Volatile:
        if (!isKeyword(t[p], Keyword::Func)) return fail(MessageId::BadFuncStatement, -1);
        return as(StatementKind::SkipFunction);
    case Keyword::Func: return as(StatementKind::SkipFunction);
    case Keyword::EndFunc: return as(StatementKind::EndFunction);
    case Keyword::With: {
        size_t at = p;
        s.a = expressionToEnd(code_, t, at, scope);
        return s.a < 0 ? tokens : as(StatementKind::With);
    }
    case Keyword::EndWith: return as(StatementKind::EndBlock);
    case Keyword::Select: return as(StatementKind::Select);
    case Keyword::Switch: {
        size_t at = p;
        s.a = expressionToEnd(code_, t, at, scope);
        return s.a < 0 ? tokens : as(StatementKind::Switch);
    }
    case Keyword::Case: return pos == 0 ? compileCase(line, t, pos, scope) : tokens;
    case Keyword::ContinueCase: return t[p].type == TokenType::EndOfLine ? as(StatementKind::ContinueCase) : tokens;
    case Keyword::ExitLoop:
    case Keyword::ContinueLoop:
        s.op = isKeyword(first, Keyword::ExitLoop);
        return optionalToEnd(code_, t, p, scope, s.a) ? as(StatementKind::LoopExit) : tokens;
    case Keyword::Exit: return optionalToEnd(code_, t, p, scope, s.a) ? as(StatementKind::Exit) : tokens;
    case Keyword::Dim: case Keyword::ReDim: case Keyword::Local: case Keyword::Global: case Keyword::Const:
    case Keyword::Static: case Keyword::Enum:
        return compileDeclaration(t, pos, scope);
    case Keyword::If: case Keyword::ElseIf: case Keyword::While: case Keyword::Wend: case Keyword::Until:
    case Keyword::For: case Keyword::Next: case Keyword::Return:
        return tokens; // forms the statement compiler did not take
    default: return fail(MessageId::InvalidKeywordAtStart, -1);
    }
}

// A CASE line as the SELECT or SWITCH that opens its block tests it: CASE ELSE, a SELECT's
// condition, or a SWITCH's items, each a value or a range "low TO high".
Statement Engine::compileCase(int line, const TokenList& t, size_t pos, const CompileScope& scope) {
    Statement s;
    s.column = t[pos].column;
    s.a = static_cast<int32_t>(pos);
    const Statement tokens = s;
    s.kind = StatementKind::Case;
    size_t p = pos + 1;
    if (isKeyword(t[p], Keyword::Else)) {
        if (t[p + 1].type != TokenType::EndOfLine) return tokens;
        s.op = kCaseElse;
        s.b = 0;
        return s;
    }
    const int opener = blocks_.at(line).end;
    if (opener < 1) return tokens;
    const bool inSwitch = isKeyword((*loader_->tokens(opener))[0], Keyword::Switch);
    // Entries go to the lists once the whole line has compiled: their expressions add entries too.
    std::vector<int32_t> items;
    for (;; ++p) {
        const int32_t low = compileExpression(code_, t, p, -1, scope);
        if (low < 0) return tokens;
        int32_t high = -1;
        if (inSwitch && isKeyword(t[p], Keyword::To)) {
            ++p;
            high = compileExpression(code_, t, p, -1, scope);
            if (high < 0) return tokens;
        }
        items.insert(items.end(), {low, high});
        if (t[p].type == TokenType::EndOfLine) break;
        if (!inSwitch || t[p].type != TokenType::Comma) return tokens;
    }
    s.a = static_cast<int32_t>(code_.lists.size());
    s.b = static_cast<int32_t>(items.size() / 2);
    code_.lists.insert(code_.lists.end(), items.begin(), items.end());
    return s;
}

// FOR $v IN collection, `pos` at the variable.
Statement Engine::compileForIn(const TokenList& t, size_t pos, const CompileScope& scope) {
    Statement s;
    s.column = t[pos - 1].column;
    s.a = static_cast<int32_t>(pos - 1);
    const Statement tokens = s;
    size_t p = pos + 2;
    const int32_t collection = expressionToEnd(code_, t, p, scope);
    if (collection < 0) return tokens;
    s.kind = StatementKind::ForIn;
    s.a = compileVariable(code_, t[pos], scope);
    s.b = collection;
    s.c = t[p].column;
    return s;
}

int Engine::runSwitch(const Statement& s) {
    Variant value;
    if (evalNode(s.a, value) < 0) return -1;
    return chooseCase(true, value);
}

int Engine::runLoopExit(const Statement& s) {
    int levels = 1;
    if (s.a >= 0) {
        Variant level;
        if (evalNode(s.a, level) < 0) return -1;
        levels = level.toInt32();
    }
    return leaveLoops(levels, s.op != 0);
}

int Engine::runExit(const Statement& s) {
    if (s.a < 0) return exitRun(nullptr);
    Variant code;
    if (evalNode(s.a, code) < 0) return -1;
    return exitRun(&code);
}

int Engine::runForIn(const Statement& s) {
    Variable* variable = loopVariable(code_.nodes[static_cast<size_t>(s.a)]);
    if (!variable) return -1;
    Variant collection;
    if (evalNode(s.b, collection) < 0) return -1;
    return enterForIn(variable->value, collection, s.c);
}

} // namespace vexil
