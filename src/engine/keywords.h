#pragma once
// The keyword table: ids are positions, entry 0 never matches.
#include "engine/token.h"

#include <string_view>

namespace vexil {

enum class Keyword : int {
    And = 1, Or, Not, If, Then, Else, ElseIf, EndIf, While, Wend, Do, Until, For, Next, To, Step, In,
    ExitLoop, ContinueLoop, Select, Case, EndSelect, Switch, EndSwitch, ContinueCase, Dim, ReDim,
    Local, Global, Const, Static, Func, EndFunc, Return, Exit, ByRef, With, EndWith, True, False,
    Default, Null, Volatile, Enum,
};

inline constexpr std::wstring_view kKeywordNames[] = {
    L"",         L"AND",      L"OR",        L"NOT",       L"IF",        L"THEN",         L"ELSE",
    L"ELSEIF",   L"ENDIF",    L"WHILE",     L"WEND",      L"DO",        L"UNTIL",        L"FOR",
    L"NEXT",     L"TO",       L"STEP",      L"IN",        L"EXITLOOP",  L"CONTINUELOOP", L"SELECT",
    L"CASE",     L"ENDSELECT", L"SWITCH",   L"ENDSWITCH", L"CONTINUECASE", L"DIM",       L"REDIM",
    L"LOCAL",    L"GLOBAL",   L"CONST",     L"STATIC",    L"FUNC",      L"ENDFUNC",      L"RETURN",
    L"EXIT",     L"BYREF",    L"WITH",      L"ENDWITH",   L"TRUE",      L"FALSE",        L"DEFAULT",
    L"NULL",     L"VOLATILE", L"ENUM",
};
static_assert(std::size(kKeywordNames) == static_cast<int>(Keyword::Enum) + 1);

// Id of an upper-cased word, or -1.
int findKeyword(std::wstring_view upperWord);

inline bool isKeyword(const Token& t, Keyword k) {
    return t.type == TokenType::Keyword && t.i32 == static_cast<int>(k);
}

} // namespace vexil
