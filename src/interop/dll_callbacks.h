#pragma once
// The callbacks a script registered, under the numbers it holds (slot index + 1, the lowest free
// slot reused); their closures are released by DLLCALLBACKFREE or when the run's engine goes.
#include "engine/builtins/run_resources.h"
#include "interop/native_callback.h"

#include <memory>
#include <vector>

namespace vexil {

class Variant;

class DllCallbacks final : public RunResource {
public:
    static constexpr RunResourceKind kKind = RunResourceKind::DllCallbacks;

    int add(std::unique_ptr<NativeCallback> callback);
    // The callback a script's handle names, or nullptr.
    NativeCallback* find(const Variant& handle) const;
    // Frees the slot; false for a handle that names no callback. A callback freed from inside
    // itself keeps its closure until native code has left it.
    bool free(const Variant& handle);

private:
    void dropLeftClosures();

    std::vector<std::unique_ptr<NativeCallback>> slots_;
    std::vector<std::unique_ptr<NativeCallback>> freedWhileRunning_;
};

} // namespace vexil
