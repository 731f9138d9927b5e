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

// runtime/timing_builtins.cpp
int builtinSleep(Engine& engine, BuiltinArgs args, Variant& result);
int builtinTimerDiff(Engine& engine, BuiltinArgs args, Variant& result);
int builtinTimerInit(Engine& engine, BuiltinArgs args, Variant& result);
int builtinWinGetTitle(Engine& engine, BuiltinArgs args, Variant& result);
int builtinWinSetTitle(Engine& engine, BuiltinArgs args, Variant& result);

// library/console_builtins.cpp
int builtinConsoleWrite(Engine& engine, BuiltinArgs args, Variant& result);
int builtinConsoleWriteError(Engine& engine, BuiltinArgs args, Variant& result);

} // namespace vexil
