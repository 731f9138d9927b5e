// RUNAS and RUNASWAIT: RUN as another user.
#include "library/logon_start.h"

namespace vexil {

namespace {

std::wstring systemDirectory() {
    wchar_t folder[MAX_PATH + 1];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH + 1);
    return n > 0 && n <= MAX_PATH ? std::wstring(folder, n) : std::wstring();
}

int runAs(BuiltinContext& context, BuiltinArgs args, Variant& result, bool wait) {
    Credentials credentials;
    credentials.user = textArg(args, 0).view();
    credentials.domain = textArg(args, 1).view();
    credentials.password = textArg(args, 2).view();
    credentials.logonFlags = static_cast<uint32_t>(args[3].dereferenced().toInt32());
    // The call's own copies of the secrets go at once.
    for (size_t i = 0; i < 3; ++i) args[i] = Variant::string(WString());
    StartArguments arguments = readStartArguments(args, 4);
    if (arguments.workingDir.empty()) arguments.workingDir = systemDirectory();
    if (context.fenced()) return context.fail(result, Variant::int32(0));
    ProgramStart start(arguments);
    DWORD error = 0;
    const bool created = startAsUser(credentials, start, error);
    return start.finish(context, created, error, wait, result);
}

} // namespace

int builtinRunAs(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return runAs(context, args, result, false);
}

int builtinRunAsWait(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return runAs(context, args, result, true);
}

} // namespace vexil
