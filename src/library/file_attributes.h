#pragma once
// File attributes as letters, in the order they are reported: R A S H N D O C T X.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil {

std::wstring attributeLetters(uint32_t attributes);

// A change of attributes as scripts write it: "+RH-A" adds read-only and hidden, removes
// archive. Letters R, A, S, H, N, O, T in either case; false for any other character.
struct AttributeChange {
    uint32_t add = 0;
    uint32_t remove = 0;
    uint32_t applyTo(uint32_t attributes) const;
};
bool parseAttributeChange(std::wstring_view text, AttributeChange& change);

} // namespace vexil
