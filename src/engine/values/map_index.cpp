#include "engine/values/map_index.h"

#include "engine/values/containers.h"

namespace vexil {

template <class Matches> MapEntry* MapIndex::findSlot(uint64_t hash, Matches matches) const {
    if (slots_.empty()) return nullptr;
    const size_t mask = slots_.size() - 1;
    const uint64_t tag = hash & ~kAddressBits;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot slot = slots_[i];
        if (!slot) return nullptr;
        if ((slot & ~kAddressBits) == tag && slot != kRemoved && matches(*entryOf(slot))) return entryOf(slot);
    }
}

MapEntry* MapIndex::find(std::wstring_view key) const {
    return findSlot(hashText(key), [key](const MapEntry& e) { return e.isString && e.text.view() == key; });
}

MapEntry* MapIndex::find(int32_t key) const {
    return findSlot(hashNumber(key), [key](const MapEntry& e) { return !e.isString && e.number == key; });
}

uint64_t MapIndex::hashOf(const MapEntry& entry) {
    return entry.isString ? hashText(entry.text.view()) : hashNumber(entry.number);
}

void MapIndex::place(Slot slot) {
    const size_t mask = slots_.size() - 1;
    size_t i = hashOf(*entryOf(slot)) & mask;
    while (slots_[i]) i = (i + 1) & mask;
    slots_[i] = slot;
    ++used_;
}

void MapIndex::insert(MapEntry* entry) {
    // At most three quarters full, removed slots included, so every probe ends at an empty slot.
    if ((used_ + 1) * 4 > slots_.size() * 3) grow();
    place(slotOf(hashOf(*entry), entry));
}

void MapIndex::erase(const MapEntry* entry) {
    if (slots_.empty()) return;
    const size_t mask = slots_.size() - 1;
    for (size_t i = hashOf(*entry) & mask; slots_[i]; i = (i + 1) & mask) {
        if (slots_[i] != kRemoved && entryOf(slots_[i]) == entry) {
            slots_[i] = kRemoved;
            return;
        }
    }
}

void MapIndex::reserve(size_t count) {
    while (count * 4 > slots_.size() * 3) grow();
}

void MapIndex::grow() {
    std::vector<Slot> old = std::move(slots_);
    size_t size = old.empty() ? 16 : old.size();
    size_t live = 0;
    for (Slot slot : old)
        if (slot && slot != kRemoved) ++live;
    // Doubles when mostly live; a table full of removed slots is rebuilt at its size.
    if ((live + 1) * 2 > size) size *= 2;
    slots_.assign(size, Slot{});
    used_ = 0;
    for (Slot slot : old)
        if (slot && slot != kRemoved) place(slot);
}

} // namespace vexil
