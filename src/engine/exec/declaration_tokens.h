#pragma once
// What a declaration's tokens tell without running anything, read alike when it is compiled and
// when it runs from its tokens.
#include "engine/front/token.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexil {

// Where the initializer at `pos` ends: a comma at depth zero, or the end of the line.
size_t initializerEnd(const TokenList& t, size_t pos);
// Whether the initializer at `pos` names the variable.
bool initializerUses(const TokenList& t, size_t pos, int nameId);
// Items per nesting level of the array literal at `pos` (its "["): the largest count at each level.
std::vector<int32_t> measureArrayLiteral(const TokenList& t, size_t pos);

} // namespace vexil
