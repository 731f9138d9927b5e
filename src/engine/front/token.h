#pragma once
// The lexical form of a script line: what the expression compiler and the statements walk.
#include "base/wstring.h"

#include <cstdint>
#include <vector>

namespace vexil {

enum class TokenType : int16_t {
    Keyword = 0,   // payload: keyword id
    Builtin = 1,   // payload: index in the built-in table
    Int32 = 5,
    Int64 = 16,
    Double = 32,
    Macro = 50,    // payload: name after "@", upper case; i32 the macro id, -1 for no macro
    Variable = 51, // payload: name after "$", upper case
    UserFunc = 52, // payload: any other word, upper case
    Member = 53,   // payload: name after ".", case kept
    String = 54,
    Comma = 64,
    Assign,
    Greater,
    Less,
    NotEqual,
    GreaterEqual,
    LessEqual,
    LeftParen,
    RightParen,
    Plus,
    Minus,
    Divide,
    Multiply,
    Concat,
    LeftBracket,
    RightBracket,
    StrictEqual,
    Power,
    PlusAssign,
    MinusAssign,
    DivideAssign,
    MultiplyAssign,
    ConcatAssign,
    Question,
    Colon,
    EndOfLine = 127,
};
static_assert(static_cast<int>(TokenType::Colon) == 88);

// The payload a type carries follows from its code.
constexpr bool carriesInt32(int type) { return type >= 0 && type <= 15; }
constexpr bool carriesEightBytes(int type) { return type >= 16 && type <= 47; }
constexpr bool carriesText(int type) { return type >= 48 && type <= 63; }

struct Token {
    union {
        int32_t i32;
        int64_t i64;
        double f64;
    };
    WString text; // shared with the values made from it, so a literal costs no copy
    TokenType type = TokenType::EndOfLine;
    int16_t column = -1; // index of the token's first character in the line text; -1 unknown
    // For the first token of an expression of a loaded line: 0 not compiled yet, else the engine's
    // compiled expression number plus one.
    mutable int32_t compiledExpression = 0;

    Token() : i64(0) {}
    Token(TokenType t, int16_t col) : i64(0), type(t), column(col) {}
};

static_assert(sizeof(Token) == 24, "a token stays three words");

using TokenList = std::vector<Token>;

} // namespace vexil
