#include "library/child_stdio.h"

#include <windows.h>

namespace vexil {

namespace {

constexpr DWORD kPipeBytes = 65536;

SECURITY_ATTRIBUTES inheritable() { return SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE}; }

// A pipe whose child end is inheritable and whose parent end is not.
bool makePipe(void*& readEnd, void*& writeEnd, bool childReads) {
    SECURITY_ATTRIBUTES attributes = inheritable();
    HANDLE r = nullptr, w = nullptr;
    if (!CreatePipe(&r, &w, &attributes, kPipeBytes)) return false;
    SetHandleInformation(childReads ? w : r, HANDLE_FLAG_INHERIT, 0);
    readEnd = r;
    writeEnd = w;
    return true;
}

HANDLE inheritableCopy(HANDLE handle) {
    HANDLE copy = nullptr;
    if (!handle || handle == INVALID_HANDLE_VALUE) return nullptr;
    HANDLE self = GetCurrentProcess();
    return DuplicateHandle(self, handle, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS) ? copy : nullptr;
}

HANDLE nulDevice() {
    SECURITY_ATTRIBUTES attributes = inheritable();
    HANDLE nul = CreateFileW(L"nul", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes,
                             OPEN_EXISTING, 0, nullptr);
    return nul == INVALID_HANDLE_VALUE ? nullptr : nul;
}

void closeHandle(void*& handle) {
    if (handle) CloseHandle(handle);
    handle = nullptr;
}

constexpr DWORD kOwnHandles[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

} // namespace

ChildStdio::ChildStdio(uint32_t streamFlags) {
    flags_ = streamFlags & StdioFlag::All;
    if (flags_ & StdioFlag::Inherit) flags_ = StdioFlag::Inherit;
    else if (flags_ & StdioFlag::Merged) flags_ |= StdioFlag::Output | StdioFlag::Error;
    if (!flags_) return;
    if (flags_ & StdioFlag::Input) makePipe(child_[0], parentInput_, true);
    if (flags_ & StdioFlag::Output) makePipe(parentOutput_, child_[1], false);
    if (flags_ & StdioFlag::Merged) child_[2] = inheritableCopy(child_[1]);
    else if (flags_ & StdioFlag::Error) makePipe(parentError_, child_[2], false);
    // The streams not taken over (a pipe that could not be made stays missing).
    for (int stream = 0; stream < 3; ++stream) {
        const bool own = (flags_ & StdioFlag::Inherit) || !(flags_ & (1u << stream));
        if (!own) continue;
        child_[stream] = inheritableCopy(GetStdHandle(kOwnHandles[stream]));
        if (!child_[stream]) child_[stream] = nulDevice();
    }
}

ChildStdio::~ChildStdio() {
    for (void*& handle : child_) closeHandle(handle);
    closeHandle(parentInput_);
    closeHandle(parentOutput_);
    closeHandle(parentError_);
}

std::unique_ptr<ChildStreamRecord> ChildStdio::started(uint32_t processId) {
    // The child holds its own copies now: once it closes them, the readers see the end.
    for (void*& handle : child_) closeHandle(handle);
    if (!parentInput_ && !parentOutput_ && !parentError_) return nullptr;
    auto record = std::make_unique<ChildStreamRecord>();
    record->processId = processId;
    record->flags = flags_;
    record->input = parentInput_;
    record->output = parentOutput_;
    record->error = parentError_;
    parentInput_ = parentOutput_ = parentError_ = nullptr;
    if (record->output) record->outputReader = std::make_unique<PipeReader>(record->output);
    if (record->error) record->errorReader = std::make_unique<PipeReader>(record->error);
    return record;
}

} // namespace vexil
