#pragma once
// Arrays (rectangular, up to 64 dimensions) and maps (String or Int32 keys in insertion order).
// Bodies are shared by copies and copied on the first change; a body that has handed out a
// reference to one of its elements is never shared again, so the reference always reaches the
// element the script sees.
#include "engine/values/map_index.h"
#include "engine/values/value.h"

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vexil {

constexpr int kMaxDimensions = 64;
constexpr int64_t kMaxElements = 16777216;

struct ContainerBody : HeapValue {
    bool unshareable = false; // a reference to an element may exist
};

struct ArrayBody final : ContainerBody {
    int dims = 0;
    std::array<int32_t, kMaxDimensions> sizes{};
    std::vector<Variant> elements; // row-major; untouched elements hold the empty String
};

struct MapEntry {
    bool isString;
    WString text;
    int32_t number;
    Variant value;
    size_t position = 0; // in the map's order
};

struct MapBody final : ContainerBody {
    int32_t largestIntKey = INT32_MIN;
    bool anyIntKey = false;
    // Insertion order. A removal leaves a hole (nullptr), closed when the order is next read, so
    // removing many keys stays linear.
    std::vector<std::unique_ptr<MapEntry>> order;
    size_t holes = 0;
    MapIndex index;
    // Removed entries that a reference may still point at stay here, so writes through it are harmless.
    std::vector<std::unique_ptr<MapEntry>> retired;
};

// A reference to a variable, or to an element whose body it keeps alive.
struct ReferenceRecord final : HeapValue {
    Variant* target = nullptr;
    HeapValue* owner = nullptr;
    ~ReferenceRecord() override;
    // Every by-reference argument makes one and drops it when the call returns: the blocks are
    // kept for the next call instead of going back to the heap.
    static void* operator new(size_t size);
    static void operator delete(void* block) noexcept;
};

// Array values.
// Makes `out` a new array of the given shape; false when it would be too large.
bool makeArray(Variant& out, const int32_t* sizes, int dims);
Variant arrayOf(std::vector<Variant> items); // one dimension
// Every element read and write goes through these two: inline.
inline ArrayBody* arrayBody(const Variant& v) {
    return v.is(VarKind::Array) ? static_cast<ArrayBody*>(v.heapValue()) : nullptr;
}
// The body of the array `v` holds, made its own first (copy on write).
ArrayBody* sharedArrayCopy(Variant& v);
inline ArrayBody* writableArray(Variant& v) {
    ArrayBody* body = arrayBody(v);
    if (!body || body->refs <= 1 || body->unshareable) return body;
    return sharedArrayCopy(v);
}
// The element at the subscripts, or nullptr when they do not address one.
inline Variant* arrayElement(ArrayBody* body, const int32_t* subscripts, int count) {
    if (!body || count != body->dims || body->dims == 0) return nullptr;
    size_t index = 0;
    for (int i = 0; i < count; ++i) {
        const int32_t size = body->sizes[static_cast<size_t>(i)];
        if (subscripts[i] < 0 || subscripts[i] >= size) return nullptr;
        index = index * static_cast<size_t>(size) + static_cast<size_t>(subscripts[i]);
    }
    return &body->elements[index];
}
int32_t dimensionSize(const ArrayBody* body, int dimension);

// Map values.
Variant newMap();
MapBody* mapBody(const Variant& v);
MapBody* writableMap(Variant& v);
// The entry of a key (a String key is a String, any other value an Int32); nullptr when absent.
MapEntry* mapFind(MapBody* body, const Variant& key);
MapEntry* mapFindString(MapBody* body, std::wstring_view key);
// The entry, inserted (empty) when absent.
MapEntry* mapInsert(MapBody* body, const Variant& key);
bool mapRemove(MapBody* body, const Variant& key);
size_t mapSize(const MapBody* body);
// The entries in insertion order, without holes.
const std::vector<std::unique_ptr<MapEntry>>& mapEntries(MapBody* body);
// The keys in insertion order, as an array value.
Variant mapKeys(MapBody* body);
// Appends under the next integer key; false when the largest key is the largest Int32.
bool mapAppend(MapBody* body, const Variant& value, int32_t& key);
Variant keyValue(const MapEntry& entry);

// Deep copy of a body, for copies of a body that may not be shared.
HeapValue* cloneContainer(const HeapValue* body, VarKind kind);

} // namespace vexil
