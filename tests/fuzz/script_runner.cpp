#include "script_runner.h"

#include "engine/engine.h"
#include "engine/front/loader.h"
#include "engine/os_info.h"
#include "engine/startup_state.h"

namespace vexil::fuzz {

RunOutcome runScriptFile(const std::wstring& path, const RunBudget& budget) {
    static const OsInfo os = readOsInfo();
    // Built and torn down in the order vexil.exe uses, fresh for every script.
    StartupState startup;
    startup.errorsToStdout = true; // an error must never wait for a message box to be closed
    startup.noTrayIcon = true;
    startup.sourceKind = SourceKind::TextFile;
    startup.scriptPath = path;
    Engine engine(startup);
    ScriptLoader loader(engine);
    engine.setLoader(&loader);
    engine.setOsInfo(&os);
    engine.setCommandLine(L"\"" + path + L"\"", {});
    loader.setErrorsToStdout(true);
    SourceKind kind = SourceKind::TextFile;
    RunOutcome outcome = RunOutcome::LoadFailed;
    if (loader.loadScript(path, kind)) {
        engine.setScript(kind, loader.loadedPath());
        if (loader.tokeniseAll() && engine.checkBlocks() && engine.buildFunctionTable()) {
            engine.setRunBudget(budget.lines, budget.milliseconds);
            engine.setFenced(true);
            engine.runScript();
            outcome = RunOutcome::Ended;
        }
    }
    loader.reset();
    return outcome;
}

} // namespace vexil::fuzz
