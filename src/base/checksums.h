#pragma once
// Running checksums over byte streams fed in pieces: Adler-32 (RFC 1950) and CRC-32 (the
// reflected polynomial 0xEDB88320, as zip and PNG use it).
#include <cstddef>
#include <cstdint>

namespace vexil {

class Adler32 {
public:
    void add(const uint8_t* bytes, size_t count);
    uint32_t value() const { return high_ << 16 | low_; }

private:
    uint32_t low_ = 1;
    uint32_t high_ = 0;
};

class Crc32 {
public:
    void add(const uint8_t* bytes, size_t count);
    uint32_t value() const { return ~state_; }

private:
    uint32_t state_ = 0xFFFFFFFFu;
};

} // namespace vexil
