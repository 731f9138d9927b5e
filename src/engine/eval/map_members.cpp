// Map methods written as members: $m.Remove(key), $m.Keys(), $m.Exists(key), $m.Append(value).
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/values/containers.h"

namespace vexil {

int Engine::mapMethod(Variant& map, std::wstring_view name, BuiltinArgs args, int column, Variant& result) {
    const bool oneArgument = args.size() == 1;
    if (name == L"KEYS" && args.empty()) {
        result = mapKeys(mapBody(map));
    } else if (name == L"EXISTS" && oneArgument) {
        result = Variant::int32(mapFind(mapBody(map), args[0]) ? 1 : 0);
    } else if (name == L"REMOVE" && oneArgument) {
        result = Variant::int32(mapRemove(writableMap(map), args[0]) ? 1 : 0);
    } else if (name == L"APPEND" && oneArgument) {
        int32_t key = 0;
        if (mapAppend(writableMap(map), args[0], key)) {
            result = Variant::int32(key);
        } else {
            result = Variant::int32(0);
            status().setError(1);
        }
    } else {
        return reportRuntimeError(MessageId::ObjectActionFailed, column);
    }
    return 0;
}

} // namespace vexil
