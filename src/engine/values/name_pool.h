#pragma once
// One shared copy of every name and literal text of a script: a name used a thousand times costs
// one allocation, equal names share one buffer, and each name has a small number (its id) by
// which variables are found without comparing or hashing text at run time.
#include "base/wstring.h"

#include <deque>
#include <string_view>
#include <unordered_map>

namespace vexil {

class NamePool {
public:
    struct Name {
        WString text;
        int id;
    };

    const Name& intern(std::wstring_view text) {
        auto it = pool_.find(text);
        if (it != pool_.end()) return *it->second;
        names_.push_back(Name{WString(text), static_cast<int>(names_.size())});
        const Name& name = names_.back();
        pool_.emplace(name.text.view(), &name); // the key points into the shared buffer, which never moves
        return name;
    }
    const Name* find(std::wstring_view text) const {
        auto it = pool_.find(text);
        return it == pool_.end() ? nullptr : it->second;
    }
    int size() const { return static_cast<int>(names_.size()); }

private:
    std::deque<Name> names_; // stable addresses
    std::unordered_map<std::wstring_view, const Name*> pool_;
};

} // namespace vexil
