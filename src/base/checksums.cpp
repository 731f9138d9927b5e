#include "base/checksums.h"

#include <array>

namespace vexil {

namespace {

constexpr uint32_t kAdlerModulus = 65521;
// The most bytes whose sums cannot overflow 32 bits before they are reduced.
constexpr size_t kAdlerRun = 5552;

constexpr std::array<uint32_t, 256> makeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = makeCrcTable();

} // namespace

void Adler32::add(const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const size_t run = count < kAdlerRun ? count : kAdlerRun;
        for (size_t i = 0; i < run; ++i) {
            low_ += bytes[i];
            high_ += low_;
        }
        low_ %= kAdlerModulus;
        high_ %= kAdlerModulus;
        bytes += run;
        count -= run;
    }
}

void Crc32::add(const uint8_t* bytes, size_t count) {
    uint32_t c = state_;
    for (size_t i = 0; i < count; ++i) c = kCrcTable[(c ^ bytes[i]) & 0xFFu] ^ (c >> 8);
    state_ = c;
}

} // namespace vexil
