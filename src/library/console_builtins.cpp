// The program's own standard streams: CONSOLEWRITE and CONSOLEWRITEERROR.
#include "base/console_streams.h"
#include "engine/builtins/builtin_api.h"
#include "engine/startup_state.h"

#include <windows.h>

namespace vexil {

namespace {

int consoleWrite(BuiltinContext& context, const Variant& data, Variant& result, FILE* stream) {
    std::string bytes = data.is(VarKind::Binary) ? data.binaryRecord()->bytes : ansiBytes(data.text());
    size_t written = writeBytes(stream, bytes);
    if (context.startup().debugOutput) OutputDebugStringW(data.text().c_str());
    result = Variant::int32(static_cast<int32_t>(written));
    return 0;
}

} // namespace

int builtinConsoleWrite(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return consoleWrite(context, args[0], result, stdout);
}

int builtinConsoleWriteError(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return consoleWrite(context, args[0], result, stderr);
}

} // namespace vexil
