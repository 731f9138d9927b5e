#pragma once
// Declarations of the built-in handlers, by the file that holds them; only the built-in table
// refers to them.
#include "engine/builtins.h"

namespace vexil {

// engine/options.cpp
int builtinOpt(Engine& engine, BuiltinArgs args, Variant& result);

// engine/status_builtins.cpp
int builtinSetError(Engine& engine, BuiltinArgs args, Variant& result);
int builtinSetExtended(Engine& engine, BuiltinArgs args, Variant& result);
int builtinVarGetType(Engine& engine, BuiltinArgs args, Variant& result);

// engine/function_builtins.cpp
int builtinAssign(Engine& engine, BuiltinArgs args, Variant& result);
int builtinEval(Engine& engine, BuiltinArgs args, Variant& result);
int builtinExecute(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFuncName(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsDeclared(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsFunc(Engine& engine, BuiltinArgs args, Variant& result);

// engine/container_builtins.cpp
int builtinMapAppend(Engine& engine, BuiltinArgs args, Variant& result);
int builtinMapExists(Engine& engine, BuiltinArgs args, Variant& result);
int builtinMapKeys(Engine& engine, BuiltinArgs args, Variant& result);
int builtinMapRemove(Engine& engine, BuiltinArgs args, Variant& result);
int builtinUBound(Engine& engine, BuiltinArgs args, Variant& result);

// runtime/exit_functions.cpp
int builtinOnExitRegister(Engine& engine, BuiltinArgs args, Variant& result);
int builtinOnExitUnregister(Engine& engine, BuiltinArgs args, Variant& result);

// runtime/timing_builtins.cpp
int builtinSleep(Engine& engine, BuiltinArgs args, Variant& result);
int builtinTimerDiff(Engine& engine, BuiltinArgs args, Variant& result);
int builtinTimerInit(Engine& engine, BuiltinArgs args, Variant& result);
int builtinWinGetTitle(Engine& engine, BuiltinArgs args, Variant& result);
int builtinWinSetTitle(Engine& engine, BuiltinArgs args, Variant& result);

// library/math_builtins.cpp
int builtinAbs(Engine& engine, BuiltinArgs args, Variant& result);
int builtinACos(Engine& engine, BuiltinArgs args, Variant& result);
int builtinASin(Engine& engine, BuiltinArgs args, Variant& result);
int builtinATan(Engine& engine, BuiltinArgs args, Variant& result);
int builtinCos(Engine& engine, BuiltinArgs args, Variant& result);
int builtinSin(Engine& engine, BuiltinArgs args, Variant& result);
int builtinTan(Engine& engine, BuiltinArgs args, Variant& result);
int builtinExp(Engine& engine, BuiltinArgs args, Variant& result);
int builtinLog(Engine& engine, BuiltinArgs args, Variant& result);
int builtinSqrt(Engine& engine, BuiltinArgs args, Variant& result);
int builtinCeiling(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFloor(Engine& engine, BuiltinArgs args, Variant& result);
int builtinMod(Engine& engine, BuiltinArgs args, Variant& result);
int builtinBitAnd(Engine& engine, BuiltinArgs args, Variant& result);
int builtinBitOr(Engine& engine, BuiltinArgs args, Variant& result);
int builtinBitXor(Engine& engine, BuiltinArgs args, Variant& result);
int builtinBitNot(Engine& engine, BuiltinArgs args, Variant& result);
int builtinBitShift(Engine& engine, BuiltinArgs args, Variant& result);
int builtinBitRotate(Engine& engine, BuiltinArgs args, Variant& result);
int builtinRandom(Engine& engine, BuiltinArgs args, Variant& result);
int builtinSRandom(Engine& engine, BuiltinArgs args, Variant& result);
int builtinAsc(Engine& engine, BuiltinArgs args, Variant& result);
int builtinAscW(Engine& engine, BuiltinArgs args, Variant& result);
int builtinChr(Engine& engine, BuiltinArgs args, Variant& result);
int builtinChrW(Engine& engine, BuiltinArgs args, Variant& result);
int builtinBinary(Engine& engine, BuiltinArgs args, Variant& result);
int builtinPtr(Engine& engine, BuiltinArgs args, Variant& result);
int builtinHwnd(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsArray(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsBinary(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsBool(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsDllStruct(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsFloat(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsHwnd(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsInt(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsKeyword(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsMap(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsNumber(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsObj(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsPtr(Engine& engine, BuiltinArgs args, Variant& result);
int builtinIsString(Engine& engine, BuiltinArgs args, Variant& result);

// library/string_builtins.cpp
int builtinStringLen(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringUpper(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringLower(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringLeft(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringRight(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringMid(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringTrimLeft(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringTrimRight(Engine& engine, BuiltinArgs args, Variant& result);

// library/number_conversion_builtins.cpp
int builtinDec(Engine& engine, BuiltinArgs args, Variant& result);
int builtinHex(Engine& engine, BuiltinArgs args, Variant& result);
int builtinInt(Engine& engine, BuiltinArgs args, Variant& result);
int builtinNumber(Engine& engine, BuiltinArgs args, Variant& result);
int builtinRound(Engine& engine, BuiltinArgs args, Variant& result);
int builtinString(Engine& engine, BuiltinArgs args, Variant& result);

// library/string_format.cpp
int builtinStringFormat(Engine& engine, BuiltinArgs args, Variant& result);

// library/string_search.cpp
int builtinStringInStr(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringReplace(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringCompare(Engine& engine, BuiltinArgs args, Variant& result);

// library/string_split.cpp
int builtinStringSplit(Engine& engine, BuiltinArgs args, Variant& result);

// library/string_lines_spaces.cpp
int builtinStringStripWS(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringStripCR(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringAddCR(Engine& engine, BuiltinArgs args, Variant& result);

// library/string_classes.cpp
int builtinStringIsAlNum(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringIsAlpha(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringIsASCII(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringIsDigit(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringIsXDigit(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringIsLower(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringIsUpper(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringIsSpace(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringIsInt(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringIsFloat(Engine& engine, BuiltinArgs args, Variant& result);

// library/string_reverse.cpp
int builtinStringReverse(Engine& engine, BuiltinArgs args, Variant& result);

// library/string_binary.cpp
int builtinStringToBinary(Engine& engine, BuiltinArgs args, Variant& result);
int builtinBinaryToString(Engine& engine, BuiltinArgs args, Variant& result);
int builtinBinaryLen(Engine& engine, BuiltinArgs args, Variant& result);
int builtinBinaryMid(Engine& engine, BuiltinArgs args, Variant& result);

// library/string_codes.cpp
int builtinStringToASCIIArray(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringFromASCIIArray(Engine& engine, BuiltinArgs args, Variant& result);
// library/file_builtins.cpp
int builtinFileClose(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileFlush(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileGetEncoding(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileGetPos(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileOpen(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileRead(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileReadLine(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileReadToArray(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileSetEnd(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileSetPos(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileWrite(Engine& engine, BuiltinArgs args, Variant& result);
int builtinFileWriteLine(Engine& engine, BuiltinArgs args, Variant& result);

// library/regex_builtins.cpp
int builtinStringRegExp(Engine& engine, BuiltinArgs args, Variant& result);
int builtinStringRegExpReplace(Engine& engine, BuiltinArgs args, Variant& result);

// library/console_builtins.cpp
int builtinConsoleWrite(Engine& engine, BuiltinArgs args, Variant& result);
int builtinConsoleWriteError(Engine& engine, BuiltinArgs args, Variant& result);

} // namespace vexil
