#pragma once
// Starting a program as RUN and RUNAS do: the arguments they share, the standard handles their
// option asks for, and what follows the start (the stream record, the PID, or the wait for the
// exit code). The caller creates the process in its own way from the prepared parts.
#include "library/child_stdio.h"
#include "engine/builtins/builtin_api.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace vexil {

// Program, working folder, show flag and option, from argument `first` on.
struct StartArguments {
    std::wstring commandLine;
    std::wstring workingDir; // empty: the caller's default
    uint16_t show = SW_SHOWNORMAL;
    uint32_t option = 0;
};
StartArguments readStartArguments(BuiltinArgs args, size_t first);

class ProgramStart {
public:
    explicit ProgramStart(const StartArguments& arguments);

    wchar_t* commandLine() { return commandLine_.data(); }
    const wchar_t* workingDir() const { return workingDir_.empty() ? nullptr : workingDir_.c_str(); }
    void setWorkingDir(std::wstring folder) { workingDir_ = std::move(folder); }
    BOOL inheritHandles() const { return stdio_.redirected() && stdio_.complete(); }
    DWORD creationFlags() const { return creationFlags_; }
    STARTUPINFOW& startup() { return startup_; }
    PROCESS_INFORMATION& info() { return info_; }

    // After the attempt: a failure gives 0 with @ERROR 1 and @EXTENDED the system's error code;
    // a start gives its PID as a Double, or, waiting, the program's exit code (Int32).
    int finish(BuiltinContext& context, bool created, DWORD error, bool wait, Variant& result);

private:
    std::wstring commandLine_;
    std::wstring workingDir_;
    ChildStdio stdio_;
    DWORD creationFlags_ = 0;
    STARTUPINFOW startup_{};
    PROCESS_INFORMATION info_{};
};

// A wait state until the process ends; the result becomes its exit code as Int32 (all 32 bits),
// or 0 when the run ends first. The handle is closed.
int awaitExitCode(BuiltinContext& context, HANDLE process, Variant& result);

} // namespace vexil
