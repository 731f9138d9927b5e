// Built-ins of arrays and maps: UBOUND, MAPAPPEND, MAPEXISTS, MAPKEYS, MAPREMOVE.
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"

// They take their arguments by reference: the script's own array or map, never a copy.
namespace vexil {

int builtinUBound(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    Variant& value = args[0].dereferenced();
    if (const ArrayBody* array = arrayBody(value)) {
        int32_t size = dimensionSize(array, passedInt(args, 1, 1));
        result = Variant::int32(size);
        if (size == 0 && passed(args, 1)) context.setError(2);
        return 0;
    }
    if (const MapBody* map = mapBody(value)) {
        result = Variant::int32(static_cast<int32_t>(mapSize(map)));
        return 0;
    }
    return context.fail(result, Variant::int32(0));
}

int builtinMapAppend(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    MapBody* map = writableMap(args[0].dereferenced());
    int32_t key = 0;
    if (!map || !mapAppend(map, args[1].dereferenced(), key)) return context.fail(result, Variant::int32(0));
    result = Variant::int32(key);
    return 0;
}

int builtinMapExists(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    MapBody* map = mapBody(args[0].dereferenced());
    if (!map) return context.fail(result, Variant::int32(0));
    result = Variant::int32(mapFind(map, args[1].dereferenced()) ? 1 : 0);
    return 0;
}

int builtinMapKeys(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    MapBody* map = mapBody(args[0].dereferenced());
    if (!map || mapSize(map) == 0) context.setError(1);
    result = map ? mapKeys(map) : arrayOf({});
    return 0;
}

int builtinMapRemove(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    MapBody* map = writableMap(args[0].dereferenced());
    if (!map) return context.fail(result, Variant::int32(0));
    result = Variant::int32(mapRemove(map, args[1].dereferenced()) ? 1 : 0);
    return 0;
}

} // namespace vexil
