#pragma once
// One shared copy of every name and literal text of a script: a name used a thousand times
// costs one allocation, and equal names share one buffer.
#include "engine/wstring.h"

#include <string_view>
#include <unordered_map>

namespace vexil {

class NamePool {
public:
    const WString& intern(std::wstring_view text) {
        auto it = pool_.find(text);
        if (it != pool_.end()) return it->second;
        WString copy(text);
        std::wstring_view key = copy.view(); // points into the shared buffer, which never moves
        return pool_.emplace(key, std::move(copy)).first->second;
    }
    size_t size() const { return pool_.size(); }

private:
    std::unordered_map<std::wstring_view, WString> pool_;
};

} // namespace vexil
