#pragma once
// What a wait state waits for. The service step keeps running while it waits: window messages,
// close requests and pause are served between the checks.
#include <cstddef>
#include <cstdint>

namespace vexil {

enum class WaitOutcome : uint8_t {
    Satisfied, // the check held, or (without a check) a handle was signalled
    TimedOut,
    RunEnded, // a close request or the end of the run cut the wait short
};

struct WaitCondition {
    static constexpr int64_t kNoTimeout = -1;
    // System handles (HANDLEs, at most 63) whose signal wakes the wait at once, so that it need
    // not sleep out the rest of a pass. A handle that stays signalled while the check does not
    // hold wakes every pass at once: the check should look at what its handles stand for.
    void* const* handles = nullptr;
    size_t handleCount = 0;
    // Run once a pass: true ends the wait. Without one, a signalled handle ends it.
    bool (*check)(void* state) = nullptr;
    void* state = nullptr;
    // Milliseconds from the start of the wait; kNoTimeout (any negative value) waits for ever.
    int64_t timeoutMs = kNoTimeout;
};

} // namespace vexil
