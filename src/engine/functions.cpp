#include "engine/functions.h"

#include "engine/engine.h"
#include "engine/keywords.h"
#include "engine/loader.h"
#include "engine/messages.h"

namespace vexil {

bool FunctionTable::build(const ScriptLoader& loader, Engine& engine) {
    functions_.clear();
    byNameId_.clear();
    auto fail = [&](int line, MessageId::Id id, int column) {
        engine.setCurrentLine(line);
        engine.reportRuntimeError(id, column);
        return false;
    };
    for (int line = 1; line <= loader.lineCount(); ++line) {
        const TokenList* tokens = loader.tokens(line);
        if (!tokens) continue;
        const TokenList& t = *tokens;
        size_t p = 0;
        bool isVolatile = isKeyword(t[0], Keyword::Volatile);
        if (isVolatile) ++p;
        if (!isKeyword(t[p], Keyword::Func)) continue; // a VOLATILE without FUNC fails when it runs
        ++p;
        const Token& name = t[p];
        if (name.type != TokenType::UserFunc) return fail(line, MessageId::BadFuncStatement, -1);
        if (find(name.i32)) return fail(line, MessageId::DuplicateFunction, -1);
        if (t[++p].type != TokenType::LeftParen) return fail(line, MessageId::BadFuncStatement, -1);
        ++p;
        UserFunction f{name.text, name.i32, line, 0, -1, 0, isVolatile, {}};
        while (t[p].type != TokenType::RightParen) {
            Parameter param{};
            for (; t[p].type == TokenType::Keyword; ++p) {
                if (isKeyword(t[p], Keyword::ByRef) && !param.byRef) param.byRef = true;
                else if (isKeyword(t[p], Keyword::Const) && !param.isConst) param.isConst = true;
                else return fail(line, MessageId::BadFuncStatement, -1);
            }
            if (t[p].type != TokenType::Variable) return fail(line, MessageId::ExpectedVariable, -1);
            param.nameId = t[p].i32;
            for (const Parameter& other : f.parameters)
                if (other.nameId == param.nameId) return fail(line, MessageId::DuplicateParameter, -1);
            ++p;
            if (t[p].type == TokenType::Assign) {
                if (param.byRef) return fail(line, MessageId::BadFuncStatement, -1);
                param.defaultStart = static_cast<int>(++p);
                for (int depth = 0;; ++p) {
                    TokenType type = t[p].type;
                    if (type == TokenType::EndOfLine) return fail(line, MessageId::BadFuncStatement, -1);
                    if (depth == 0 && (type == TokenType::Comma || type == TokenType::RightParen)) break;
                    if (type == TokenType::LeftParen) ++depth;
                    if (type == TokenType::RightParen) --depth;
                }
                param.defaultEnd = static_cast<int>(p);
                if (f.minArgs < 0) f.minArgs = static_cast<int>(f.parameters.size());
            } else if (f.minArgs >= 0) {
                return fail(line, MessageId::BadFuncStatement, -1); // a parameter without default after one with
            }
            f.parameters.push_back(param);
            if (t[p].type == TokenType::Comma) {
                if (t[p + 1].type == TokenType::RightParen) return fail(line, MessageId::ExpectedVariable, -1);
                ++p;
            } else if (t[p].type != TokenType::RightParen) {
                return fail(line, MessageId::BadFuncStatement, -1);
            }
        }
        if (t[p + 1].type != TokenType::EndOfLine) return fail(line, MessageId::IllegalTextAtEnd, t[p + 1].column);
        f.maxArgs = static_cast<int>(f.parameters.size());
        if (f.minArgs < 0) f.minArgs = f.maxArgs;
        for (int end = line + 1; end <= loader.lineCount(); ++end) {
            const TokenList* e = loader.tokens(end);
            if (e && isKeyword((*e)[0], Keyword::EndFunc)) {
                f.endLine = end;
                break;
            }
        }
        if (static_cast<size_t>(f.nameId) >= byNameId_.size()) byNameId_.resize(static_cast<size_t>(f.nameId) + 1, -1);
        byNameId_[static_cast<size_t>(f.nameId)] = static_cast<int>(functions_.size());
        functions_.push_back(std::move(f));
    }
    return true;
}

} // namespace vexil
