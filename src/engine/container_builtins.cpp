// Built-ins of arrays and maps: UBOUND, MAPAPPEND, MAPEXISTS, MAPKEYS, MAPREMOVE.
#include "engine/builtin_handlers.h"
#include "engine/containers.h"
#include "engine/engine.h"

namespace vexil {

namespace {

// These built-ins take their first argument by reference: the script's own array or map.
Variant& target(Variant& argument) { return argument.is(VarKind::Reference) ? *argument.referenceTarget() : argument; }

int softFailure(Engine& engine, Variant& result, int error) {
    result = Variant::int32(0);
    engine.status().error = error;
    return 0;
}

} // namespace

int builtinUBound(Engine& engine, BuiltinArgs args, Variant& result) {
    Variant& value = target(args[0]);
    if (const ArrayBody* array = arrayBody(value)) {
        int32_t size = dimensionSize(array, args.size() > 1 ? target(args[1]).toInt32() : 1);
        result = Variant::int32(size);
        if (size == 0 && args.size() > 1) engine.status().error = 2;
        return 0;
    }
    if (const MapBody* map = mapBody(value)) {
        result = Variant::int32(static_cast<int32_t>(map->order.size()));
        return 0;
    }
    return softFailure(engine, result, 1);
}

int builtinMapAppend(Engine& engine, BuiltinArgs args, Variant& result) {
    MapBody* map = writableMap(target(args[0]));
    int32_t key = 0;
    if (!map || !mapAppend(map, target(args[1]), key)) return softFailure(engine, result, 1);
    result = Variant::int32(key);
    return 0;
}

int builtinMapExists(Engine& engine, BuiltinArgs args, Variant& result) {
    MapBody* map = mapBody(target(args[0]));
    if (!map) return softFailure(engine, result, 1);
    result = Variant::int32(mapFind(map, target(args[1])) ? 1 : 0);
    return 0;
}

int builtinMapKeys(Engine& engine, BuiltinArgs args, Variant& result) {
    MapBody* map = mapBody(target(args[0]));
    std::vector<Variant> keys;
    if (map) {
        keys.reserve(map->order.size());
        for (const auto& entry : map->order) keys.push_back(keyValue(*entry));
    }
    if (keys.empty()) engine.status().error = 1;
    result = arrayOf(std::move(keys));
    return 0;
}

int builtinMapRemove(Engine& engine, BuiltinArgs args, Variant& result) {
    MapBody* map = writableMap(target(args[0]));
    if (!map) return softFailure(engine, result, 1);
    result = Variant::int32(mapRemove(map, target(args[1])) ? 1 : 0);
    return 0;
}

} // namespace vexil
