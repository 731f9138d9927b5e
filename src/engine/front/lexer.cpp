#include "engine/front/lexer.h"

#include "engine/errors/messages.h"
#include "engine/eval/macros.h"
#include "engine/front/keywords.h"
#include "engine/front/loader.h"

#include <cstdlib>
#include <limits>
#include <string>

namespace vexil {

namespace {

constexpr wchar_t kEndOfFileMark = 26; // Ctrl-Z

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool isLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool isNameChar(wchar_t c) { return isLetter(c) || isDigit(c) || c == L'_'; }
wchar_t upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

int hexValue(wchar_t c) {
    if (isDigit(c)) return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool isOperatorOrPunctuation(TokenType t) {
    int v = static_cast<int>(t);
    return v >= 64 && v <= 95;
}

// Characters that may follow a keyword.
bool endsKeyword(std::wstring_view text, size_t at) {
    if (at >= text.size()) return true;
    switch (text[at]) {
    case L' ': case L'\t': case L'(': case L')': case L',': case L'=': case L']':
        return true;
    default:
        return false;
    }
}

// Operators of one character, and the compound form that an "=" after them makes.
struct OperatorChar {
    wchar_t c;
    TokenType single;
    TokenType withEquals; // EndOfLine: no compound form
};
constexpr OperatorChar kOperators[] = {
    {L'+', TokenType::Plus, TokenType::PlusAssign},
    {L'-', TokenType::Minus, TokenType::MinusAssign},
    {L'*', TokenType::Multiply, TokenType::MultiplyAssign},
    {L'/', TokenType::Divide, TokenType::DivideAssign},
    {L'&', TokenType::Concat, TokenType::ConcatAssign},
    {L'=', TokenType::Assign, TokenType::StrictEqual},
    {L'>', TokenType::Greater, TokenType::GreaterEqual},
    {L'(', TokenType::LeftParen, TokenType::EndOfLine},
    {L')', TokenType::RightParen, TokenType::EndOfLine},
    {L',', TokenType::Comma, TokenType::EndOfLine},
    {L':', TokenType::Colon, TokenType::EndOfLine},
    {L'?', TokenType::Question, TokenType::EndOfLine},
    {L'[', TokenType::LeftBracket, TokenType::EndOfLine},
    {L']', TokenType::RightBracket, TokenType::EndOfLine},
    {L'^', TokenType::Power, TokenType::EndOfLine},
};

const OperatorChar* findOperator(wchar_t c) {
    for (const auto& op : kOperators)
        if (op.c == c) return &op;
    return nullptr;
}

class LineLexer {
public:
    LineLexer(std::wstring_view text, bool lastLine, LoaderHost& host, TokenList& tokens, LexicalError& error)
        : text_(text), lastLine_(lastLine), host_(host), tokens_(tokens), error_(error) {}

    bool run() {
        tokens_.clear();
        const size_t n = text_.size();
        while (true) {
            while (p_ < n && (text_[p_] == L' ' || text_[p_] == L'\t')) ++p_;
            if (p_ >= n) break;
            if (!next()) {
                tokens_.emplace_back(TokenType::EndOfLine, column(n));
                return false;
            }
        }
        tokens_.emplace_back(TokenType::EndOfLine, column(n));
        return true;
    }

private:
    static int16_t column(size_t at) {
        return static_cast<int16_t>(at > 32767 ? 32767 : at);
    }

    bool fail(MessageId::Id messageId, size_t at) {
        error_.messageId = messageId;
        error_.column = column(at);
        return false;
    }

    TokenType previousType() const { return tokens_.empty() ? TokenType::Comma : tokens_.back().type; }

    bool next() {
        wchar_t c = text_[p_];
        if (isDigit(c) || c == L'.') return numberOrMember();
        if (isLetter(c) || c == L'_') return word();
        if (c == kEndOfFileMark) {
            if (lastLine_ && p_ == 0 && text_.size() == 1) {
                ++p_;
                return true;
            }
            return fail(MessageId::UnableToParseLine, p_);
        }
        if (c == L'"' || c == L'\'') return string();
        if (c == L'$' || c == L'@') return variableOrMacro();
        if (c == L'<') {
            wchar_t d = p_ + 1 < text_.size() ? text_[p_ + 1] : 0;
            TokenType t = d == L'=' ? TokenType::LessEqual : d == L'>' ? TokenType::NotEqual : TokenType::Less;
            push(t, t == TokenType::Less ? 1 : 2);
            return true;
        }
        if (const OperatorChar* op = findOperator(c)) {
            bool compound = op->withEquals != TokenType::EndOfLine && p_ + 1 < text_.size() && text_[p_ + 1] == L'=';
            push(compound ? op->withEquals : op->single, compound ? 2 : 1);
            return true;
        }
        return fail(MessageId::UnableToParseLine, p_);
    }

    void push(TokenType type, size_t length) {
        tokens_.emplace_back(type, column(p_));
        p_ += length;
    }

    bool numberOrMember() {
        size_t start = p_;
        TokenType previous = previousType();
        Token token(TokenType::Int32, column(start));
        size_t end = 0, failAt = start;
        if (number(start, previous, token, end, failAt)) {
            if (token.type == TokenType::Int32 && previous == TokenType::Minus) {
                token.i32 = static_cast<int32_t>(0u - static_cast<uint32_t>(token.i32));
                tokens_.back().type = TokenType::Plus;
            }
            tokens_.push_back(std::move(token));
            p_ = end;
            return true;
        }
        if (text_[start] == L'.') return member();
        return fail(MessageId::UnableToParseLine, failAt);
    }

    // The number at `start`, its end in `end`; false when the text there is no number, with the
    // column to report in `failAt` when it is a malformed one.
    bool number(size_t start, TokenType previous, Token& token, size_t& end, size_t& failAt) const {
        if (isMemberDot(start, previous)) return false;
        if (isHexPrefix(start)) return hexNumber(start, token, end);
        bool fraction = false, exponent = false;
        size_t q = start;
        if (!decimalEnd(q, fraction, exponent, failAt)) return false;
        const size_t n = text_.size();
        if (q < n && ((isLetter(text_[q]) && upper(text_[q]) != L'E') || text_[q] == L'_')) return false;
        end = q;
        std::wstring_view digits = text_.substr(start, q - start);
        if (!fraction && !exponent) {
            integerValue(digits, previous, token);
            return true;
        }
        if (digits == L".") return false;
        std::wstring copy(digits);
        token.type = TokenType::Double;
        token.f64 = std::wcstod(copy.c_str(), nullptr);
        return true;
    }

    // A lone "." after a variable or at the line's start is member access ($obj.name, .name in With).
    bool isMemberDot(size_t start, TokenType previous) const {
        return text_[start] == L'.' && !(start + 1 < text_.size() && isDigit(text_[start + 1])) &&
               (previous == TokenType::Variable || start == 0);
    }

    bool isHexPrefix(size_t start) const {
        return text_[start] == L'0' && start + 1 < text_.size() && (text_[start + 1] == L'x' || text_[start + 1] == L'X');
    }

    // 0x and up to 16 hex digits: 32 bits for up to 8 digits, 64 bits beyond.
    bool hexNumber(size_t start, Token& token, size_t& end) const {
        uint64_t value = 0;
        int digits = 0;
        size_t q = start + 2;
        for (; q < text_.size() && hexValue(text_[q]) >= 0; ++q) {
            if (++digits > 16) return false;
            value = value << 4 | static_cast<uint64_t>(hexValue(text_[q]));
        }
        if (digits <= 8) {
            token.type = TokenType::Int32;
            token.i32 = static_cast<int32_t>(static_cast<uint32_t>(value));
        } else {
            token.type = TokenType::Int64;
            token.i64 = static_cast<int64_t>(value);
        }
        end = q;
        return true;
    }

    // Moves `q` past digits with at most one "." and an optional exponent; false (with `failAt`)
    // when an exponent has no digits.
    bool decimalEnd(size_t& q, bool& fraction, bool& exponent, size_t& failAt) const {
        const size_t n = text_.size();
        while (q < n) {
            wchar_t c = text_[q];
            if (isDigit(c)) {
                ++q;
            } else if (c == L'.' && !fraction) {
                fraction = true;
                ++q;
            } else if (c == L'e' || c == L'E') {
                size_t r = q + 1;
                if (r < n && (text_[r] == L'+' || text_[r] == L'-')) ++r;
                if (r >= n || !isDigit(text_[r])) {
                    failAt = r;
                    return false;
                }
                while (r < n && isDigit(text_[r])) ++r;
                q = r;
                exponent = true;
                break;
            } else {
                break;
            }
        }
        return true;
    }

    // Decimal digits: 32 bits when they fit (2147483648 too after a minus, which folds into it),
    // 64 bits otherwise, the largest 64-bit value past that.
    static void integerValue(std::wstring_view digits, TokenType previous, Token& token) {
        int64_t value = 0;
        for (wchar_t c : digits) {
            int d = c - L'0';
            if (value > (std::numeric_limits<int64_t>::max() - d) / 10) {
                value = std::numeric_limits<int64_t>::max();
                break;
            }
            value = value * 10 + d;
        }
        if (value <= 2147483647 || (value == 2147483648 && previous == TokenType::Minus)) {
            token.type = TokenType::Int32;
            token.i32 = static_cast<int32_t>(static_cast<uint32_t>(value)); // 2147483648 wraps, then is negated
        } else {
            token.type = TokenType::Int64;
            token.i64 = value;
        }
    }

    bool member() {
        size_t start = p_;
        size_t q = start + 1;
        while (q < text_.size() && (isNameChar(text_[q]) || text_[q] > 127)) ++q;
        if (q == start + 1) return fail(MessageId::BadVariableOrMacro, start);
        Token token(TokenType::Member, column(start));
        token.text = host_.intern(text_.substr(start + 1, q - start - 1)).text;
        tokens_.push_back(std::move(token));
        p_ = q;
        return true;
    }

    bool word() {
        size_t start = p_;
        size_t q = start;
        while (q < text_.size() && isNameChar(text_[q])) ++q;
        p_ = q;
        // Keywords and built-in names are short: look them up without building a string.
        constexpr size_t kShort = 40;
        wchar_t buffer[kShort];
        size_t length = q - start;
        if (length <= kShort) {
            for (size_t i = 0; i < length; ++i) buffer[i] = upper(text_[start + i]);
            std::wstring_view name(buffer, length);
            int keyword = findKeyword(name);
            if (keyword > 0) {
                if (!endsKeyword(text_, q)) return fail(MessageId::MissingKeywordSeparator, q);
                Token token(TokenType::Keyword, column(start));
                token.i32 = keyword;
                tokens_.push_back(std::move(token));
                return true;
            }
            int builtin = host_.findBuiltin(name);
            if (builtin >= 0) {
                Token token(TokenType::Builtin, column(start));
                token.i32 = builtin;
                tokens_.push_back(std::move(token));
                return true;
            }
        }
        Token token(TokenType::UserFunc, column(start));
        scratch_.resize(length);
        for (size_t i = 0; i < length; ++i) scratch_[i] = upper(text_[start + i]);
        const NamePool::Name& pooled = host_.intern(scratch_);
        token.text = pooled.text;
        token.i32 = pooled.id;
        tokens_.push_back(std::move(token));
        return true;
    }

    bool string() {
        size_t start = p_;
        wchar_t quote = text_[start];
        Token token(TokenType::String, column(start));
        scratch_.clear();
        size_t q = start + 1;
        for (;;) {
            size_t close = text_.find(quote, q);
            if (close == std::wstring_view::npos) return fail(MessageId::StringMissingQuote, start);
            scratch_.append(text_.substr(q, close - q));
            if (close + 1 < text_.size() && text_[close + 1] == quote) { // a doubled quote stands for one
                scratch_ += quote;
                q = close + 2;
                continue;
            }
            p_ = close + 1;
            break;
        }
        token.text = host_.intern(scratch_).text;
        tokens_.push_back(std::move(token));
        return true;
    }

    // A variable or macro may follow nothing, a keyword, an operator or punctuation, or the
    // number of an "Enum Step n" / "Enum Step *n".
    bool sigilAllowed() const {
        if (tokens_.empty()) return true;
        TokenType previous = tokens_.back().type;
        if (previous == TokenType::Keyword || isOperatorOrPunctuation(previous)) return true;
        if (previous != TokenType::Int32 || tokens_.size() < 3) return false;
        size_t k = tokens_.size() - 2;
        TokenType before = tokens_[k].type;
        if (before == TokenType::Plus || before == TokenType::Minus || before == TokenType::Multiply) {
            if (k == 0) return false;
            --k;
        }
        return k >= 1 && tokens_[k].type == TokenType::Keyword && tokens_[k - 1].type == TokenType::Keyword;
    }

    bool variableOrMacro() {
        size_t start = p_;
        if (!sigilAllowed()) return fail(MessageId::BadVariableOrMacro, start);
        size_t q = start + 1;
        while (q < text_.size() && isNameChar(text_[q])) ++q;
        if (q == start + 1) return fail(MessageId::BadVariableOrMacro, start);
        Token token(text_[start] == L'$' ? TokenType::Variable : TokenType::Macro, column(start));
        scratch_.resize(q - start - 1);
        for (size_t i = 0; i < scratch_.size(); ++i) scratch_[i] = upper(text_[start + 1 + i]);
        const NamePool::Name& pooled = host_.intern(scratch_); // variables are found by the name's id
        token.text = pooled.text;
        token.i32 = token.type == TokenType::Macro ? findMacro(scratch_) : pooled.id;
        tokens_.push_back(std::move(token));
        p_ = q;
        return true;
    }

    std::wstring_view text_;
    bool lastLine_;
    LoaderHost& host_;
    std::wstring scratch_; // upper-cased names and unquoted strings before they are pooled
    TokenList& tokens_;
    LexicalError& error_;
    size_t p_ = 0;
};

} // namespace

bool tokeniseLine(std::wstring_view text, bool lastLine, LoaderHost& host, TokenList& tokens,
                  LexicalError& error) {
    return LineLexer(text, lastLine, host, tokens, error).run();
}

} // namespace vexil
