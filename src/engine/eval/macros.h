#pragma once
// The @ macros: read-only values computed from the engine and the system when read.
#include <string_view>

namespace vexil {

class Engine;
class Variant;

enum class MacroResult { Value, Unknown };

// The id of an upper-cased macro name, or -1. The lexer resolves a name once; a read at run time
// goes straight to the id's entry.
int findMacro(std::wstring_view upperName);

// Computes the value of macro `id`; Unknown for -1 (a name that is no macro).
MacroResult readMacro(Engine& engine, int id, Variant& result);

} // namespace vexil
