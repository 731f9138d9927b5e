#pragma once
// The keyword table: one list gives each keyword its id (its position) and its spelling; id 0 is
// no keyword and never matches.
#include "engine/front/token.h"

#include <iterator>
#include <string_view>

namespace vexil {

// X(Enumerator, "SPELLING") in id order from 1; the spelling is the enumerator upper-cased.
#define VEXIL_KEYWORDS(X)                                                                                             \
    X(And, L"AND") X(Or, L"OR") X(Not, L"NOT") X(If, L"IF") X(Then, L"THEN") X(Else, L"ELSE")                         \
    X(ElseIf, L"ELSEIF") X(EndIf, L"ENDIF") X(While, L"WHILE") X(Wend, L"WEND") X(Do, L"DO") X(Until, L"UNTIL")       \
    X(For, L"FOR") X(Next, L"NEXT") X(To, L"TO") X(Step, L"STEP") X(In, L"IN") X(ExitLoop, L"EXITLOOP")              \
    X(ContinueLoop, L"CONTINUELOOP") X(Select, L"SELECT") X(Case, L"CASE") X(EndSelect, L"ENDSELECT")                 \
    X(Switch, L"SWITCH") X(EndSwitch, L"ENDSWITCH") X(ContinueCase, L"CONTINUECASE") X(Dim, L"DIM")                   \
    X(ReDim, L"REDIM") X(Local, L"LOCAL") X(Global, L"GLOBAL") X(Const, L"CONST") X(Static, L"STATIC")                \
    X(Func, L"FUNC") X(EndFunc, L"ENDFUNC") X(Return, L"RETURN") X(Exit, L"EXIT") X(ByRef, L"BYREF")                  \
    X(With, L"WITH") X(EndWith, L"ENDWITH") X(True, L"TRUE") X(False, L"FALSE") X(Default, L"DEFAULT")                \
    X(Null, L"NULL") X(Volatile, L"VOLATILE") X(Enum, L"ENUM")

#define VEXIL_KEYWORD_ENUMERATOR(id, spelling) id,
#define VEXIL_KEYWORD_SPELLING(id, spelling) spelling,
#define VEXIL_KEYWORD_ENUMERATOR_TEXT(id, spelling) #id,

enum class Keyword : int {
    None, // what a token that is no keyword reads as
    VEXIL_KEYWORDS(VEXIL_KEYWORD_ENUMERATOR)
};

// Indexed by keyword id.
inline constexpr std::wstring_view kKeywordNames[] = {L"", VEXIL_KEYWORDS(VEXIL_KEYWORD_SPELLING)};

// The enum and the names come from one list, so they agree in count and order; what is left to
// check is that no spelling was mistyped.
constexpr bool keywordsSpelledAsEnumerators() {
    constexpr std::string_view enumerators[] = {"", VEXIL_KEYWORDS(VEXIL_KEYWORD_ENUMERATOR_TEXT)};
    static_assert(std::size(enumerators) == std::size(kKeywordNames));
    for (size_t id = 0; id < std::size(enumerators); ++id) {
        std::string_view enumerator = enumerators[id];
        std::wstring_view spelling = kKeywordNames[id];
        if (enumerator.size() != spelling.size()) return false;
        for (size_t i = 0; i < enumerator.size(); ++i) {
            char c = enumerator[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (static_cast<wchar_t>(c) != spelling[i]) return false;
        }
    }
    return true;
}
static_assert(keywordsSpelledAsEnumerators(), "a keyword's spelling is not its enumerator upper-cased");

#undef VEXIL_KEYWORD_ENUMERATOR
#undef VEXIL_KEYWORD_SPELLING
#undef VEXIL_KEYWORD_ENUMERATOR_TEXT

// Id of an upper-cased word, or -1.
int findKeyword(std::wstring_view upperWord);

inline bool isKeyword(const Token& t, Keyword k) {
    return t.type == TokenType::Keyword && t.i32 == static_cast<int>(k);
}

} // namespace vexil
