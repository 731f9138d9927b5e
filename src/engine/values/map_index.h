#pragma once
// The key index of a map: open addressing over one flat table of one-word slots (an entry's address
// with some bits of its hash), so a lookup touches the table and the entry it finds, not a chain
// of nodes.
#include <cstdint>
#include <string_view>
#include <vector>

namespace vexil {

struct MapEntry;

class MapIndex {
public:
    static uint64_t hashText(std::wstring_view key) {
        uint64_t h = 0xcbf29ce484222325ull;
        for (wchar_t c : key) h = (h ^ static_cast<uint16_t>(c)) * 0x100000001b3ull;
        return mix(h);
    }
    static uint64_t hashNumber(int32_t key) { return mix(static_cast<uint64_t>(static_cast<uint32_t>(key)) ^ 0x9e3779b97f4a7c15ull); }

    MapEntry* find(std::wstring_view key) const;
    MapEntry* find(int32_t key) const;
    void insert(MapEntry* entry);
    void erase(const MapEntry* entry);
    void reserve(size_t count);

private:
    // A slot is one word: the entry's address in the low 48 bits (the most a user-mode address
    // takes) and the top 16 bits of the key's hash above it, so that a lookup reads 8 bytes a
    // probe and looks at an entry only when those bits agree. 0: never used.
    using Slot = uint64_t;
    static constexpr uint64_t kAddressBits = (uint64_t{1} << 48) - 1;
    static constexpr Slot kRemoved = alignof(uint64_t); // a removed entry's slot: no entry lies there
    static uint64_t mix(uint64_t h) {
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        return h;
    }
    static Slot slotOf(uint64_t hash, const MapEntry* entry) {
        return (hash & ~kAddressBits) | (reinterpret_cast<uintptr_t>(entry) & kAddressBits);
    }
    static MapEntry* entryOf(Slot slot) { return reinterpret_cast<MapEntry*>(static_cast<uintptr_t>(slot & kAddressBits)); }
    template <class Matches> MapEntry* findSlot(uint64_t hash, Matches matches) const;
    static uint64_t hashOf(const MapEntry& entry);
    void place(Slot slot);
    void grow();

    std::vector<Slot> slots_; // a power of two in size, or empty
    size_t used_ = 0;         // live and removed slots
};

} // namespace vexil
