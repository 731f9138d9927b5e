// The program's own standard streams: CONSOLEWRITE and CONSOLEWRITEERROR.
#include "engine/builtins.h"
#include "engine/engine.h"
#include "engine/startup_state.h"
#include "library/console_streams.h"

#include <windows.h>

namespace vexil {

namespace {

int consoleWrite(Engine& engine, const Variant& data, Variant& result, FILE* stream) {
    std::string bytes = data.is(VarKind::Binary) ? data.binaryRecord()->bytes : ansiBytes(data.text());
    size_t written = writeBytes(stream, bytes);
    if (engine.startup().debugOutput) OutputDebugStringW(data.text().c_str());
    result = Variant::int32(static_cast<int32_t>(written));
    return 0;
}

} // namespace

int builtinConsoleWrite(Engine& engine, BuiltinArgs args, Variant& result) {
    return consoleWrite(engine, args[0], result, stdout);
}

int builtinConsoleWriteError(Engine& engine, BuiltinArgs args, Variant& result) {
    return consoleWrite(engine, args[0], result, stderr);
}

} // namespace vexil
