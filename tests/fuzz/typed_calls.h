#pragma once
// The typed-call generator: scripts that declare a pool of awkward values of every kind, then
// call built-ins with them, so that every handler meets extremes, odd types and wrong counts.
#include "fuzz_random.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vexil::fuzz {

// A whole script made from the choices of random. callCounts[i] grows by one for each call of
// built-in i (table order) the script holds; it is widened to the table when shorter.
std::wstring typedCallScript(Random& random, std::vector<uint32_t>& callCounts);

// The built-in names, upper case, in table order.
std::vector<std::wstring> builtinNames();

} // namespace vexil::fuzz
