#pragma once
// A script file loaded, tokenised, checked and ready to run in an engine of its own, set up as
// vexil.exe sets one up, errors going to standard output. What happens between the set-up and the
// run (counting allocations, fencing the run) is the test's.
#include "engine/engine.h"
#include "engine/front/loader.h"
#include "engine/startup_state.h"

#include <string>

class PreparedRun {
public:
    explicit PreparedRun(const std::wstring& path) : startup_(quietStartup()), engine_(startup_), loader_(engine_) {
        engine_.setLoader(&loader_);
        vexil::SourceKind kind = vexil::SourceKind::NamedFile;
        ready_ = loader_.loadScript(path, kind) && loader_.tokeniseAll();
        engine_.setScript(kind, path);
        ready_ = ready_ && engine_.checkBlocks() && engine_.buildFunctionTable();
    }

    bool ready() const { return ready_; }
    vexil::Engine& engine() { return engine_; }
    // Runs the script; its exit code.
    int run() {
        engine_.runScript();
        return startup_.exitCode;
    }

private:
    static vexil::StartupState quietStartup() {
        vexil::StartupState startup;
        startup.errorsToStdout = true;
        return startup;
    }

    vexil::StartupState startup_;
    vexil::Engine engine_;
    vexil::ScriptLoader loader_;
    bool ready_ = false;
};
