#include "engine/front/keywords.h"

namespace vexil {

int findKeyword(std::wstring_view upperWord) {
    if (upperWord.empty()) return -1;
    for (int id = 1; id < static_cast<int>(std::size(kKeywordNames)); ++id)
        if (kKeywordNames[id] == upperWord) return id;
    return -1;
}

} // namespace vexil
