// Exit functions run once when the script ends, the last registered first (ONVEXILEXITREGISTER
// registers them).
#include "engine/engine.h"
#include "engine/startup_state.h"

namespace vexil {

void Engine::exitProcessing() {
    // Windows ending the session runs this at once; the end of the run must not run it again.
    if (exitProcessed_) return;
    exitProcessed_ = true;
    setGlobal(L"@EXITCODE", Variant::int32(startup_.exitCode));
    setGlobal(L"@EXITMETHOD", Variant::int32(startup_.exitMethod));
    runState_ = RunState::Running;
    startup_.paused = 0;
    // A copy: an exit function may unregister others while the list is walked.
    const std::vector<std::wstring> names = exitFunctions_;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (const UserFunction* f = findFunction(*it)) {
            Variant ignored;
            runCallback(*f, ignored);
        }
    }
    runState_ = RunState::Ending;
}

} // namespace vexil
