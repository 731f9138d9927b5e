// The declarations: DIM, LOCAL, GLOBAL, CONST, STATIC, REDIM and ENUM (their arrays are in
// declared_arrays.cpp).
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/front/keywords.h"
#include "engine/front/token_cursor.h"

namespace vexil {

namespace {

// Where the initializer at `pos` ends: a comma at depth zero, or the end of the line.
size_t initializerEnd(const TokenList& t, size_t pos) { return TokenCursor(t, pos).toItemEnd(Nesting::Both, isComma); }

// Whether the initializer at `pos` names the variable.
bool initializerUses(const TokenList& t, size_t pos, int nameId) {
    for (size_t end = initializerEnd(t, pos); pos < end; ++pos)
        if (t[pos].type == TokenType::Variable && t[pos].i32 == nameId) return true;
    return false;
}

} // namespace

// One reader per statement form, then one loop over the declared names.
int Engine::declaration(const TokenList& t, size_t pos) {
    switch (static_cast<Keyword>(t[pos].i32)) {
    case Keyword::Local: return dimStatement(t, pos, Scope::Local);
    case Keyword::Global: return dimStatement(t, pos, Scope::Global);
    case Keyword::Const: return constStatement(t, pos);
    case Keyword::Static: return staticStatement(t, pos);
    case Keyword::Enum: return declareEnum(t, pos + 1, Scope::Automatic);
    case Keyword::ReDim: return declareVariables(t, pos + 1, {Scope::Automatic, false, false, true});
    default: return dimStatement(t, pos, Scope::Automatic); // DIM
    }
}

// DIM, LOCAL and GLOBAL, each of which may go on with CONST or ENUM; LOCAL and GLOBAL also with
// STATIC. DIM looks locally then globally, LOCAL only locally (globally at global level), GLOBAL
// globally.
int Engine::dimStatement(const TokenList& t, size_t pos, Scope scope) {
    DeclarationForm form{scope, false, false, false};
    size_t p = pos + 1;
    const Token& second = t[p];
    if (second.type == TokenType::Keyword) {
        switch (static_cast<Keyword>(second.i32)) {
        case Keyword::Enum: return declareEnum(t, p + 1, scope);
        case Keyword::Const:
            form.isConst = true;
            ++p;
            break;
        case Keyword::Static:
            if (scope == Scope::Automatic) return reportRuntimeError(MessageId::ErrorInExpression, second.column);
            form.isStatic = true;
            ++p;
            break;
        default: break;
        }
    }
    return declareVariables(t, p, form);
}

// CONST, or CONST ENUM.
int Engine::constStatement(const TokenList& t, size_t pos) {
    if (isKeyword(t[pos + 1], Keyword::Enum)) return declareEnum(t, pos + 2, Scope::Automatic);
    return declareVariables(t, pos + 1, {Scope::Automatic, true, false, false});
}

// STATIC, STATIC LOCAL (which looks up as DIM does) or STATIC GLOBAL.
int Engine::staticStatement(const TokenList& t, size_t pos) {
    DeclarationForm form{Scope::Automatic, false, true, false};
    size_t p = pos + 1;
    const Token& second = t[p];
    if (second.type == TokenType::Keyword) {
        Keyword k = static_cast<Keyword>(second.i32);
        if (k == Keyword::Dim) return reportRuntimeError(MessageId::ErrorInExpression, second.column);
        if (k != Keyword::Local && k != Keyword::Global) return reportRuntimeError(MessageId::NoVariableGiven, second.column);
        if (k == Keyword::Global) form.scope = Scope::Global;
        ++p;
    }
    return declareVariables(t, p, form);
}

// The names of a declaration, separated by commas, each with its dimensions and initializer.
int Engine::declareVariables(const TokenList& t, size_t p, const DeclarationForm& form) {
    for (;;) {
        const Token& name = t[p];
        if (name.type != TokenType::Variable) return reportRuntimeError(MessageId::NoVariableGiven, name.column);
        Variable* variable = nullptr;
        bool firstExecution = true;
        if (bindDeclared(name, form, variable, firstExecution) < 0) return -1;
        ++p;
        Dimensions dims;
        if (readDimensions(t, p, dims) < 0) return -1;
        if (form.isRedim) {
            if (t[p].type == TokenType::Assign) return reportRuntimeError(MessageId::RedimInitialised, t[p].column);
            if (redimension(*variable->value, dims, name.column) < 0) return -1;
        } else if (dims.any && t[p].type != TokenType::Assign && firstExecution) {
            if (shapeArray(*variable->value, dims, nullptr, 0, name.column) < 0) return -1;
        }
        if (t[p].type == TokenType::Assign) {
            if (initializeDeclared(t, ++p, name, dims, *variable, firstExecution) < 0) return -1;
        } else if (form.isConst) {
            return reportRuntimeError(MessageId::ExpectedAssign, t[p].column);
        }
        if (t[p].type == TokenType::EndOfLine) return 0;
        if (t[p].type != TokenType::Comma) return reportRuntimeError(MessageId::NoVariableGiven, t[p].column);
        ++p;
    }
}

// Finds or creates the variable a declaration names, after the checks of its form. A STATIC
// variable keeps its value from the line's first execution, which alone runs its initializer.
int Engine::bindDeclared(const Token& name, const DeclarationForm& form, Variable*& variable, bool& firstExecution) {
    variable = findInScope(name.i32, form.scope);
    if (form.isConst) {
        if (variable)
            return reportRuntimeError(variable->isConstant() ? MessageId::RedeclareConstant : MessageId::CannotMakeConstant,
                                      name.column);
        variable = &createVariable(name.i32, Variant::string(WString()), VarAttribute::Constant, form.scope);
        return 0;
    }
    if (form.isStatic) {
        if (variable) return reportRuntimeError(MessageId::CannotMakeStatic, name.column);
        variable = &staticVariable(name.i32, form.scope, firstExecution);
        return 0;
    }
    // LOCAL or GLOBAL of a parameter's name inside its function.
    Variable* parameter = inFunction() && form.scope != Scope::Automatic && !form.isRedim ? findLocal(name.i32) : nullptr;
    bool isParameter = parameter && (parameter->attributes & VarAttribute::Parameter);
    if (variable) {
        if (variable->isConstant()) return reportRuntimeError(MessageId::RedeclareConstant, name.column);
        if ((variable->attributes & VarAttribute::Static) && !form.isRedim)
            return reportRuntimeError(MessageId::StaticToRegular, name.column);
        if (isParameter) return reportRuntimeError(MessageId::RedeclareParameter, name.column);
        if (form.isRedim && !variable->value->is(VarKind::Array))
            return reportRuntimeError(MessageId::RedimWithoutArray, name.column);
        return 0;
    }
    if (form.isRedim) return reportRuntimeError(MessageId::VariableNotDeclared, name.column);
    if (isParameter) return reportRuntimeError(MessageId::RedeclareParameter, name.column);
    variable = &createVariable(name.i32, Variant::string(WString()), 0, form.scope);
    return 0;
}

// Storage of its own for each STATIC line and name, created on the line's first execution.
Variable& Engine::staticVariable(int nameId, Scope scope, bool& firstExecution) {
    uint64_t key = static_cast<uint64_t>(currentLine_) << 32 | static_cast<uint32_t>(nameId);
    auto [it, inserted] = staticStore_.try_emplace(key, nullptr);
    if (inserted) it->second = std::make_unique<Variant>(Variant::string(WString()));
    firstExecution = inserted;
    return createAlias(nameId, it->second.get(), VarAttribute::Static, scope);
}

// The initializer after "=" at `p`: an array literal, or an expression; skipped but on the
// declaration's first execution.
int Engine::initializeDeclared(const TokenList& t, size_t& p, const Token& name, const Dimensions& dims,
                               Variable& variable, bool firstExecution) {
    if (initializerUses(t, p, name.i32)) return reportRuntimeError(MessageId::SelfInitialised, name.column);
    if (!firstExecution) {
        p = initializerEnd(t, p);
        return 0;
    }
    if (t[p].type == TokenType::LeftBracket) {
        if (shapeArray(*variable.value, dims, &t, p, name.column) < 0) return -1;
        return fillArrayLiteral(t, p, *variable.value);
    }
    if (dims.any && shapeArray(*variable.value, dims, nullptr, 0, name.column) < 0) return -1;
    *variable.value = Variant::string(WString());
    Variant value;
    if (evaluate(t, p, value) < 0) return -1;
    *variable.value = std::move(value);
    return 0;
}

int Engine::declareEnum(const TokenList& t, size_t pos, Scope scope) {
    enum class Step { Add, Subtract, Multiply } step = Step::Add;
    Variant by = Variant::int32(1);
    Variant counter = Variant::int32(0);
    if (isKeyword(t[pos], Keyword::Step)) {
        ++pos;
        if (t[pos].type == TokenType::Plus || t[pos].type == TokenType::Minus || t[pos].type == TokenType::Multiply) {
            step = t[pos].type == TokenType::Plus ? Step::Add : t[pos].type == TokenType::Minus ? Step::Subtract : Step::Multiply;
            ++pos;
        }
        if (t[pos].type != TokenType::Int32) return reportRuntimeError(MessageId::BadEnum, t[pos].column);
        by = Variant::int32(t[pos].i32);
        if (step == Step::Multiply) counter = Variant::int32(1);
        ++pos;
    }
    for (;;) {
        const Token& name = t[pos];
        if (name.type != TokenType::Variable) return reportRuntimeError(MessageId::BadEnum, name.column);
        ++pos;
        if (t[pos].type == TokenType::Assign) {
            ++pos;
            if (evaluate(t, pos, counter) < 0) return -1;
        }
        if (findInScope(name.i32, scope)) return reportRuntimeError(MessageId::CannotAssignConstant, name.column);
        createVariable(name.i32, counter, VarAttribute::Constant, scope);
        switch (step) {
        case Step::Add: counter.add(by); break;
        case Step::Subtract: counter.subtract(by); break;
        case Step::Multiply: counter.multiply(by); break;
        }
        if (t[pos].type == TokenType::EndOfLine) return 0;
        if (t[pos].type != TokenType::Comma) return reportRuntimeError(MessageId::NoVariableGiven, t[pos].column);
        ++pos;
    }
}

} // namespace vexil
