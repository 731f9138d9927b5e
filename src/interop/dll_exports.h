#pragma once
// Finding a function in a loaded library by what a script names it with.
#include "interop/text_hash.h"

#include <string>
#include <unordered_map>

namespace vexil {

class Variant;

// A text is an export's name, tried again with "A" appended when missing (the ANSI one of a pair
// of functions); a number from 1 to 65535 is an ordinal. nullptr when the library has no such
// export, or the value names none.
void* findExport(void* module, const Variant& function);

// The exports of one library that scripts found by name: a call repeated through a library's
// handle looks its name up once. Bounded, as a script may try ever new names.
class ExportCache {
public:
    void* find(void* module, const Variant& function);
    void clear() { byName_.clear(); }

    static constexpr size_t kMostNames = 256;

private:
    std::unordered_map<std::wstring, void*, TextHash, std::equal_to<>> byName_;
};

} // namespace vexil
