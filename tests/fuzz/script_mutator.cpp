#include "script_mutator.h"

#include <algorithm>
#include <cwctype>

namespace vexil::fuzz {

namespace {

using Line = std::vector<std::wstring>; // a line's rough tokens, spaces kept as tokens

const std::vector<std::wstring> kKeywords = {
    L"If", L"Then", L"Else", L"ElseIf", L"EndIf", L"For", L"To", L"Step", L"Next", L"In", L"While", L"WEnd",
    L"Do", L"Until", L"Select", L"Case", L"EndSelect", L"Switch", L"EndSwitch", L"Func", L"EndFunc", L"Return",
    L"Local", L"Global", L"Dim", L"ReDim", L"Const", L"Static", L"Enum", L"ExitLoop", L"ContinueLoop",
    L"ContinueCase", L"Exit", L"With", L"EndWith", L"ByRef", L"Default", L"Null", L"True", L"False", L"And",
    L"Or", L"Not", L"Call", L"Execute", L"Eval", L"Assign"};
const std::vector<std::wstring> kOperators = {
    L"+", L"-", L"*", L"/", L"^", L"&", L"=", L"==", L"<>", L"<", L">", L"<=", L">=", L"+=", L"-=", L"*=",
    L"/=", L"&=", L"?", L":", L".", L",", L"[", L"]", L"(", L")", L"{", L"}", L"[]", L"()", L" _", L";"};
const std::vector<std::wstring> kNumbers = {
    L"0", L"-0", L"1e308", L"-1e308", L"4.9e-324", L"2147483647", L"2147483648", L"-2147483649",
    L"9223372036854775807", L"-9223372036854775808", L"18446744073709551616", L"0x7FFFFFFF",
    L"0xFFFFFFFFFFFFFFFF", L"1e400", L"0.0000001", L"-1", L"16777216", L"65536", L"1.5", L"0x"};
const std::vector<std::wstring> kMacros = {
    L"@error", L"@extended", L"@CRLF", L"@LF", L"@ScriptLineNumber", L"@NumParams", L"@exitCode",
    L"@ScriptDir", L"@ScriptName", L"@TAB", L"@Unknown"};
const std::vector<std::wstring> kLines = {
    L"#include \"nowhere.vx3\"", L"#include-once", L"#cs", L"#ce", L"Func F($a, ByRef $b, $c = 1)",
    L"EndFunc", L"Return", L"Local $m[]", L"Local $a[2][3] = [[1, 2], [3]]", L"ReDim $a[0]",
    L"$a[0][0] = $a", L"Execute(\"$x = \" & $x)", L"Exit 7", L"OnVexilExitRegister(\"F\")",
    L"Opt(\"MustDeclareVars\", 1)", L"Enum $E1, $E2 = 5, $E3"};

bool isWordChar(wchar_t c) { return std::iswalnum(c) || c == L'_' || c == L'$' || c == L'@' || c == L'#' || c == L'.'; }

Line split(const std::wstring& text) {
    Line tokens;
    size_t i = 0;
    while (i < text.size()) {
        const wchar_t c = text[i];
        size_t end = i + 1;
        if (c == L'"' || c == L'\'') {
            while (end < text.size() && text[end] != c) ++end;
            end = std::min(text.size(), end + 1);
        } else if (c == L' ' || c == L'\t') {
            while (end < text.size() && (text[end] == L' ' || text[end] == L'\t')) ++end;
        } else if (isWordChar(c)) {
            while (end < text.size() && isWordChar(text[end])) ++end;
        }
        tokens.push_back(text.substr(i, end - i));
        i = end;
    }
    return tokens;
}

std::vector<Line> lines(const std::wstring& text) {
    std::vector<Line> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        out.push_back(split(line));
        start = end + 1;
    }
    return out;
}

std::wstring oddString(Random& random) {
    switch (random.below(8)) {
    case 0: return L"\"\"";
    case 1: return L"\"" + std::wstring(100000, L'x') + L"\"";
    case 2: return L"\"a\"\"b\"";
    case 3: return std::wstring(L"\"") + static_cast<wchar_t>(0xD800) + L"\"";
    case 4: return std::wstring(L"\"") + static_cast<wchar_t>(0xDC00) + L"z\"";
    case 5: return std::wstring(L"\"a") + L'\0' + L"b\"";
    case 6: return L"\"\U0001F600\"";
    default: return L"\"%s%d%99999999s%.*f\"";
    }
}

// A token to insert: keywords, operators, numbers, strings, macros and the script's own names.
std::wstring anyToken(Random& random, const std::vector<std::wstring>& names) {
    switch (random.below(7)) {
    case 0: return random.pick(kKeywords);
    case 1: return random.pick(kOperators);
    case 2: return random.pick(kNumbers);
    case 3: return oddString(random);
    case 4: return random.pick(kMacros);
    case 5: return names.empty() ? L"$x" : random.pick(names);
    default: return L"$v" + std::to_wstring(random.below(4));
    }
}

void mutateOnce(std::vector<Line>& script, const std::vector<Line>& other, const std::vector<std::wstring>& names,
                Random& random) {
    if (script.empty()) script.push_back({});
    const uint32_t at = random.below(static_cast<uint32_t>(script.size()));
    Line& line = script[at];
    const uint32_t position = random.below(static_cast<uint32_t>(line.size()) + 1);
    switch (random.below(12)) {
    case 0: // delete a token
        if (!line.empty()) line.erase(line.begin() + std::min<size_t>(position, line.size() - 1));
        break;
    case 1: // duplicate a token
        if (!line.empty()) {
            const size_t i = std::min<size_t>(position, line.size() - 1);
            line.insert(line.begin() + static_cast<std::ptrdiff_t>(i), line[i]);
        }
        break;
    case 2: // swap two tokens of the line
        if (line.size() > 1) std::swap(line[random.below(static_cast<uint32_t>(line.size()))], line[random.below(static_cast<uint32_t>(line.size()))]);
        break;
    case 3: case 4: // insert a token
        line.insert(line.begin() + position, {L" ", anyToken(random, names), L" "});
        break;
    case 5: // replace a token
        if (!line.empty()) line[std::min<size_t>(position, line.size() - 1)] = anyToken(random, names);
        break;
    case 6: // delete a line
        script.erase(script.begin() + at);
        break;
    case 7: // duplicate a line
        script.insert(script.begin() + at, Line(line));
        break;
    case 8: // swap two lines
        std::swap(script[at], script[random.below(static_cast<uint32_t>(script.size()))]);
        break;
    case 9: // splice a line of the other script
        if (!other.empty()) script.insert(script.begin() + at, other[random.below(static_cast<uint32_t>(other.size()))]);
        break;
    case 10: // a line of its own
        script.insert(script.begin() + at, split(random.pick(kLines)));
        break;
    default: // a very long line
        line.insert(line.end(), {L" & ", L"\"" + std::wstring(5000, L'y') + L"\""});
        break;
    }
}

// "For $i = 1 To 1000000": most mutants should end well before their budget.
void shortenLoops(std::vector<Line>& script, Random& random) {
    for (Line& line : script) {
        for (size_t i = 0; i < line.size(); ++i) {
            if (_wcsicmp(line[i].c_str(), L"To") != 0) continue;
            for (size_t j = i + 1; j < line.size(); ++j) {
                if (line[j].empty() || !std::iswdigit(line[j][0])) continue;
                if (line[j].size() > 3 && random.chance(95)) line[j] = std::to_wstring(random.below(20));
                break;
            }
        }
    }
}

std::vector<std::wstring> variableNames(const std::vector<Line>& script) {
    std::vector<std::wstring> names;
    for (const Line& line : script)
        for (const std::wstring& token : line)
            if (token.size() > 1 && token[0] == L'$' && names.size() < 64) names.push_back(token);
    return names;
}

std::wstring join(const std::vector<Line>& script) {
    std::wstring text;
    for (const Line& line : script) {
        for (const std::wstring& token : line) text += token;
        text += L"\r\n";
    }
    return text;
}

} // namespace

std::wstring mutateScript(const std::vector<std::wstring>& corpus, Random& random) {
    std::vector<Line> script = lines(random.pick(corpus));
    const std::vector<Line> other = random.chance(30) ? lines(random.pick(corpus)) : std::vector<Line>{};
    const std::vector<std::wstring> names = variableNames(script);
    const uint32_t changes = 1 + random.below(8);
    for (uint32_t i = 0; i < changes; ++i) mutateOnce(script, other, names, random);
    shortenLoops(script, random);
    return join(script);
}

} // namespace vexil::fuzz
