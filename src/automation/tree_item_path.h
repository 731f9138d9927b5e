#pragma once
// Tree-view item paths as scripts write them: levels separated by "|" ("||" is a "|" of a text),
// each either "#n", the n-th sibling from 0, or an item's text in any case ("##x" is the text
// "#x").
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexil {

struct TreePathLevel {
    bool byIndex = false;
    int32_t index = 0;
    std::wstring text;
};

std::vector<TreePathLevel> parseTreePath(std::wstring_view path);

} // namespace vexil
