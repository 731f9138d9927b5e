// ONVEXILEXITREGISTER and ONVEXILEXITUNREGISTER: the list of exit functions, by upper-cased name.
#include "base/wstring.h"
#include "engine/builtins/builtin_api.h"

#include <algorithm>

namespace vexil {

int builtinOnExitRegister(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    std::wstring name = upperCase(textArg(args, 0).view());
    if (!context.findFunction(name)) {
        result = Variant::int32(0);
        return 0;
    }
    auto& list = context.exitFunctions();
    if (std::find(list.begin(), list.end(), name) != list.end()) context.setExtended(Variant::int32(1));
    else list.push_back(std::move(name));
    return 0;
}

int builtinOnExitUnregister(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    std::wstring name = upperCase(textArg(args, 0).view());
    auto& list = context.exitFunctions();
    auto found = std::find(list.begin(), list.end(), name);
    if (!context.findFunction(name) || found == list.end()) {
        result = Variant::int32(0);
        return 0;
    }
    list.erase(found);
    return 0;
}

} // namespace vexil
