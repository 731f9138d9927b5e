#include "engine/values/containers.h"

namespace vexil {

namespace {

constexpr size_t kKeptReferenceBlocks = 256;
thread_local std::vector<void*> keptReferenceBlocks;

} // namespace

void* ReferenceRecord::operator new(size_t size) {
    std::vector<void*>& kept = keptReferenceBlocks;
    if (!kept.empty()) {
        void* block = kept.back();
        kept.pop_back();
        return block;
    }
    if (kept.capacity() == 0) kept.reserve(kKeptReferenceBlocks); // so that keeping never allocates
    return ::operator new(size);
}

void ReferenceRecord::operator delete(void* block) noexcept {
    std::vector<void*>& kept = keptReferenceBlocks;
    if (kept.size() < kept.capacity()) kept.push_back(block);
    else ::operator delete(block);
}

ReferenceRecord::~ReferenceRecord() {
    if (owner && --owner->refs == 0) delete owner;
}

bool makeArray(Variant& out, const int32_t* sizes, int dims) {
    int64_t count = 1;
    for (int i = 0; i < dims; ++i) {
        count *= sizes[i] < 0 ? 0 : sizes[i];
        if (count > kMaxElements) return false;
    }
    auto* body = new ArrayBody;
    body->dims = dims;
    for (int i = 0; i < dims; ++i) body->sizes[static_cast<size_t>(i)] = sizes[i];
    body->elements.assign(static_cast<size_t>(count), Variant::string(WString()));
    out = Variant::container(VarKind::Array, body);
    return true;
}

Variant arrayOf(std::vector<Variant> items) {
    auto* body = new ArrayBody;
    body->dims = 1;
    body->sizes[0] = static_cast<int32_t>(items.size());
    body->elements = std::move(items);
    return Variant::container(VarKind::Array, body);
}

MapBody* mapBody(const Variant& v) { return v.is(VarKind::Map) ? static_cast<MapBody*>(v.heapValue()) : nullptr; }

namespace {

ArrayBody* cloneArray(const ArrayBody& from) {
    auto* body = new ArrayBody;
    body->dims = from.dims;
    body->sizes = from.sizes;
    body->elements = from.elements;
    return body;
}

MapBody* cloneMap(const MapBody& from) {
    auto* body = new MapBody;
    body->largestIntKey = from.largestIntKey;
    body->anyIntKey = from.anyIntKey;
    body->index.reserve(mapSize(&from));
    for (const auto& entry : from.order) {
        if (!entry) continue;
        auto copy = std::make_unique<MapEntry>(*entry);
        copy->position = body->order.size();
        body->index.insert(copy.get());
        body->order.push_back(std::move(copy));
    }
    return body;
}

} // namespace

HeapValue* cloneContainer(const HeapValue* body, VarKind kind) {
    if (kind == VarKind::Array) return cloneArray(*static_cast<const ArrayBody*>(body));
    return cloneMap(*static_cast<const MapBody*>(body));
}

namespace {

// Copy on write: a body that other handles share is copied for this one first.
template <class Body, class Clone> Body* makeWritable(Variant& v, Body* body, VarKind kind, Clone clone) {
    if (!body || body->refs <= 1 || body->unshareable) return body;
    Body* copy = clone(*body);
    v = Variant::container(kind, copy);
    return copy;
}

} // namespace

ArrayBody* sharedArrayCopy(Variant& v) { return makeWritable(v, arrayBody(v), VarKind::Array, cloneArray); }

MapBody* writableMap(Variant& v) { return makeWritable(v, mapBody(v), VarKind::Map, cloneMap); }

int32_t dimensionSize(const ArrayBody* body, int dimension) {
    if (dimension == 0) return body->dims;
    if (dimension < 1 || dimension > body->dims) return 0;
    return body->sizes[static_cast<size_t>(dimension - 1)];
}

Variant newMap() { return Variant::container(VarKind::Map, new MapBody); }

MapEntry* mapFindString(MapBody* body, std::wstring_view key) {
    return body->index.find(key);
}

MapEntry* mapFind(MapBody* body, const Variant& key) {
    if (key.is(VarKind::String)) return mapFindString(body, key.text().view());
    return body->index.find(key.toInt32());
}

MapEntry* mapInsert(MapBody* body, const Variant& key) {
    if (MapEntry* found = mapFind(body, key)) return found;
    auto entry = std::make_unique<MapEntry>();
    entry->isString = key.is(VarKind::String);
    entry->value = Variant::string(WString());
    MapEntry* raw = entry.get();
    if (entry->isString) {
        entry->text = key.text();
    } else {
        entry->number = key.toInt32();
        if (!body->anyIntKey || raw->number > body->largestIntKey) body->largestIntKey = raw->number;
        body->anyIntKey = true;
    }
    body->index.insert(raw);
    raw->position = body->order.size();
    body->order.push_back(std::move(entry));
    return raw;
}

bool mapRemove(MapBody* body, const Variant& key) {
    MapEntry* entry = mapFind(body, key);
    if (!entry) return false;
    body->index.erase(entry);
    std::unique_ptr<MapEntry>& slot = body->order[entry->position];
    if (body->unshareable) body->retired.push_back(std::move(slot));
    slot.reset();
    ++body->holes;
    return true;
}

size_t mapSize(const MapBody* body) { return body->order.size() - body->holes; }

const std::vector<std::unique_ptr<MapEntry>>& mapEntries(MapBody* body) {
    if (body->holes > 0) {
        auto& order = body->order;
        size_t kept = 0;
        for (auto& entry : order) {
            if (!entry) continue;
            entry->position = kept;
            order[kept++] = std::move(entry);
        }
        order.resize(kept);
        body->holes = 0;
    }
    return body->order;
}

Variant mapKeys(MapBody* body) {
    std::vector<Variant> keys;
    keys.reserve(mapSize(body));
    for (const auto& entry : mapEntries(body)) keys.push_back(keyValue(*entry));
    return arrayOf(std::move(keys));
}

bool mapAppend(MapBody* body, const Variant& value, int32_t& key) {
    if (body->anyIntKey && body->largestIntKey == INT32_MAX) return false;
    key = body->anyIntKey ? body->largestIntKey + 1 : 0;
    mapInsert(body, Variant::int32(key))->value = value;
    return true;
}

Variant keyValue(const MapEntry& entry) {
    return entry.isString ? Variant::string(entry.text) : Variant::int32(entry.number);
}

} // namespace vexil
