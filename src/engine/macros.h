#pragma once
// The @ macros: read-only values computed from the engine and the system when read.
#include <string_view>

namespace vexil {

class Engine;
class Variant;

enum class MacroResult { Value, Unknown };

// Looks an upper-cased macro name up and computes its value.
MacroResult readMacro(Engine& engine, std::wstring_view name, Variant& result);

} // namespace vexil
