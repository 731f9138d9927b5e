#pragma once
// Walking a line's tokens with its parentheses and brackets counted: the scans that find where a
// call's arguments, an initializer or a subscript end without evaluating them.
#include "engine/front/token.h"

#include <cstddef>

namespace vexil {

// Which pairs a scan's depth counts: parentheses, brackets, or both together (there "(" and "]"
// balance each other).
enum class Nesting { Parens, Brackets, Both };

class TokenCursor {
public:
    TokenCursor(const TokenList& tokens, size_t pos) : t_(tokens), pos_(pos) {}

    size_t position() const { return pos_; }
    TokenType type() const { return t_[pos_].type; }
    bool atEndOfLine() const { return type() == TokenType::EndOfLine; }

    // Pairs opened since the start and not yet closed; negative once the scan closed pairs that
    // opened before its start.
    int depth(Nesting nesting) const {
        switch (nesting) {
        case Nesting::Parens: return parens_;
        case Nesting::Brackets: return brackets_;
        case Nesting::Both: break;
        }
        return parens_ + brackets_;
    }
    bool atTopLevel() const { return parens_ == 0 && brackets_ == 0; }
    // Whether the token here closes a parenthesis or bracket that opened before the start.
    bool closesOuter() const {
        return (type() == TokenType::RightParen && parens_ == 0) ||
               (type() == TokenType::RightBracket && brackets_ == 0);
    }

    // Steps past the token here, counting it when it opens or closes a pair.
    void step() {
        count();
        ++pos_;
    }

    // From the "(" or "[" at the start: moves to the token that closes it, or to the end of the
    // line when nothing does.
    size_t toClosing(Nesting nesting) {
        for (; !atEndOfLine(); ++pos_) {
            count();
            if (closes(nesting) && depth(nesting) == 0) break;
        }
        return pos_;
    }

    // Moves to the first token at depth zero that `stops(type)` accepts, or to the end of the line.
    template <class Stop>
    size_t toItemEnd(Nesting nesting, Stop stops) {
        for (; !atEndOfLine() && !(depth(nesting) == 0 && stops(type())); ++pos_) count();
        return pos_;
    }

private:
    void count() {
        switch (type()) {
        case TokenType::LeftParen: ++parens_; break;
        case TokenType::RightParen: --parens_; break;
        case TokenType::LeftBracket: ++brackets_; break;
        case TokenType::RightBracket: --brackets_; break;
        default: break;
        }
    }
    bool closes(Nesting nesting) const {
        TokenType here = type();
        return (here == TokenType::RightParen && nesting != Nesting::Brackets) ||
               (here == TokenType::RightBracket && nesting != Nesting::Parens);
    }

    const TokenList& t_;
    size_t pos_;
    int parens_ = 0;
    int brackets_ = 0;
};

// The ")" that closes the "(" at `open`, or the end of the line when none does.
inline size_t closingParenthesis(const TokenList& tokens, size_t open) {
    return TokenCursor(tokens, open).toClosing(Nesting::Parens);
}

// Stops of `toItemEnd`: the end of an item in a list, and of an argument in a parenthesised one.
inline bool isComma(TokenType type) { return type == TokenType::Comma; }
inline bool endsArgument(TokenType type) { return type == TokenType::Comma || type == TokenType::RightParen; }

} // namespace vexil
