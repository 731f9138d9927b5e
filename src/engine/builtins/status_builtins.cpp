// Built-ins about values and call status: SETERROR, SETEXTENDED, VARGETTYPE.
#include "engine/builtins/builtin_api.h"

#include <string>

namespace vexil {

int builtinSetError(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    context.handBackError(args[0].toInt32());
    if (passed(args, 1)) context.handBackExtended(Variant::int32(args[1].toInt32()));
    if (passed(args, 2)) result = args[2];
    return 0;
}

int builtinSetExtended(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    context.handBackExtended(Variant::int32(args[0].toInt32()));
    if (passed(args, 1)) result = args[1];
    return 0;
}

int builtinVarGetType(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const char* name = args[0].kindName();
    result = Variant::string(WString(std::wstring(name, name + std::char_traits<char>::length(name))));
    return 0;
}

} // namespace vexil
