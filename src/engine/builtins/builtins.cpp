#include "engine/builtins/builtins.h"

#include <algorithm>
#include <iterator>

namespace vexil {

// The handlers, declared from their rows.
#define VEXIL_BUILTIN(NAME, MIN, MAX, FLAGS, HANDLER) int HANDLER(BuiltinContext&, BuiltinArgs, Variant&);
#define VEXIL_NO_HANDLER(NAME, MIN, MAX, FLAGS)
#include "engine/builtins/builtin_table.inc"
#undef VEXIL_BUILTIN
#undef VEXIL_NO_HANDLER

namespace {

using namespace BuiltinFlag;

constexpr BuiltinEntry entry(std::wstring_view name, int16_t minArgs, int16_t maxArgs, uint8_t flags,
                             BuiltinHandler handler) {
    return {name, minArgs, maxArgs, (flags & ByReference) != 0, (flags & LeavesFilesAlone) != 0, handler};
}

#define VEXIL_BUILTIN(NAME, MIN, MAX, FLAGS, HANDLER) entry(L## #NAME, MIN, MAX, FLAGS, HANDLER),
#define VEXIL_NO_HANDLER(NAME, MIN, MAX, FLAGS) entry(L## #NAME, MIN, MAX, FLAGS, nullptr),
constexpr BuiltinEntry kTable[] = {
#include "engine/builtins/builtin_table.inc"
};
#undef VEXIL_BUILTIN
#undef VEXIL_NO_HANDLER

constexpr bool isSorted() {
    for (size_t i = 1; i < std::size(kTable); ++i)
        if (!(kTable[i - 1].name < kTable[i].name)) return false;
    return true;
}
static_assert(std::size(kTable) == 406);
static_assert(isSorted(), "the built-in table must stay sorted by name");

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
