#include "automation/tree_item_path.h"

namespace vexil {

namespace {

TreePathLevel levelOf(std::wstring text) {
    TreePathLevel level;
    if (text.size() >= 2 && text[0] == L'#' && text[1] == L'#') {
        level.text = text.substr(1);
        return level;
    }
    if (text.size() >= 2 && text[0] == L'#' && text.find_first_not_of(L"0123456789", 1) == std::wstring::npos &&
        text.size() <= 10) {
        const long long index = std::stoll(text.substr(1));
        if (index <= INT32_MAX) {
            level.byIndex = true;
            level.index = static_cast<int32_t>(index);
            return level;
        }
    }
    level.text = std::move(text);
    return level;
}

} // namespace

std::vector<TreePathLevel> parseTreePath(std::wstring_view path) {
    std::vector<TreePathLevel> levels;
    if (path.empty()) return levels;
    std::wstring current;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != L'|') {
            current += path[i];
        } else if (i + 1 < path.size() && path[i + 1] == L'|') {
            current += L'|';
            ++i;
        } else {
            levels.push_back(levelOf(std::move(current)));
            current.clear();
        }
    }
    levels.push_back(levelOf(std::move(current)));
    return levels;
}

} // namespace vexil
