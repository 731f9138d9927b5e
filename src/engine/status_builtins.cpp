// Built-ins about values and call status: SETERROR, SETEXTENDED, VARGETTYPE.
#include "engine/builtins.h"
#include "engine/engine.h"

namespace vexil {

int builtinSetError(Engine& engine, BuiltinArgs args, Variant& result) {
    CallStatus& status = engine.status();
    status.handBackError(args[0].toInt32());
    if (args.size() > 1) status.handBackExtended(Variant::int32(args[1].toInt32()));
    if (args.size() > 2) result = args[2];
    return 0;
}

int builtinSetExtended(Engine& engine, BuiltinArgs args, Variant& result) {
    engine.status().handBackExtended(Variant::int32(args[0].toInt32()));
    if (args.size() > 1) result = args[1];
    return 0;
}

int builtinVarGetType(Engine&, BuiltinArgs args, Variant& result) {
    const char* name = args[0].kindName();
    result = Variant::string(WString(std::wstring(name, name + std::char_traits<char>::length(name))));
    return 0;
}

} // namespace vexil
