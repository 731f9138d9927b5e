#pragma once
// The built-in function table: every library function a script can call, by upper-case name,
// with its argument range, flags and handler, generated from the rows of builtin_table.inc. The
// lexer resolves names to table indexes once; a call at run time is an index into this table.
#include <cstdint>
#include <span>
#include <string_view>

namespace vexil {

class BuiltinContext;
class Variant;

using BuiltinArgs = std::span<Variant>;
// A handler returns 0 or more when the call completed (soft failures go through @ERROR), or a
// negative status when it has raised a fatal error.
using BuiltinHandler = int (*)(BuiltinContext& context, BuiltinArgs args, Variant& result);

// The flags column of the table.
namespace BuiltinFlag {
constexpr uint8_t None = 0;
constexpr uint8_t ByReference = 1;      // an argument that is a plain variable is passed by reference
constexpr uint8_t LeavesFilesAlone = 2; // buffered file writes need not reach the disk before the call
} // namespace BuiltinFlag

struct BuiltinEntry {
    std::wstring_view name;
    int16_t minArgs;
    int16_t maxArgs;
    bool byReference;
    bool leavesFilesAlone;
    BuiltinHandler handler; // nullptr: not available in this build
};

int builtinCount();
const BuiltinEntry& builtinEntry(int index);
// Index of an upper-cased name, or -1 (binary search, exact code-unit comparison).
int findBuiltin(std::wstring_view upperName);

} // namespace vexil
