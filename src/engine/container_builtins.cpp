// Built-ins of arrays and maps: UBOUND, MAPAPPEND, MAPEXISTS, MAPKEYS, MAPREMOVE.
#include "engine/builtins.h"
#include "engine/containers.h"
#include "engine/engine.h"

// They take their arguments by reference: the script's own array or map, never a copy.
namespace vexil {

namespace {

int softFailure(Engine& engine, Variant& result, int error) {
    result = Variant::int32(0);
    engine.status().setError(error);
    return 0;
}

} // namespace

int builtinUBound(Engine& engine, BuiltinArgs args, Variant& result) {
    Variant& value = args[0].dereferenced();
    if (const ArrayBody* array = arrayBody(value)) {
        int32_t size = dimensionSize(array, args.size() > 1 ? args[1].dereferenced().toInt32() : 1);
        result = Variant::int32(size);
        if (size == 0 && args.size() > 1) engine.status().setError(2);
        return 0;
    }
    if (const MapBody* map = mapBody(value)) {
        result = Variant::int32(static_cast<int32_t>(mapSize(map)));
        return 0;
    }
    return softFailure(engine, result, 1);
}

int builtinMapAppend(Engine& engine, BuiltinArgs args, Variant& result) {
    MapBody* map = writableMap(args[0].dereferenced());
    int32_t key = 0;
    if (!map || !mapAppend(map, args[1].dereferenced(), key)) return softFailure(engine, result, 1);
    result = Variant::int32(key);
    return 0;
}

int builtinMapExists(Engine& engine, BuiltinArgs args, Variant& result) {
    MapBody* map = mapBody(args[0].dereferenced());
    if (!map) return softFailure(engine, result, 1);
    result = Variant::int32(mapFind(map, args[1].dereferenced()) ? 1 : 0);
    return 0;
}

int builtinMapKeys(Engine& engine, BuiltinArgs args, Variant& result) {
    MapBody* map = mapBody(args[0].dereferenced());
    if (!map || mapSize(map) == 0) engine.status().setError(1);
    result = map ? mapKeys(map) : arrayOf({});
    return 0;
}

int builtinMapRemove(Engine& engine, BuiltinArgs args, Variant& result) {
    MapBody* map = writableMap(args[0].dereferenced());
    if (!map) return softFailure(engine, result, 1);
    result = Variant::int32(mapRemove(map, args[1].dereferenced()) ? 1 : 0);
    return 0;
}

} // namespace vexil
