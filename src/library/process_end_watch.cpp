#include "library/process_end_watch.h"

#include <windows.h>

#include <utility>

namespace vexil {

ProcessEndWatch::ProcessEndWatch(ProcessEntry process, bool mayOpen) : process_(std::move(process)) {
    if (mayOpen) handle_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_.processId);
}

ProcessEndWatch::~ProcessEndWatch() {
    if (handle_) CloseHandle(handle_);
}

bool ProcessEndWatch::ended() const {
    if (handle_) return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0;
    return !processListed(process_.processId, process_.exeName);
}

int32_t ProcessEndWatch::exitCode() const {
    DWORD code = 0;
    if (!handle_ || !GetExitCodeProcess(handle_, &code)) return kUnknownExitCode;
    return static_cast<int32_t>(code);
}

} // namespace vexil
