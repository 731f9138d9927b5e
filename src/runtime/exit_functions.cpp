// Exit functions: registered by name, run once when the script ends, the last registered first.
#include "engine/builtins.h"
#include "engine/engine.h"
#include "engine/startup_state.h"

#include <algorithm>

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

int builtinOnExitRegister(Engine& engine, BuiltinArgs args, Variant& result) {
    std::wstring name = upperCase(args[0].text().view());
    if (!engine.findFunction(name)) {
        result = Variant::int32(0);
        return 0;
    }
    auto& list = engine.exitFunctions();
    if (std::find(list.begin(), list.end(), name) != list.end()) engine.status().setExtended(Variant::int32(1));
    else list.push_back(std::move(name));
    return 0;
}

int builtinOnExitUnregister(Engine& engine, BuiltinArgs args, Variant& result) {
    std::wstring name = upperCase(args[0].text().view());
    auto& list = engine.exitFunctions();
    auto found = std::find(list.begin(), list.end(), name);
    if (!engine.findFunction(name) || found == list.end()) {
        result = Variant::int32(0);
        return 0;
    }
    list.erase(found);
    return 0;
}

} // namespace vexil
