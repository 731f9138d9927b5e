// Assignment and the declarations: DIM, LOCAL, GLOBAL, CONST, STATIC, ENUM, REDIM.
#include "engine/engine.h"
#include "engine/keywords.h"
#include "engine/messages.h"

namespace vexil {

namespace {

bool isKeyword(const Token& t, Keyword k) { return t.type == TokenType::Keyword && t.i32 == static_cast<int>(k); }

constexpr int kNoVariable = 127;      // "No variable given for "Dim", ..."
constexpr int kExpectedAssign = 128;
constexpr int kCannotAssignConstant = 163;
constexpr int kMakeConstant = 164;
constexpr int kRedeclareConstant = 174;
constexpr int kAlreadyExistsStatic = 155;
constexpr int kStaticToRegular = 156;
constexpr int kBadEnum = 157;
constexpr int kNotArray = 113;
constexpr int kRedimInitialised = 172;
constexpr int kSelfInitialised = 177;
constexpr int kRedeclareParameter = 175;

const wchar_t kArraysNotAvailable[] = L"Arrays are not available in this version of Vexil.";

// Whether the initializer at `pos` (up to a comma at bracket depth zero) names the variable.
bool initializerUses(const TokenList& t, size_t pos, int nameId) {
    for (int depth = 0; t[pos].type != TokenType::EndOfLine; ++pos) {
        TokenType type = t[pos].type;
        if (type == TokenType::LeftParen || type == TokenType::LeftBracket) ++depth;
        else if (type == TokenType::RightParen || type == TokenType::RightBracket) --depth;
        else if (type == TokenType::Comma && depth == 0) return false;
        else if (type == TokenType::Variable && t[pos].i32 == nameId) return true;
    }
    return false;
}

} // namespace

int Engine::assignment(const TokenList& t, size_t pos) {
    const Token& name = t[pos];
    Variable* variable = findVariable(name.i32);
    if (variable && variable->isConstant()) return reportRuntimeError(kCannotAssignConstant, name.column);
    size_t p = pos + 1;
    if (t[p].type == TokenType::LeftBracket) return reportRuntimeErrorText(kArraysNotAvailable, MessageId::SubscriptOnNonAccessible, t[p].column);
    if (t[p].type == TokenType::Member) return reportRuntimeError(MessageId::VariableMustBeObject, t[p].column);
    TokenType op = t[p].type;
    switch (op) {
    case TokenType::Assign: case TokenType::PlusAssign: case TokenType::MinusAssign: case TokenType::MultiplyAssign:
    case TokenType::DivideAssign: case TokenType::ConcatAssign:
        break;
    default: return reportRuntimeError(kExpectedAssign, t[p].column);
    }
    ++p;
    Variant value;
    if (evaluate(t, p, value) < 0 || expectEnd(t, p) < 0) return -1;
    if (!variable) {
        if (op != TokenType::Assign || mustDeclareVars_) return reportRuntimeError(MessageId::VariableNotDeclared, name.column);
        createVariable(name.i32, std::move(value), 0, 0);
        return 0;
    }
    Variant& target = *variable->value;
    switch (op) {
    case TokenType::Assign: target = std::move(value); break;
    case TokenType::PlusAssign: target.add(value); break;
    case TokenType::MinusAssign: target.subtract(value); break;
    case TokenType::MultiplyAssign: target.multiply(value); break;
    case TokenType::DivideAssign: target.divide(value); break;
    default: target.concatenate(value); break;
    }
    return 0;
}

int Engine::declaration(const TokenList& t, size_t pos) {
    Keyword first = static_cast<Keyword>(t[pos].i32);
    const Token& second = t[pos + 1];
    bool isConst = first == Keyword::Const;
    bool isStatic = first == Keyword::Static;
    bool isRedim = first == Keyword::ReDim;
    int scope = first == Keyword::Global ? 2 : first == Keyword::Local ? 1 : 0;
    size_t p = pos + 1;
    if (first == Keyword::Enum) return declareEnum(t, p, scope);
    if (second.type == TokenType::Keyword) {
        Keyword k = static_cast<Keyword>(second.i32);
        if (k == Keyword::Enum && (first != Keyword::Static && !isRedim)) return declareEnum(t, p + 1, scope);
        if (isStatic) {
            if (k == Keyword::Dim) return reportRuntimeError(MessageId::ErrorInExpression, second.column);
            if (k != Keyword::Local && k != Keyword::Global) return reportRuntimeError(kNoVariable, second.column);
            if (k == Keyword::Global) scope = 2;
            ++p;
        } else if (k == Keyword::Const && !isConst && !isRedim) {
            isConst = true;
            ++p;
        } else if (k == Keyword::Static && (first == Keyword::Local || first == Keyword::Global)) {
            isStatic = true;
            ++p;
        } else if (k == Keyword::Static && first == Keyword::Dim) {
            return reportRuntimeError(MessageId::ErrorInExpression, second.column);
        }
    }
    // DIM looks locally then globally; LOCAL only locally (globally at global level); GLOBAL globally.
    const int lookupScope = scope;
    const int createScope = scope == 2 ? 2 : 1;

    for (;;) {
        const Token& name = t[p];
        if (name.type != TokenType::Variable) return reportRuntimeError(kNoVariable, name.column);
        Variable* variable = findInScope(name.i32, lookupScope);
        bool firstExecution = true;
        // LOCAL or GLOBAL of a parameter's name inside its function.
        Variable* parameter = inFunction() && scope != 0 && !isRedim ? findLocal(name.i32) : nullptr;
        bool isParameter = parameter && (parameter->attributes & VarAttribute::Parameter);
        if (isConst) {
            if (variable) return reportRuntimeError(variable->isConstant() ? kRedeclareConstant : kMakeConstant, name.column);
            variable = &createVariable(name.i32, Variant::string(WString()), VarAttribute::Constant, createScope);
        } else if (isStatic) {
            if (variable) return reportRuntimeError(kAlreadyExistsStatic, name.column);
            uint64_t key = static_cast<uint64_t>(currentLine_) << 32 | static_cast<uint32_t>(name.i32);
            auto [it, inserted] = staticStore_.try_emplace(key, nullptr);
            if (inserted) it->second = std::make_unique<Variant>(Variant::string(WString()));
            firstExecution = inserted;
            variable = &createAlias(name.i32, it->second.get(), VarAttribute::Static, createScope);
        } else if (variable) {
            if (variable->isConstant()) return reportRuntimeError(kRedeclareConstant, name.column);
            if ((variable->attributes & VarAttribute::Static) && !isRedim) return reportRuntimeError(kStaticToRegular, name.column);
            if (isParameter) return reportRuntimeError(kRedeclareParameter, name.column);
            if (isRedim && !variable->value->is(VarKind::Array)) return reportRuntimeError(kNotArray, name.column);
        } else {
            if (isRedim) return reportRuntimeError(MessageId::VariableNotDeclared, name.column);
            if (isParameter) return reportRuntimeError(kRedeclareParameter, name.column);
            variable = &createVariable(name.i32, Variant::string(WString()), 0, createScope);
        }
        ++p;
        if (t[p].type == TokenType::LeftBracket) return reportRuntimeErrorText(kArraysNotAvailable, kNoVariable, t[p].column);
        if (t[p].type == TokenType::Assign) {
            if (isRedim) return reportRuntimeError(kRedimInitialised, t[p].column);
            ++p;
            if (t[p].type == TokenType::LeftBracket) return reportRuntimeErrorText(kArraysNotAvailable, kNoVariable, t[p].column);
            if (initializerUses(t, p, name.i32)) return reportRuntimeError(kSelfInitialised, name.column);
            if (firstExecution) {
                *variable->value = Variant::string(WString());
                Variant value;
                if (evaluate(t, p, value) < 0) return -1;
                *variable->value = std::move(value);
            } else {
                for (int depth = 0; t[p].type != TokenType::EndOfLine && !(depth == 0 && t[p].type == TokenType::Comma); ++p) {
                    if (t[p].type == TokenType::LeftParen || t[p].type == TokenType::LeftBracket) ++depth;
                    else if (t[p].type == TokenType::RightParen || t[p].type == TokenType::RightBracket) --depth;
                }
            }
        } else if (isConst) {
            return reportRuntimeError(kExpectedAssign, t[p].column);
        }
        if (t[p].type == TokenType::EndOfLine) return 0;
        if (t[p].type != TokenType::Comma) return reportRuntimeError(kNoVariable, t[p].column);
        ++p;
    }
}

int Engine::declareEnum(const TokenList& t, size_t pos, int scope) {
    enum class Step { Add, Subtract, Multiply } step = Step::Add;
    Variant by = Variant::int32(1);
    Variant counter = Variant::int32(0);
    if (isKeyword(t[pos], Keyword::Step)) {
        ++pos;
        if (t[pos].type == TokenType::Plus || t[pos].type == TokenType::Minus || t[pos].type == TokenType::Multiply) {
            step = t[pos].type == TokenType::Plus ? Step::Add : t[pos].type == TokenType::Minus ? Step::Subtract : Step::Multiply;
            ++pos;
        }
        if (t[pos].type != TokenType::Int32) return reportRuntimeError(kBadEnum, t[pos].column);
        by = Variant::int32(t[pos].i32);
        if (step == Step::Multiply) counter = Variant::int32(1);
        ++pos;
    }
    for (;;) {
        const Token& name = t[pos];
        if (name.type != TokenType::Variable) return reportRuntimeError(kBadEnum, name.column);
        ++pos;
        if (t[pos].type == TokenType::Assign) {
            ++pos;
            if (evaluate(t, pos, counter) < 0) return -1;
        }
        if (findInScope(name.i32, scope)) return reportRuntimeError(kCannotAssignConstant, name.column);
        createVariable(name.i32, counter, VarAttribute::Constant, scope == 2 ? 2 : 1);
        switch (step) {
        case Step::Add: counter.add(by); break;
        case Step::Subtract: counter.subtract(by); break;
        case Step::Multiply: counter.multiply(by); break;
        }
        if (t[pos].type == TokenType::EndOfLine) return 0;
        if (t[pos].type != TokenType::Comma) return reportRuntimeError(kNoVariable, t[pos].column);
        ++pos;
    }
}

} // namespace vexil
