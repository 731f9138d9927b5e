// The token cursor behind the scans that skip arguments, initializers and subscripts: where each
// kind of scan stops, closed or not. Lines are written one character a token: ( ) [ ] , and x
// for any other token; the end of the line follows the last one.
#include "engine/front/token_cursor.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexil;

namespace {

TokenList line(const std::string& text) {
    TokenList tokens;
    for (char c : text) {
        TokenType type = c == '(' ? TokenType::LeftParen : c == ')' ? TokenType::RightParen
                       : c == '[' ? TokenType::LeftBracket : c == ']' ? TokenType::RightBracket
                       : c == ',' ? TokenType::Comma : TokenType::Int32;
        tokens.emplace_back(type, static_cast<int16_t>(tokens.size()));
    }
    tokens.emplace_back(TokenType::EndOfLine, static_cast<int16_t>(tokens.size()));
    return tokens;
}

} // namespace

TEST(TokenCursor, ToClosingStopsAtThePartnerOrTheEndOfTheLine) {
    struct Case {
        const char* text;
        Nesting nesting;
        size_t stop;
    };
    const Case cases[] = {
        {"(x(x)x)x", Nesting::Parens, 6},
        {"(x(x)", Nesting::Parens, 5},   // unclosed: the end of the line
        {"(]x)", Nesting::Parens, 3},    // brackets do not count
        {"[x[x]]x", Nesting::Brackets, 5},
        {"[x(]", Nesting::Brackets, 3},
        {"[x", Nesting::Brackets, 2},
        {"(x]x)", Nesting::Both, 2},     // both together: "]" balances "("
        {"([)", Nesting::Both, 3},
        {"[x(x)]", Nesting::Both, 5},
    };
    for (const Case& c : cases) {
        TokenList t = line(c.text);
        EXPECT_EQ(TokenCursor(t, 0).toClosing(c.nesting), c.stop) << c.text;
    }
    TokenList call = line("x(x,(x))");
    EXPECT_EQ(closingParenthesis(call, 1), 7u);
}

TEST(TokenCursor, ToItemEndStopsAtDepthZeroOnly) {
    struct Case {
        const char* text;
        Nesting nesting;
        bool (*stops)(TokenType);
        size_t stop;
    };
    const Case cases[] = {
        {"x(x,x),x", Nesting::Both, isComma, 6},
        {"x[x,(x)],x", Nesting::Both, isComma, 8},
        {"x),x", Nesting::Both, isComma, 4},          // below zero after ")": no comma stops it
        {"xxx", Nesting::Both, isComma, 3},
        {"x(x,x)x,x", Nesting::Parens, endsArgument, 7},
        {"x(x)x)", Nesting::Parens, endsArgument, 5}, // the ")" of an enclosing call
        {"x[x,x]", Nesting::Parens, endsArgument, 3}, // brackets do not count
        {"x(x", Nesting::Parens, endsArgument, 3},
    };
    for (const Case& c : cases) {
        TokenList t = line(c.text);
        EXPECT_EQ(TokenCursor(t, 0).toItemEnd(c.nesting, c.stops), c.stop) << c.text;
    }
}

TEST(TokenCursor, StepsCountEachKindOfPair) {
    TokenList t = line("([)x]");
    TokenCursor cursor(t, 0);
    cursor.step();
    cursor.step();
    EXPECT_EQ(cursor.depth(Nesting::Parens), 1);
    EXPECT_EQ(cursor.depth(Nesting::Brackets), 1);
    EXPECT_FALSE(cursor.closesOuter());
    cursor.step();
    cursor.step();
    EXPECT_FALSE(cursor.atTopLevel());
    EXPECT_EQ(cursor.depth(Nesting::Both), 1);
    cursor.step();
    EXPECT_TRUE(cursor.atTopLevel());
    EXPECT_TRUE(cursor.atEndOfLine());
    TokenList outer = line(")");
    EXPECT_TRUE(TokenCursor(outer, 0).closesOuter());
}
