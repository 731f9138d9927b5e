#include "library/program_start.h"

namespace vexil {

namespace {

constexpr uint32_t kNewConsole = 0x10000;

} // namespace

StartArguments readStartArguments(BuiltinArgs args, size_t first) {
    StartArguments start;
    start.commandLine = textArg(args, first).view();
    if (given(args, first + 1)) start.workingDir = textArg(args, first + 1).view();
    start.show = static_cast<uint16_t>(optInt(args, first + 2, SW_SHOWNORMAL));
    start.option = static_cast<uint32_t>(optInt(args, first + 3, 0));
    return start;
}

ProgramStart::ProgramStart(const StartArguments& arguments)
    : commandLine_(arguments.commandLine), workingDir_(arguments.workingDir), stdio_(arguments.option & 0xFFFF) {
    startup_.cb = sizeof(startup_);
    startup_.dwFlags = STARTF_USESHOWWINDOW;
    startup_.wShowWindow = arguments.show;
    if (inheritHandles()) {
        startup_.dwFlags |= STARTF_USESTDHANDLES;
        startup_.hStdInput = stdio_.childHandle(0);
        startup_.hStdOutput = stdio_.childHandle(1);
        startup_.hStdError = stdio_.childHandle(2);
    }
    if (arguments.option & kNewConsole) creationFlags_ |= CREATE_NEW_CONSOLE;
}

int ProgramStart::finish(BuiltinContext& context, bool created, DWORD error, bool wait, Variant& result) {
    if (!created) {
        context.setExtended(Variant::int32(static_cast<int32_t>(error)));
        return context.fail(result, Variant::int32(0));
    }
    CloseHandle(info_.hThread);
    if (inheritHandles())
        if (auto record = stdio_.started(info_.dwProcessId)) context.childStreams().add(std::move(record));
    if (wait) return awaitExitCode(context, info_.hProcess, result);
    CloseHandle(info_.hProcess);
    result = Variant::real(static_cast<double>(info_.dwProcessId));
    return 0;
}

int awaitExitCode(BuiltinContext& context, HANDLE process, Variant& result) {
    void* const handles[] = {process};
    DWORD code = 0;
    if (context.waitForHandles(handles, WaitCondition::kNoTimeout) != WaitOutcome::Satisfied ||
        !GetExitCodeProcess(process, &code))
        code = 0;
    CloseHandle(process);
    result = Variant::int32(static_cast<int32_t>(code));
    return 0;
}

} // namespace vexil
