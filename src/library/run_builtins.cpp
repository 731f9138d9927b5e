// RUN and RUNWAIT: a program started by its command line, in this program's environment.
#include "library/program_start.h"

namespace vexil {

namespace {

int run(BuiltinContext& context, BuiltinArgs args, Variant& result, bool wait) {
    const StartArguments arguments = readStartArguments(args, 0);
    if (context.fenced()) return context.fail(result, Variant::int32(0));
    ProgramStart start(arguments);
    const bool created = CreateProcessW(nullptr, start.commandLine(), nullptr, nullptr, start.inheritHandles(),
                                        start.creationFlags(), nullptr, start.workingDir(), &start.startup(),
                                        &start.info());
    return start.finish(context, created, created ? 0 : GetLastError(), wait, result);
}

} // namespace

int builtinRun(BuiltinContext& context, BuiltinArgs args, Variant& result) { return run(context, args, result, false); }

int builtinRunWait(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return run(context, args, result, true);
}

} // namespace vexil
