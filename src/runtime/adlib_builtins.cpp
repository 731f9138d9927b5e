// ADLIBREGISTER and ADLIBUNREGISTER: functions the service step calls periodically.
#include "base/wstring.h"
#include "engine/builtins/builtin_api.h"
#include "runtime/adlib_list.h"
#include "runtime/event_functions.h"

#include <windows.h>
#include <mmsystem.h>

namespace vexil {

int builtinAdlibRegister(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring name = upperCase(eventFunctionName(args[0]));
    if (!context.findFunction(name)) {
        result = Variant::int32(0);
        return 0;
    }
    const int32_t period = optInt(args, 1, 0);
    const uint32_t periodMs = period > 0 ? static_cast<uint32_t>(period) : AdlibList::kDefaultPeriodMs;
    if (adlibList(context).add(name, periodMs, timeGetTime())) context.setExtended(Variant::int32(1));
    return 0;
}

int builtinAdlibUnregister(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    AdlibList& list = adlibList(context);
    if (passed(args, 0)) {
        const std::wstring name = upperCase(eventFunctionName(args[0]));
        list.remove(&name);
    } else {
        list.remove(nullptr);
    }
    result = Variant::int32(list.live());
    return 0;
}

} // namespace vexil
