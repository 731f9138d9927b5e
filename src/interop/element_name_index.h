#pragma once
// Names of a structure's elements, found without regard to case (towupper unit by unit, as script
// names compare): one hash probe per lookup, and no text is built for it.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace vexil {

class ElementNameIndex {
public:
    // The name must outlive the index. A name taken already keeps its first position.
    void add(std::wstring_view name, uint32_t position) { positions_.emplace(name, position); }
    // The position of the element of that name, or -1.
    int64_t find(std::wstring_view name) const {
        const auto it = positions_.find(name);
        return it == positions_.end() ? int64_t{-1} : int64_t{it->second};
    }

private:
    struct FoldedHash {
        size_t operator()(std::wstring_view name) const;
    };
    struct FoldedEqual {
        bool operator()(std::wstring_view a, std::wstring_view b) const;
    };
    std::unordered_map<std::wstring_view, uint32_t, FoldedHash, FoldedEqual> positions_;
};

} // namespace vexil
