// The declarations: DIM, LOCAL, GLOBAL, CONST, STATIC, REDIM and ENUM (their arrays are in
// declared_arrays.cpp).
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/exec/declaration_tokens.h"
#include "engine/front/keywords.h"
#include "engine/front/token_cursor.h"

namespace vexil {

size_t initializerEnd(const TokenList& t, size_t pos) { return TokenCursor(t, pos).toItemEnd(Nesting::Both, isComma); }

bool initializerUses(const TokenList& t, size_t pos, int nameId) {
    for (size_t end = initializerEnd(t, pos); pos < end; ++pos)
        if (t[pos].type == TokenType::Variable && t[pos].i32 == nameId) return true;
    return false;
}

int Engine::declaration(const TokenList& t, size_t pos) {
    const DeclarationHead head = readDeclarationHead(t, pos);
    if (head.failed) return reportRuntimeError(head.error, head.errorColumn);
    return head.isEnum ? declareEnum(t, head.names, head.form.scope) : declareVariables(t, head.names, head.form);
}

// DIM, LOCAL and GLOBAL may go on with CONST or ENUM, LOCAL and GLOBAL also with STATIC; CONST
// with ENUM; STATIC with LOCAL (which looks up as DIM does) or GLOBAL. DIM looks locally then
// globally, LOCAL only locally (globally at global level), GLOBAL globally.
Engine::DeclarationHead Engine::readDeclarationHead(const TokenList& t, size_t pos) {
    DeclarationHead head;
    DeclarationForm& form = head.form;
    size_t p = pos + 1;
    const Token& second = t[p];
    const Keyword secondKeyword = second.type == TokenType::Keyword ? static_cast<Keyword>(second.i32) : Keyword{};
    auto fail = [&](MessageId::Id id) {
        head.failed = true;
        head.error = id;
        head.errorColumn = second.column;
        return head;
    };
    auto enumAfter = [&](size_t names) {
        head.isEnum = true;
        head.names = names;
        return head;
    };
    switch (static_cast<Keyword>(t[pos].i32)) {
    case Keyword::Enum: return enumAfter(p);
    case Keyword::ReDim: form.isRedim = true; break;
    case Keyword::Const:
        if (secondKeyword == Keyword::Enum) return enumAfter(p + 1);
        form.isConst = true;
        break;
    case Keyword::Static:
        form.isStatic = true;
        if (second.type != TokenType::Keyword) break;
        if (secondKeyword == Keyword::Dim) return fail(MessageId::ErrorInExpression);
        if (secondKeyword != Keyword::Local && secondKeyword != Keyword::Global) return fail(MessageId::NoVariableGiven);
        if (secondKeyword == Keyword::Global) form.scope = Scope::Global;
        ++p;
        break;
    default: // DIM, LOCAL, GLOBAL
        if (isKeyword(t[pos], Keyword::Local)) form.scope = Scope::Local;
        if (isKeyword(t[pos], Keyword::Global)) form.scope = Scope::Global;
        if (secondKeyword == Keyword::Enum) return enumAfter(p + 1);
        if (secondKeyword == Keyword::Const) {
            form.isConst = true;
            ++p;
        } else if (secondKeyword == Keyword::Static) {
            if (form.scope == Scope::Automatic) return fail(MessageId::ErrorInExpression);
            form.isStatic = true;
            ++p;
        }
        break;
    }
    head.names = p;
    return head;
}

// The names of a declaration, separated by commas, each with its dimensions and initializer.
int Engine::declareVariables(const TokenList& t, size_t p, const DeclarationForm& form) {
    for (;;) {
        const Token& name = t[p];
        if (name.type != TokenType::Variable) return reportRuntimeError(MessageId::NoVariableGiven, name.column);
        Variable* variable = nullptr;
        bool firstExecution = true;
        if (bindDeclared(name.i32, name.column, form, variable, firstExecution) < 0) return -1;
        ++p;
        Dimensions dims;
        if (readDimensions(t, p, dims) < 0) return -1;
        const bool initialised = t[p].type == TokenType::Assign;
        if (form.isRedim && initialised) return reportRuntimeError(MessageId::RedimInitialised, t[p].column);
        if (shapeDeclared(*variable, dims, form, initialised, firstExecution, name.column) < 0) return -1;
        if (initialised) {
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
int Engine::bindDeclared(int nameId, int column, const DeclarationForm& form, Variable*& variable,
                         bool& firstExecution) {
    variable = findInScope(nameId, form.scope);
    if (form.isConst) {
        if (variable)
            return reportRuntimeError(variable->isConstant() ? MessageId::RedeclareConstant : MessageId::CannotMakeConstant,
                                      column);
        variable = &createVariable(nameId, Variant::string(WString()), VarAttribute::Constant, form.scope);
        return 0;
    }
    if (form.isStatic) {
        if (variable) return reportRuntimeError(MessageId::CannotMakeStatic, column);
        variable = &staticVariable(nameId, form.scope, firstExecution);
        return 0;
    }
    // LOCAL or GLOBAL of a parameter's name inside its function.
    Variable* parameter = inFunction() && form.scope != Scope::Automatic && !form.isRedim ? findLocal(nameId) : nullptr;
    bool isParameter = parameter && (parameter->attributes & VarAttribute::Parameter);
    if (variable) {
        if (variable->isConstant()) return reportRuntimeError(MessageId::RedeclareConstant, column);
        if ((variable->attributes & VarAttribute::Static) && !form.isRedim)
            return reportRuntimeError(MessageId::StaticToRegular, column);
        if (isParameter) return reportRuntimeError(MessageId::RedeclareParameter, column);
        if (form.isRedim && !variable->value->is(VarKind::Array))
            return reportRuntimeError(MessageId::RedimWithoutArray, column);
        return 0;
    }
    if (form.isRedim) return reportRuntimeError(MessageId::VariableNotDeclared, column);
    if (isParameter) return reportRuntimeError(MessageId::RedeclareParameter, column);
    variable = &createVariable(nameId, Variant::string(WString()), 0, form.scope);
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
        const std::vector<int32_t> counts = measureArrayLiteral(t, p);
        if (shapeArray(*variable.value, dims, counts.data(), counts.size(), name.column) < 0) return -1;
        return fillArrayLiteral(t, p, *variable.value);
    }
    if (clearForInitializer(variable, dims, name.column) < 0) return -1;
    Variant value;
    if (evaluate(t, p, value) < 0) return -1;
    *variable.value = std::move(value);
    return 0;
}

int Engine::shapeDeclared(Variable& variable, const Dimensions& dims, const DeclarationForm& form, bool initialised,
                          bool firstExecution, int column) {
    if (form.isRedim) return redimension(*variable.value, dims, column);
    if (dims.any && !initialised && firstExecution) return shapeArray(*variable.value, dims, nullptr, 0, column);
    return 0;
}

int Engine::clearForInitializer(Variable& variable, const Dimensions& dims, int column) {
    if (dims.any && shapeArray(*variable.value, dims, nullptr, 0, column) < 0) return -1;
    *variable.value = Variant::string(WString());
    return 0;
}

int Engine::declareEnum(const TokenList& t, size_t pos, Scope scope) {
    EnumStep step = EnumStep::Add;
    Variant by = Variant::int32(1);
    Variant counter = Variant::int32(0);
    if (isKeyword(t[pos], Keyword::Step)) {
        ++pos;
        if (t[pos].type == TokenType::Plus || t[pos].type == TokenType::Minus || t[pos].type == TokenType::Multiply) {
            step = t[pos].type == TokenType::Plus    ? EnumStep::Add
                   : t[pos].type == TokenType::Minus ? EnumStep::Subtract
                                                     : EnumStep::Multiply;
            ++pos;
        }
        if (t[pos].type != TokenType::Int32) return reportRuntimeError(MessageId::BadEnum, t[pos].column);
        by = Variant::int32(t[pos].i32);
        if (step == EnumStep::Multiply) counter = Variant::int32(1);
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
        if (declareEnumName(name.i32, name.column, scope, counter, step, by) < 0) return -1;
        if (t[pos].type == TokenType::EndOfLine) return 0;
        if (t[pos].type != TokenType::Comma) return reportRuntimeError(MessageId::NoVariableGiven, t[pos].column);
        ++pos;
    }
}

int Engine::declareEnumName(int nameId, int column, Scope scope, Variant& counter, EnumStep step, const Variant& by) {
    if (findInScope(nameId, scope)) return reportRuntimeError(MessageId::CannotAssignConstant, column);
    createVariable(nameId, counter, VarAttribute::Constant, scope);
    switch (step) {
    case EnumStep::Add: counter.add(by); break;
    case EnumStep::Subtract: counter.subtract(by); break;
    case EnumStep::Multiply: counter.multiply(by); break;
    }
    return 0;
}

} // namespace vexil
