#pragma once
// The key index of a map: open addressing over one flat table of (hash, entry) slots, so a lookup
// touches the table and the entry it finds, not a chain of nodes.
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
    struct Slot {
        uint64_t hash = 0;
        MapEntry* entry = nullptr; // nullptr: never used; kRemoved: a removed entry's slot
    };
    static uint64_t mix(uint64_t h) {
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        return h;
    }
    static MapEntry* removed() { return reinterpret_cast<MapEntry*>(alignof(uint64_t)); }
    template <class Matches> MapEntry* findSlot(uint64_t hash, Matches matches) const;
    static uint64_t hashOf(const MapEntry& entry);
    void grow();

    std::vector<Slot> slots_; // a power of two in size, or empty
    size_t used_ = 0;         // live and removed slots
};

} // namespace vexil
