#include "engine/front/keywords.h"
#include "engine/front/lexer.h"
#include "engine/front/loader.h"
#include "engine/values/name_pool.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace vexil;
// Windows headers have a TokenType of their own.
using TT = vexil::TokenType;

namespace {

class Host final : public LoaderHost {
public:
    // Two names stand in for the built-in table.
    int findBuiltin(std::wstring_view name) const override {
        if (name == L"ABS") return 0;
        if (name == L"STRINGLEN") return 1;
        return -1;
    }
    void registerStartFunction(std::wstring) override {}
    const NamePool::Name& intern(std::wstring_view text) override { return names.intern(text); }
    NamePool names;
};

// A compact picture of a token list: "Variable:X Plus Int32:-5 EndOfLine@8".
std::string describe(const TokenList& tokens) {
    std::ostringstream out;
    for (const Token& t : tokens) {
        if (&t != &tokens.front()) out << ' ';
        int type = static_cast<int>(t.type);
        switch (t.type) {
        case TT::Keyword: out << "Keyword:" << kKeywordNames[t.i32].size() << ':'; for (wchar_t c : kKeywordNames[t.i32]) out << char(c); break;
        case TT::Builtin: out << "Builtin:" << t.i32; break;
        case TT::Int32: out << "Int32:" << t.i32; break;
        case TT::Int64: out << "Int64:" << t.i64; break;
        case TT::Double: out << "Double:" << t.f64; break;
        case TT::EndOfLine: out << "EndOfLine@" << t.column; break;
        default:
            if (carriesText(type)) {
                static const char* names[] = {"Macro", "Variable", "UserFunc", "Member", "String"};
                out << names[type - 50] << ':';
                for (wchar_t c : t.text.view()) out << (c < 128 ? char(c) : '?');
            } else {
                static const char* ops[] = {"Comma", "Assign", "Greater", "Less", "NotEqual", "GreaterEqual",
                                            "LessEqual", "LeftParen", "RightParen", "Plus", "Minus", "Divide",
                                            "Multiply", "Concat", "LeftBracket", "RightBracket", "StrictEqual",
                                            "Power", "PlusAssign", "MinusAssign", "DivideAssign",
                                            "MultiplyAssign", "ConcatAssign", "Question", "Colon"};
                out << ops[type - 64];
            }
        }
    }
    return out.str();
}

struct Lexed {
    TokenList tokens;
    LexicalError error;
    bool ok;
    Lexed(std::wstring_view text, bool last = false) {
        Host host;
        ok = tokeniseLine(text, last, host, tokens, error);
    }
};

} // namespace

TEST(Lexer, TokensOfValidLines) {
    struct Case {
        const wchar_t* text;
        const char* tokens;
    };
    const Case cases[] = {
        {L"$x - 5", "Variable:X Plus Int32:-5 EndOfLine@6"},
        {L"$x - 5.0", "Variable:X Minus Double:5 EndOfLine@8"},
        {L"-2147483648", "Plus Int32:-2147483648 EndOfLine@11"},
        {L"2147483648", "Int64:2147483648 EndOfLine@10"},
        {L"2147483647", "Int32:2147483647 EndOfLine@10"},
        {L"99999999999999999999", "Int64:9223372036854775807 EndOfLine@20"},
        {L"0x7FFFFFFF", "Int32:2147483647 EndOfLine@10"},
        {L"0xFFFFFFFF", "Int32:-1 EndOfLine@10"},
        {L"0x100000000", "Int64:4294967296 EndOfLine@11"},
        {L"0xFFFFFFFFFFFFFFFF", "Int64:-1 EndOfLine@18"},
        {L"0x ", "Int32:0 EndOfLine@3"},
        {L"-0x10", "Plus Int32:-16 EndOfLine@5"},
        {L"1.", "Double:1 EndOfLine@2"},
        {L".5", "Double:0.5 EndOfLine@2"},
        {L"1e3 1E+3 2.5e-3", "Double:1000 Double:1000 Double:0.0025 EndOfLine@15"},
        {L"1e5+3", "Double:100000 Plus Int32:3 EndOfLine@5"},
        {L"1.2.3", "Double:1.2 Double:0.3 EndOfLine@5"},
        {L"'it''s' \"say 'x'\"", "String:it's String:say 'x' EndOfLine@17"},
        {L"\"a\"\"b\" ''", "String:a\"b String: EndOfLine@9"},
        {L"If(", "Keyword:2:IF LeftParen EndOfLine@3"},
        {L"x EndIf", "UserFunc:X Keyword:5:ENDIF EndOfLine@7"},
        {L"$obj.Name .Other", "Variable:OBJ Member:Name Member:Other EndOfLine@16"},
        {L"abs ABS Abs stringLen myFunc", "Builtin:0 Builtin:0 Builtin:0 Builtin:1 UserFunc:MYFUNC EndOfLine@28"},
        {L"@crlf, $_a1, $1x", "Macro:CRLF Comma Variable:_A1 Comma Variable:1X EndOfLine@16"},
        {L"f(1) $a", "UserFunc:F LeftParen Int32:1 RightParen Variable:A EndOfLine@7"},
        {L"a<=b<>c<d>=e>f=g==h", "UserFunc:A LessEqual UserFunc:B NotEqual UserFunc:C Less UserFunc:D GreaterEqual "
                                 "UserFunc:E Greater UserFunc:F Assign UserFunc:G StrictEqual UserFunc:H EndOfLine@19"},
        {L"+= -= *= /= &= + - * / & ^ ( ) [ ] , ? :",
         "PlusAssign MinusAssign MultiplyAssign DivideAssign ConcatAssign Plus Minus Multiply Divide Concat Power "
         "LeftParen RightParen LeftBracket RightBracket Comma Question Colon EndOfLine@40"},
        {L"Enum Step 2 $a", "Keyword:4:ENUM Keyword:4:STEP Int32:2 Variable:A EndOfLine@14"},
        {L"Enum Step *2 $a", "Keyword:4:ENUM Keyword:4:STEP Multiply Int32:2 Variable:A EndOfLine@15"},
        {L"Enum Step -2 $a", "Keyword:4:ENUM Keyword:4:STEP Plus Int32:-2 Variable:A EndOfLine@15"},
        {L"\t Not\t$a ", "Keyword:3:NOT Variable:A EndOfLine@9"},
        {L"", "EndOfLine@0"},
    };
    for (const auto& c : cases) {
        Lexed l(c.text);
        EXPECT_TRUE(l.ok) << testing::PrintToString(std::wstring(c.text)) << " error " << l.error.messageId;
        EXPECT_EQ(describe(l.tokens), c.tokens) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(Lexer, ColumnsOfTokens) {
    Lexed l(L"  $a = Abs(-3) & 'x'");
    ASSERT_TRUE(l.ok);
    std::vector<int> columns;
    for (const Token& t : l.tokens) columns.push_back(t.column);
    EXPECT_EQ(columns, (std::vector<int>{2, 5, 7, 10, 11, 12, 13, 15, 17, 20})); // the folded number keeps its own
}

TEST(Lexer, MalformedLines) {
    struct Case {
        const wchar_t* text;
        int id;
        int column;
    };
    const Case cases[] = {
        {L"$a = 12abc", 5000, 5},
        {L"$a = 1e ", 5000, 7},
        {L"$a = 1e+ ", 5000, 8},
        {L"$a = 1ex", 5000, 7},
        {L"$a = 1_", 5000, 5},
        {L"0x12345678123456781", 5000, 0},
        {L"$a = 5 ! 3", 5000, 7},
        {L"a % b", 5000, 2},
        {L"{", 5000, 0},
        {L"x \x1A", 5000, 2},
        {L"$a = 'open", 5002, 5},
        {L"\"", 5002, 0},
        {L"$a$b", 5003, 2},
        {L"$ a", 5003, 0},
        {L"@", 5003, 0},
        {L"f $a", 5003, 2},
        {L"@a $b", 5003, 3},
        {L"Abs @x", 5003, 4},
        {L"Step 2 $a", 5003, 7},
        {L"x . y", 5003, 2},
        {L"If $a Then: x", 5004, 10},
        {L"Dim$a", 5004, 3},
        {L"ReturnX.y", 0, 0}, // not a keyword: a user function and a member
    };
    for (const auto& c : cases) {
        Lexed l(c.text);
        std::string text = testing::PrintToString(std::wstring(c.text));
        if (c.id == 0) {
            EXPECT_TRUE(l.ok) << text;
            continue;
        }
        EXPECT_FALSE(l.ok) << text;
        EXPECT_EQ(l.error.messageId, c.id) << text;
        EXPECT_EQ(l.error.column, c.column) << text;
        ASSERT_FALSE(l.tokens.empty()) << text;
        EXPECT_EQ(l.tokens.back().type, TT::EndOfLine) << text;
    }
}

TEST(Lexer, EndOfFileMarkOnlyAsTheWholeLastLine) {
    EXPECT_TRUE(Lexed(L"\x1A", true).ok);
    EXPECT_FALSE(Lexed(L"\x1A", false).ok);
    EXPECT_FALSE(Lexed(L"\x1A ", true).ok);
    EXPECT_EQ(describe(Lexed(L"\x1A", true).tokens), "EndOfLine@1");
}

// Random and mutated lines: the lexer gives tokens or one error, never crashes, and every list
// ends with exactly one end-of-line token.
TEST(LexerFuzz, RandomAndMutatedLines) {
    std::mt19937 random(20261210);
    const std::wstring seeds[] = {
        L"$a = Abs(-3) & 'x' ; c", L"If $x[1][2] <> 0x7F Then $y += 1e-3", L"Enum Step *2 $a, $b",
        L"$o.Method(\"a\"\"b\", @CRLF)", L"Func f($a, ByRef $b = 2147483648)", L"Local $m[] = [1, [2, 3]]",
    };
    const wchar_t alphabet[] = L"$@.'\"0123456789xXeE+-*/&^=<>()[],?:_ \tabcAZ!%{}\x1A\xE9\x263A";
    const size_t alphabetSize = std::size(alphabet) - 1;
    Host host;
    auto check = [&](const std::wstring& line) {
        TokenList tokens;
        LexicalError error;
        bool ok = tokeniseLine(line, random() % 2 == 0, host, tokens, error);
        ASSERT_FALSE(tokens.empty());
        EXPECT_EQ(tokens.back().type, TT::EndOfLine);
        for (size_t i = 0; i + 1 < tokens.size(); ++i) ASSERT_NE(tokens[i].type, TT::EndOfLine);
        if (!ok) {
            EXPECT_TRUE(error.messageId >= 5000 && error.messageId <= 5004 && error.messageId != 5001)
                << error.messageId;
            EXPECT_GE(error.column, 0);
            EXPECT_LE(error.column, static_cast<int>(line.size()));
        }
    };
    for (int round = 0; round < 20000; ++round) {
        std::wstring line;
        switch (round % 4) {
        case 0: // random characters from the lexer's alphabet
            for (size_t n = random() % 40; n > 0; --n) line += alphabet[random() % alphabetSize];
            break;
        case 1: // random code units, surrogates and controls included
            for (size_t n = random() % 40; n > 0; --n) line += static_cast<wchar_t>(random() % 0x10000);
            break;
        case 2: { // a valid line with a few characters changed, cut or doubled
            line = seeds[random() % std::size(seeds)];
            for (int k = random() % 4; k >= 0; --k) {
                size_t at = random() % line.size();
                switch (random() % 3) {
                case 0: line[at] = alphabet[random() % alphabetSize]; break;
                case 1: line.erase(at, 1 + random() % 3); break;
                default: line.insert(at, line.substr(at, 1 + random() % 5)); break;
                }
                if (line.empty()) line = L"$";
            }
            break;
        }
        default: { // long lines and huge numbers
            static const std::wstring longOnes[] = {std::wstring(4094, L'9'), L"0x" + std::wstring(4092, L'F'),
                                                    L"'" + std::wstring(4093, L'x'), std::wstring(4094, L'$'),
                                                    std::wstring(4094, L'.'), L"$" + std::wstring(4093, L'a'),
                                                    std::wstring(2047, L'1') + L"." + std::wstring(2046, L'2'),
                                                    L"1e" + std::wstring(4092, L'9')};
            line = longOnes[random() % std::size(longOnes)];
            break;
        }
        }
        check(line);
        if (HasFatalFailure()) return;
    }
}
