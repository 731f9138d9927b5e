#pragma once
// Watching a running process for its end: through a handle when the process can be opened, else
// through the process list, where it is gone once its id is no longer listed under its name (a
// process this program may not open is still never taken for ended while it runs).
#include "library/process_lookup.h"

#include <cstdint>

namespace vexil {

class ProcessEndWatch {
public:
    // `mayOpen` false watches through the list only.
    explicit ProcessEndWatch(ProcessEntry process, bool mayOpen = true);
    ~ProcessEndWatch();
    ProcessEndWatch(const ProcessEndWatch&) = delete;
    ProcessEndWatch& operator=(const ProcessEndWatch&) = delete;

    // The process handle to wake a wait with, or nullptr.
    void* handle() const { return handle_; }
    bool ended() const;
    // Once ended: the exit code read from the handle, or 0xCCCCCCCC when there is none.
    int32_t exitCode() const;

    static constexpr int32_t kUnknownExitCode = static_cast<int32_t>(0xCCCCCCCCu);

private:
    ProcessEntry process_;
    void* handle_ = nullptr;
};

} // namespace vexil
