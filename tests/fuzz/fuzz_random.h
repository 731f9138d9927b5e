#pragma once
// The fuzzer's source of choices: small, fast and the same on every machine for a seed, so that
// a script is made again from its seed alone.
#include <cstdint>
#include <vector>

namespace vexil::fuzz {

class Random {
public:
    explicit Random(uint64_t seed) {
        // splitmix64 spreads any seed, 0 included, over the four words of xoshiro256**.
        for (uint64_t& word : state_) {
            seed += 0x9E3779B97F4A7C15ull;
            uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = z ^ (z >> 31);
        }
    }
    uint64_t next() {
        const uint64_t result = rotate(state_[1] * 5, 7) * 9;
        const uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = rotate(state_[3], 45);
        return result;
    }
    // In [0, bound); bound must be above 0.
    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(((next() >> 32) * bound) >> 32); }
    bool chance(uint32_t percent) { return below(100) < percent; }
    template <class T>
    const T& pick(const std::vector<T>& items) {
        return items[below(static_cast<uint32_t>(items.size()))];
    }

private:
    static uint64_t rotate(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    uint64_t state_[4];
};

} // namespace vexil::fuzz
