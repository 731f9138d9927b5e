#pragma once
// The piece that STRINGMID and BINARYMID cut out of a text or a byte string.
#include <cstddef>
#include <cstdint>

namespace vexil {

struct MidRange {
    size_t offset;
    size_t count;
};

// From the 1-based `start`, `count` items; a negative or oversized count means the rest, and a
// start outside the data gives nothing.
inline MidRange midRange(size_t length, int32_t start, int32_t count) {
    const auto size = static_cast<int64_t>(length);
    int64_t offset = static_cast<int64_t>(start) - 1;
    if (offset < 0 || offset > size) offset = size;
    const int64_t rest = size - offset;
    int64_t n = count;
    if (n < 0 || n > rest) n = rest;
    return {static_cast<size_t>(offset), static_cast<size_t>(n)};
}

} // namespace vexil
