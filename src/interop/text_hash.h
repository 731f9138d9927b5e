#pragma once
// Hashing for tables keyed by text that are looked up by a view of a text, without a copy.
#include <functional>
#include <string_view>

namespace vexil {

struct TextHash {
    using is_transparent = void;
    size_t operator()(std::wstring_view text) const { return std::hash<std::wstring_view>{}(text); }
};

} // namespace vexil
