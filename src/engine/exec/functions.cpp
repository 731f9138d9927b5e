#include "engine/exec/functions.h"

#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/front/keywords.h"
#include "engine/front/loader.h"
#include "engine/front/token_cursor.h"

namespace vexil {

namespace {

// Reads the rest of one FUNC line (from the function's name) into a UserFunction. Each step
// returns 0, or a negative status once it has reported the line's first malformed part.
class DefinitionReader {
public:
    DefinitionReader(const TokenList& tokens, int line, const FunctionTable& table, Engine& engine)
        : t_(tokens), line_(line), table_(table), engine_(engine) {}

    [[nodiscard]] int read(size_t p, UserFunction& f) {
        const Token& name = t_[p];
        if (name.type != TokenType::UserFunc) return fail(MessageId::BadFuncStatement);
        if (table_.find(name.i32)) return fail(MessageId::DuplicateFunction);
        f.name = name.text;
        f.nameId = name.i32;
        if (t_[++p].type != TokenType::LeftParen) return fail(MessageId::BadFuncStatement);
        ++p;
        if (readParameters(p, f) < 0) return -1;
        if (t_[p + 1].type != TokenType::EndOfLine) return fail(MessageId::IllegalTextAtEnd, t_[p + 1].column);
        f.maxArgs = static_cast<int>(f.parameters.size());
        if (f.minArgs < 0) f.minArgs = f.maxArgs;
        return 0;
    }

private:
    [[nodiscard]] int fail(MessageId::Id id, int column = -1) {
        engine_.setCurrentLine(line_);
        return engine_.reportRuntimeError(id, column);
    }

    // Up to the closing ")", where `p` stops.
    [[nodiscard]] int readParameters(size_t& p, UserFunction& f) {
        while (t_[p].type != TokenType::RightParen) {
            Parameter param{};
            if (readParameter(p, f, param) < 0) return -1;
            f.parameters.push_back(param);
            if (t_[p].type == TokenType::Comma) {
                if (t_[p + 1].type == TokenType::RightParen) return fail(MessageId::ExpectedVariable);
                ++p;
            } else if (t_[p].type != TokenType::RightParen) {
                return fail(MessageId::BadFuncStatement);
            }
        }
        return 0;
    }

    // [BYREF] [CONST] $name [= default]; the first default fixes the fewest arguments a call needs.
    [[nodiscard]] int readParameter(size_t& p, UserFunction& f, Parameter& param) {
        for (; t_[p].type == TokenType::Keyword; ++p) {
            if (isKeyword(t_[p], Keyword::ByRef) && !param.byRef) param.byRef = true;
            else if (isKeyword(t_[p], Keyword::Const) && !param.isConst) param.isConst = true;
            else return fail(MessageId::BadFuncStatement);
        }
        if (t_[p].type != TokenType::Variable) return fail(MessageId::ExpectedVariable);
        param.nameId = t_[p].i32;
        for (const Parameter& other : f.parameters)
            if (other.nameId == param.nameId) return fail(MessageId::DuplicateParameter);
        ++p;
        if (t_[p].type != TokenType::Assign) {
            // A parameter without a default after one with.
            return f.minArgs >= 0 ? fail(MessageId::BadFuncStatement) : 0;
        }
        if (param.byRef) return fail(MessageId::BadFuncStatement);
        param.defaultStart = static_cast<int>(++p);
        p = TokenCursor(t_, p).toItemEnd(Nesting::Parens, endsArgument);
        if (t_[p].type == TokenType::EndOfLine) return fail(MessageId::BadFuncStatement);
        param.defaultEnd = static_cast<int>(p);
        if (f.minArgs < 0) f.minArgs = static_cast<int>(f.parameters.size());
        return 0;
    }

    const TokenList& t_;
    const int line_;
    const FunctionTable& table_;
    Engine& engine_;
};

} // namespace

bool FunctionTable::build(const ScriptLoader& loader, Engine& engine) {
    functions_.clear();
    byNameId_.clear();
    for (int line = 1; line <= loader.lineCount(); ++line) {
        const TokenList* tokens = loader.tokens(line);
        if (!tokens) continue;
        bool isVolatile = isKeyword((*tokens)[0], Keyword::Volatile);
        size_t func = isVolatile ? 1 : 0;
        if (!isKeyword((*tokens)[func], Keyword::Func)) continue; // a VOLATILE without FUNC fails when it runs
        UserFunction f{{}, -1, line, -1, 0, isVolatile, {}};
        if (DefinitionReader(*tokens, line, *this, engine).read(func + 1, f) < 0) return false;
        add(std::move(f));
    }
    return true;
}

void FunctionTable::add(UserFunction f) {
    if (static_cast<size_t>(f.nameId) >= byNameId_.size()) byNameId_.resize(static_cast<size_t>(f.nameId) + 1, -1);
    byNameId_[static_cast<size_t>(f.nameId)] = static_cast<int>(functions_.size());
    f.index = static_cast<int32_t>(functions_.size());
    functions_.push_back(std::move(f));
}

} // namespace vexil
