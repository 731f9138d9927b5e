// SHELLEXECUTE and SHELLEXECUTEWAIT: a file opened (or printed, edited...) the way the shell does.
#include "library/program_start.h"

#include <shellapi.h>

#include <string>

namespace vexil {

namespace {

struct ShellArguments {
    std::wstring file;
    std::wstring parameters;
    std::wstring workingDir;
    std::wstring verb;
    int show = SW_SHOWNORMAL;
};

ShellArguments readShellArguments(BuiltinArgs args) {
    ShellArguments shell;
    shell.file = textArg(args, 0).view();
    if (given(args, 1)) shell.parameters = textArg(args, 1).view();
    if (given(args, 2)) shell.workingDir = textArg(args, 2).view();
    if (given(args, 3)) shell.verb = textArg(args, 3).view();
    shell.show = optInt(args, 4, SW_SHOWNORMAL);
    return shell;
}

const wchar_t* orNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// PID (as a Double) or -1 when the shell handed the file to a program already running; with
// `wait`, the exit code. A failure is @ERROR 1 and no box: the shell shows none of its own.
int shellExecute(BuiltinContext& context, BuiltinArgs args, Variant& result, bool wait) {
    const ShellArguments shell = readShellArguments(args);
    if (context.fenced()) return context.fail(result, Variant::int32(0));
    context.ensureOle();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = shell.file.c_str();
    info.lpParameters = orNull(shell.parameters);
    info.lpDirectory = orNull(shell.workingDir);
    info.lpVerb = orNull(shell.verb);
    info.nShow = shell.show;
    if (!ShellExecuteExW(&info)) return context.fail(result, Variant::int32(0));
    if (!info.hProcess) {
        result = Variant::int32(-1);
        return 0;
    }
    if (wait) return awaitExitCode(context, info.hProcess, result);
    result = Variant::real(static_cast<double>(GetProcessId(info.hProcess)));
    CloseHandle(info.hProcess);
    return 0;
}

} // namespace

int builtinShellExecute(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return shellExecute(context, args, result, false);
}

int builtinShellExecuteWait(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return shellExecute(context, args, result, true);
}

} // namespace vexil
