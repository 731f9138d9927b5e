#include "engine/builtins.h"

#include "engine/builtin_handlers.h"

#include <algorithm>
#include <iterator>

namespace vexil {

namespace {

struct Implemented {
    std::wstring_view name;
    BuiltinHandler handler;
};

// The handlers that exist so far, by name; every other entry reports itself unavailable.
constexpr Implemented kImplemented[] = {
    {L"ABS", builtinAbs},
    {L"ACOS", builtinACos},
    {L"ASC", builtinAsc},
    {L"ASCW", builtinAscW},
    {L"ASIN", builtinASin},
    {L"ASSIGN", builtinAssign},
    {L"ATAN", builtinATan},
    {L"BINARY", builtinBinary},
    {L"BINARYLEN", builtinBinaryLen},
    {L"BINARYMID", builtinBinaryMid},
    {L"BINARYTOSTRING", builtinBinaryToString},
    {L"BITAND", builtinBitAnd},
    {L"BITNOT", builtinBitNot},
    {L"BITOR", builtinBitOr},
    {L"BITROTATE", builtinBitRotate},
    {L"BITSHIFT", builtinBitShift},
    {L"BITXOR", builtinBitXor},
    {L"CALL", nullptr}, // handled by the call machinery before any handler
    {L"CEILING", builtinCeiling},
    {L"CHR", builtinChr},
    {L"CHRW", builtinChrW},
    {L"CONSOLEWRITE", builtinConsoleWrite},
    {L"CONSOLEWRITEERROR", builtinConsoleWriteError},
    {L"COS", builtinCos},
    {L"DEC", builtinDec},
    {L"EVAL", builtinEval},
    {L"EXECUTE", builtinExecute},
    {L"EXP", builtinExp},
    {L"FILECLOSE", builtinFileClose},
    {L"FILEFLUSH", builtinFileFlush},
    {L"FILEGETENCODING", builtinFileGetEncoding},
    {L"FILEGETPOS", builtinFileGetPos},
    {L"FILEOPEN", builtinFileOpen},
    {L"FILEREAD", builtinFileRead},
    {L"FILEREADLINE", builtinFileReadLine},
    {L"FILEREADTOARRAY", builtinFileReadToArray},
    {L"FILESETEND", builtinFileSetEnd},
    {L"FILESETPOS", builtinFileSetPos},
    {L"FILEWRITE", builtinFileWrite},
    {L"FILEWRITELINE", builtinFileWriteLine},
    {L"FLOOR", builtinFloor},
    {L"FUNCNAME", builtinFuncName},
    {L"HEX", builtinHex},
    {L"HWND", builtinHwnd},
    {L"INT", builtinInt},
    {L"ISARRAY", builtinIsArray},
    {L"ISBINARY", builtinIsBinary},
    {L"ISBOOL", builtinIsBool},
    {L"ISDECLARED", builtinIsDeclared},
    {L"ISDLLSTRUCT", builtinIsDllStruct},
    {L"ISFLOAT", builtinIsFloat},
    {L"ISFUNC", builtinIsFunc},
    {L"ISHWND", builtinIsHwnd},
    {L"ISINT", builtinIsInt},
    {L"ISKEYWORD", builtinIsKeyword},
    {L"ISMAP", builtinIsMap},
    {L"ISNUMBER", builtinIsNumber},
    {L"ISOBJ", builtinIsObj},
    {L"ISPTR", builtinIsPtr},
    {L"ISSTRING", builtinIsString},
    {L"LOG", builtinLog},
    {L"MAPAPPEND", builtinMapAppend},
    {L"MAPEXISTS", builtinMapExists},
    {L"MAPKEYS", builtinMapKeys},
    {L"MAPREMOVE", builtinMapRemove},
    {L"MOD", builtinMod},
    {L"NUMBER", builtinNumber},
    {L"ONVEXILEXITREGISTER", builtinOnExitRegister},
    {L"ONVEXILEXITUNREGISTER", builtinOnExitUnregister},
    {L"OPT", builtinOpt},
    {L"PTR", builtinPtr},
    {L"RANDOM", builtinRandom},
    {L"ROUND", builtinRound},
    {L"SETERROR", builtinSetError},
    {L"SETEXTENDED", builtinSetExtended},
    {L"SIN", builtinSin},
    {L"SLEEP", builtinSleep},
    {L"SQRT", builtinSqrt},
    {L"SRANDOM", builtinSRandom},
    {L"STRING", builtinString},
    {L"STRINGADDCR", builtinStringAddCR},
    {L"STRINGCOMPARE", builtinStringCompare},
    {L"STRINGFORMAT", builtinStringFormat},
    {L"STRINGFROMASCIIARRAY", builtinStringFromASCIIArray},
    {L"STRINGINSTR", builtinStringInStr},
    {L"STRINGISALNUM", builtinStringIsAlNum},
    {L"STRINGISALPHA", builtinStringIsAlpha},
    {L"STRINGISASCII", builtinStringIsASCII},
    {L"STRINGISDIGIT", builtinStringIsDigit},
    {L"STRINGISFLOAT", builtinStringIsFloat},
    {L"STRINGISINT", builtinStringIsInt},
    {L"STRINGISLOWER", builtinStringIsLower},
    {L"STRINGISSPACE", builtinStringIsSpace},
    {L"STRINGISUPPER", builtinStringIsUpper},
    {L"STRINGISXDIGIT", builtinStringIsXDigit},
    {L"STRINGLEFT", builtinStringLeft},
    {L"STRINGLEN", builtinStringLen},
    {L"STRINGLOWER", builtinStringLower},
    {L"STRINGMID", builtinStringMid},
    {L"STRINGREGEXP", builtinStringRegExp},
    {L"STRINGREGEXPREPLACE", builtinStringRegExpReplace},
    {L"STRINGREPLACE", builtinStringReplace},
    {L"STRINGREVERSE", builtinStringReverse},
    {L"STRINGRIGHT", builtinStringRight},
    {L"STRINGSPLIT", builtinStringSplit},
    {L"STRINGSTRIPCR", builtinStringStripCR},
    {L"STRINGSTRIPWS", builtinStringStripWS},
    {L"STRINGTOASCIIARRAY", builtinStringToASCIIArray},
    {L"STRINGTOBINARY", builtinStringToBinary},
    {L"STRINGTRIMLEFT", builtinStringTrimLeft},
    {L"STRINGTRIMRIGHT", builtinStringTrimRight},
    {L"STRINGUPPER", builtinStringUpper},
    {L"TAN", builtinTan},
    {L"TIMERDIFF", builtinTimerDiff},
    {L"TIMERINIT", builtinTimerInit},
    {L"UBOUND", builtinUBound},
    {L"VARGETTYPE", builtinVarGetType},
    {L"VEXILSETOPTION", builtinOpt},
    {L"VEXILWINGETTITLE", builtinWinGetTitle},
    {L"VEXILWINSETTITLE", builtinWinSetTitle},
};

constexpr BuiltinHandler handlerFor(std::wstring_view name) {
    for (const auto& i : kImplemented)
        if (i.name == name) return i.handler;
    return nullptr;
}

#define VEXIL_BUILTIN(NAME, MIN, MAX, BYREF) {L## #NAME, MIN, MAX, BYREF, handlerFor(L## #NAME)},
constexpr BuiltinEntry kTable[] = {
#include "engine/builtin_table.inc"
};
#undef VEXIL_BUILTIN

constexpr bool isSorted() {
    for (size_t i = 1; i < std::size(kTable); ++i)
        if (!(kTable[i - 1].name < kTable[i].name)) return false;
    return true;
}
static_assert(std::size(kTable) == 406);
static_assert(isSorted(), "the built-in table must stay sorted by name");

constexpr bool everyImplementedNameExists() {
    for (const auto& i : kImplemented) {
        bool found = false;
        for (const auto& e : kTable) found = found || e.name == i.name;
        if (!found) return false;
    }
    return true;
}
static_assert(everyImplementedNameExists());

} // namespace

int builtinCount() { return static_cast<int>(std::size(kTable)); }

const BuiltinEntry& builtinEntry(int index) { return kTable[index]; }

int findBuiltin(std::wstring_view upperName) {
    auto it = std::lower_bound(std::begin(kTable), std::end(kTable), upperName,
                               [](const BuiltinEntry& e, std::wstring_view n) { return e.name < n; });
    if (it == std::end(kTable) || it->name != upperName) return -1;
    return static_cast<int>(it - std::begin(kTable));
}

} // namespace vexil
