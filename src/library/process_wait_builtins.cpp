// PROCESSWAIT and PROCESSWAITCLOSE: wait states until a named process appears or ends, with an
// optional time-out in seconds.
#include "library/process_end_watch.h"
#include "engine/builtins/builtin_api.h"

#include <span>
#include <string>

namespace vexil {

namespace {

// The number 0 names no process.
bool namesNothing(const Variant& process) { return process.isNumber() && process.toDouble() == 0; }

} // namespace

int builtinProcessWait(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const Variant& process = args[0].dereferenced();
    if (namesNothing(process)) return context.fail(result, Variant::int32(0));
    const std::wstring name(process.text().view());
    const int64_t timeout = timeoutSecondsArg(args, 1);
    uint32_t found = 0;
    const auto appeared = [&] { return (found = findProcess(name).processId) != 0; };
    if (context.waitUntil(appeared, timeout) != WaitOutcome::Satisfied) {
        result = Variant::int32(0);
        return 0;
    }
    result = Variant::real(static_cast<double>(found));
    context.pauseAfterWait();
    return 0;
}

int builtinProcessWaitClose(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const Variant& process = args[0].dereferenced();
    if (namesNothing(process)) return context.fail(result, Variant::int32(0));
    const int64_t timeout = timeoutSecondsArg(args, 1);
    ProcessEntry running = findProcess(process.text().view());
    if (!running.processId) {
        context.setExtended(Variant::int32(ProcessEndWatch::kUnknownExitCode));
        return 0;
    }
    const ProcessEndWatch watch(std::move(running));
    void* const handles[] = {watch.handle()};
    const auto ended = [&] { return watch.ended(); };
    if (context.waitUntil(ended, timeout, std::span(handles, watch.handle() ? 1 : 0)) != WaitOutcome::Satisfied) {
        result = Variant::int32(0);
        return 0;
    }
    context.setExtended(Variant::int32(watch.exitCode()));
    context.pauseAfterWait();
    return 0;
}

} // namespace vexil
