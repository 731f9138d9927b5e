// Compiled declarations: DIM, LOCAL, GLOBAL, CONST, STATIC, REDIM and ENUM with their names,
// dimensions and initializers in the code's lists (code.h). They run through the same binding,
// shaping and checks as the token form (declarations.cpp, declared_arrays.cpp); a declaration
// whose tokens would fail, or whose expressions the compiler does not take, stays a Tokens
// statement.
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/expression_compiler.h"
#include "engine/exec/declaration_tokens.h"
#include "engine/front/keywords.h"
#include "engine/values/containers.h"

namespace vexil {

namespace {

// One declared name in `lists`: its name id, column, what its initializer is (below) and its
// expression node or literal, the count of its dimensions and their size nodes (-1: "[]").
enum DeclaredItem : size_t { ItemName, ItemColumn, ItemInitializer, ItemOperand, ItemDimensionCount, ItemDimensions };
constexpr int32_t kNoInitializer = 0;
constexpr int32_t kInitializerExpression = 1;
constexpr int32_t kInitializerLiteral = 2;
constexpr int32_t kSelfInitialised = 3; // fails before anything of the initializer is read

// An array literal initializer in `lists`: its top level, then the item counts per nesting level
// (their number first). A level is its item count and per item a node, or -1 - the index of a
// nested level, with the item's column.
enum LiteralEntry : size_t { LiteralTop, LiteralLevels, LiteralCounts };

// ENUM statements' op: the scope, then the step.
constexpr int kEnumStepShift = 2;

// The expression at `p` when it ends where a declaration's item ends: at a comma or the line's end.
int32_t itemExpression(Code& code, const TokenList& t, size_t& p, const CompileScope& scope) {
    const int32_t root = compileExpression(code, t, p, -1, scope);
    return root >= 0 && (t[p].type == TokenType::Comma || t[p].type == TokenType::EndOfLine) ? root : -1;
}

// One level of an array literal at `p` (its "["), read as the token form fills it; -1 when it is
// malformed.
int32_t compileLiteralLevel(Code& code, const TokenList& t, size_t& p, const CompileScope& scope) {
    std::vector<int32_t> items;
    ++p; // past "["
    while (t[p].type != TokenType::RightBracket) {
        if (t[p].type == TokenType::EndOfLine) return -1;
        const int column = t[p].column;
        int32_t item;
        if (t[p].type == TokenType::LeftBracket) {
            const int32_t nested = compileLiteralLevel(code, t, p, scope);
            if (nested < 0) return -1;
            item = -1 - nested;
        } else {
            item = compileExpression(code, t, p, -1, scope);
            if (item < 0) return -1;
        }
        items.push_back(item);
        items.push_back(column);
        if (t[p].type == TokenType::Comma) ++p;
        else if (t[p].type != TokenType::RightBracket) return -1;
    }
    ++p; // past "]"
    const int32_t level = static_cast<int32_t>(code.lists.size());
    code.lists.push_back(static_cast<int32_t>(items.size() / 2));
    code.lists.insert(code.lists.end(), items.begin(), items.end());
    return level;
}

int32_t compileLiteral(Code& code, const TokenList& t, size_t& p, const CompileScope& scope) {
    const std::vector<int32_t> counts = measureArrayLiteral(t, p);
    const int32_t top = compileLiteralLevel(code, t, p, scope);
    if (top < 0) return -1;
    const int32_t literal = static_cast<int32_t>(code.lists.size());
    code.lists.push_back(top);
    code.lists.push_back(static_cast<int32_t>(counts.size()));
    code.lists.insert(code.lists.end(), counts.begin(), counts.end());
    return literal;
}

} // namespace

Statement Engine::compileDeclaration(const TokenList& t, size_t pos, const CompileScope& scope) {
    Statement s;
    s.column = t[pos].column;
    s.a = static_cast<int32_t>(pos);
    const Statement tokens = s;
    const DeclarationHead head = readDeclarationHead(t, pos);
    if (head.failed) {
        s.kind = StatementKind::Fail;
        s.a = head.error;
        s.column = static_cast<int16_t>(head.errorColumn);
        return s;
    }
    if (head.isEnum) {
        const Statement compiled = compileEnum(t, head.names, head.form.scope, scope);
        return compiled.kind == StatementKind::Enum ? compiled : tokens;
    }
    const DeclarationForm& form = head.form;
    // Items go to the lists once the whole line has compiled: their expressions add entries too.
    std::vector<int32_t> items;
    int32_t count = 0;
    for (size_t p = head.names;; ++p) {
        const Token& name = t[p];
        if (name.type != TokenType::Variable) return tokens;
        ++p;
        std::vector<int32_t> dimensions;
        while (t[p].type == TokenType::LeftBracket) {
            if (dimensions.size() == kMaxDimensions) return tokens;
            ++p;
            int32_t size = -1;
            if (t[p].type != TokenType::RightBracket) {
                size = compileExpression(code_, t, p, -1, scope);
                if (size < 0 || t[p].type != TokenType::RightBracket) return tokens;
            }
            ++p;
            dimensions.push_back(size);
        }
        int32_t initializer = kNoInitializer, operand = -1;
        if (t[p].type == TokenType::Assign) {
            if (form.isRedim) return tokens;
            ++p;
            if (initializerUses(t, p, name.i32)) {
                initializer = kSelfInitialised;
                p = initializerEnd(t, p);
            } else if (t[p].type == TokenType::LeftBracket) {
                initializer = kInitializerLiteral;
                operand = compileLiteral(code_, t, p, scope);
            } else {
                initializer = kInitializerExpression;
                operand = itemExpression(code_, t, p, scope);
            }
            if (initializer != kSelfInitialised && operand < 0) return tokens;
        } else if (form.isConst) {
            return tokens;
        }
        items.insert(items.end(), {name.i32, name.column, initializer, operand, static_cast<int32_t>(dimensions.size())});
        items.insert(items.end(), dimensions.begin(), dimensions.end());
        ++count;
        if (t[p].type == TokenType::EndOfLine) break;
        if (t[p].type != TokenType::Comma) return tokens;
    }
    s.kind = StatementKind::Declare;
    s.op = form.packed();
    s.a = static_cast<int32_t>(code_.lists.size());
    s.b = count;
    code_.lists.insert(code_.lists.end(), items.begin(), items.end());
    return s;
}

int Engine::runDeclare(const Statement& s) {
    const DeclarationForm form = DeclarationForm::unpacked(s.op);
    size_t at = static_cast<size_t>(s.a);
    for (int32_t i = 0; i < s.b; ++i) {
        // Entries are read by index: evaluations may compile expressions and grow the lists.
        const int32_t column = code_.lists[at + ItemColumn];
        const int32_t dimensionCount = code_.lists[at + ItemDimensionCount];
        const size_t item = at;
        at += ItemDimensions + static_cast<size_t>(dimensionCount);
        Variable* variable = nullptr;
        bool firstExecution = true;
        if (bindDeclared(code_.lists[item + ItemName], column, form, variable, firstExecution) < 0) return -1;
        Dimensions dims;
        for (int32_t d = 0; d < dimensionCount; ++d) {
            const int32_t sizeNode = code_.lists[item + ItemDimensions + static_cast<size_t>(d)];
            Variant size;
            if (sizeNode >= 0 && evalNode(sizeNode, size) < 0) return -1;
            dims.add(sizeNode >= 0 ? &size : nullptr);
        }
        const int32_t initializer = code_.lists[item + ItemInitializer];
        if (shapeDeclared(*variable, dims, form, initializer != kNoInitializer, firstExecution, column) < 0) return -1;
        if (initializer == kSelfInitialised) return reportRuntimeError(MessageId::SelfInitialised, column);
        if (initializer == kNoInitializer || !firstExecution) continue;
        const int32_t operand = code_.lists[item + ItemOperand];
        if (initializer == kInitializerLiteral) {
            const size_t literal = static_cast<size_t>(operand);
            const int32_t* counts = &code_.lists[literal + LiteralCounts];
            if (shapeArray(*variable->value, dims, counts, static_cast<size_t>(code_.lists[literal + LiteralLevels]), column) < 0)
                return -1;
            int32_t subscripts[kMaxDimensions] = {};
            if (fillCompiledLiteral(code_.lists[literal + LiteralTop], *variable->value, 0, subscripts) < 0) return -1;
            continue;
        }
        if (clearForInitializer(*variable, dims, column) < 0) return -1;
        Variant value;
        if (evalNode(operand, value) < 0) return -1;
        *variable->value = std::move(value);
    }
    return 0;
}

int Engine::fillCompiledLiteral(int32_t level, Variant& array, int depth, int32_t* subscripts) {
    ArrayBody* body = writableArray(array);
    const int32_t count = code_.lists[static_cast<size_t>(level)];
    for (int32_t index = 0; index < count; ++index) {
        const size_t at = static_cast<size_t>(level) + 1 + 2 * static_cast<size_t>(index);
        const int32_t item = code_.lists[at];
        const bool nested = item < 0;
        if (literalItemFits(*body, depth, index, nested, code_.lists[at + 1]) < 0) return -1;
        subscripts[depth] = index;
        if (nested) {
            if (fillCompiledLiteral(-1 - item, array, depth + 1, subscripts) < 0) return -1;
            continue;
        }
        Variant value;
        if (evalNode(item, value) < 0) return -1;
        *arrayElement(writableArray(array), subscripts, body->dims) = std::move(value);
    }
    return 0;
}

// The ENUM whose names (or STEP) begin at `pos`; a Tokens statement when it does not compile.
Statement Engine::compileEnum(const TokenList& t, size_t pos, Scope scope, const CompileScope& compileScope) {
    const Statement tokens;
    Statement s;
    s.column = t[pos].column;
    EnumStep step = EnumStep::Add;
    int32_t by = 1;
    size_t p = pos;
    if (isKeyword(t[p], Keyword::Step)) {
        ++p;
        const TokenType sign = t[p].type;
        if (sign == TokenType::Plus || sign == TokenType::Minus || sign == TokenType::Multiply) {
            step = sign == TokenType::Plus ? EnumStep::Add : sign == TokenType::Minus ? EnumStep::Subtract : EnumStep::Multiply;
            ++p;
        }
        if (t[p].type != TokenType::Int32) return tokens;
        by = t[p].i32;
        ++p;
    }
    std::vector<int32_t> names;
    for (;; ++p) {
        const Token& name = t[p];
        if (name.type != TokenType::Variable) return tokens;
        ++p;
        int32_t value = -1;
        if (t[p].type == TokenType::Assign) {
            ++p;
            value = itemExpression(code_, t, p, compileScope);
            if (value < 0) return tokens;
        }
        names.insert(names.end(), {name.i32, name.column, value});
        if (t[p].type == TokenType::EndOfLine) break;
        if (t[p].type != TokenType::Comma) return tokens;
    }
    s.kind = StatementKind::Enum;
    s.op = static_cast<uint8_t>(static_cast<int>(scope) | static_cast<int>(step) << kEnumStepShift);
    s.a = static_cast<int32_t>(code_.lists.size());
    s.b = static_cast<int32_t>(names.size() / 3);
    s.c = by;
    code_.lists.insert(code_.lists.end(), names.begin(), names.end());
    return s;
}

int Engine::runEnum(const Statement& s) {
    const Scope scope = static_cast<Scope>(s.op & ((1 << kEnumStepShift) - 1));
    const EnumStep step = static_cast<EnumStep>(s.op >> kEnumStepShift);
    const Variant by = Variant::int32(s.c);
    Variant counter = Variant::int32(step == EnumStep::Multiply ? 1 : 0);
    for (int32_t i = 0; i < s.b; ++i) {
        const size_t at = static_cast<size_t>(s.a + 3 * i);
        const int32_t value = code_.lists[at + 2];
        if (value >= 0 && evalNode(value, counter) < 0) return -1;
        if (declareEnumName(code_.lists[at], code_.lists[at + 1], scope, counter, step, by) < 0) return -1;
    }
    return 0;
}

} // namespace vexil
