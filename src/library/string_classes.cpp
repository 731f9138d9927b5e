// Character-class tests of a text: STRINGISALNUM to STRINGISXDIGIT, and the number grammars of
// STRINGISINT and STRINGISFLOAT.
#include "engine/builtins/builtin_api.h"
#include "library/text_classes.h"

#include <windows.h>

#include <algorithm>
#include <ctype.h>
#include <wctype.h>

namespace vexil {

namespace {

// The tests look at the text only up to its first U+0000.
std::wstring_view leadingText(const Variant& value) {
    std::wstring_view text = value.text().view();
    return text.substr(0, text.find(L'\0'));
}

template <bool (*Passes)(wchar_t)> int everyUnit(BuiltinArgs args, Variant& result) {
    std::wstring_view text = leadingText(args[0]);
    result = Variant::int32(!text.empty() && std::all_of(text.begin(), text.end(), Passes) ? 1 : 0);
    return 0;
}

bool alphaNumeric(wchar_t c) { return IsCharAlphaNumericW(c) != FALSE; }
bool alphabetic(wchar_t c) { return IsCharAlphaW(c) != FALSE; }
bool ascii(wchar_t c) { return c < 0x80; }
bool digit(wchar_t c) { return iswctype(c, _DIGIT) != 0; }
bool hexDigit(wchar_t c) { return iswctype(c, _HEX) != 0; }
bool lowerCase(wchar_t c) { return IsCharLowerW(c) != FALSE; }
bool upperCase(wchar_t c) { return IsCharUpperW(c) != FALSE; }

bool plainDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Skips a run of 0–9 and returns its length.
size_t skipDigits(std::wstring_view text, size_t& at) {
    size_t begin = at;
    while (at < text.size() && plainDigit(text[at])) ++at;
    return at - begin;
}

size_t skipSign(std::wstring_view text) { return !text.empty() && (text[0] == L'+' || text[0] == L'-') ? 1 : 0; }

// An optional sign, then at least one digit and nothing else.
bool integerText(std::wstring_view text) {
    size_t at = skipSign(text);
    return skipDigits(text, at) > 0 && at == text.size();
}

// An optional sign, digits, one point, digits: at least one digit, no exponent.
bool decimalText(std::wstring_view text) {
    size_t at = skipSign(text);
    size_t digits = skipDigits(text, at);
    if (at == text.size() || text[at] != L'.') return false;
    ++at;
    digits += skipDigits(text, at);
    return digits > 0 && at == text.size();
}

} // namespace

int builtinStringIsAlNum(BuiltinContext&, BuiltinArgs args, Variant& result) { return everyUnit<alphaNumeric>(args, result); }
int builtinStringIsAlpha(BuiltinContext&, BuiltinArgs args, Variant& result) { return everyUnit<alphabetic>(args, result); }
int builtinStringIsASCII(BuiltinContext&, BuiltinArgs args, Variant& result) { return everyUnit<ascii>(args, result); }
int builtinStringIsDigit(BuiltinContext&, BuiltinArgs args, Variant& result) { return everyUnit<digit>(args, result); }
int builtinStringIsXDigit(BuiltinContext&, BuiltinArgs args, Variant& result) { return everyUnit<hexDigit>(args, result); }
int builtinStringIsLower(BuiltinContext&, BuiltinArgs args, Variant& result) { return everyUnit<lowerCase>(args, result); }
int builtinStringIsUpper(BuiltinContext&, BuiltinArgs args, Variant& result) { return everyUnit<upperCase>(args, result); }

// Unlike the others, the whole text counts (U+0000 is whitespace) and the empty text passes.
int builtinStringIsSpace(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text();
    result = Variant::int32(std::all_of(text.begin(), text.end(), isBlankUnit) ? 1 : 0);
    return 0;
}

int builtinStringIsInt(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = Variant::int32(integerText(leadingText(args[0])) ? 1 : 0);
    return 0;
}

int builtinStringIsFloat(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = Variant::int32(decimalText(leadingText(args[0])) ? 1 : 0);
    return 0;
}

} // namespace vexil
