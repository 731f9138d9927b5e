#pragma once
// An engine holding a script loaded from a file, checked and ready to run; errors are reported
// on standard output.
#include "engine/engine.h"
#include "engine/front/loader.h"
#include "engine/startup_state.h"

#include <gtest/gtest.h>

#include <string>

struct LoadedScript {
    vexil::StartupState startup;
    vexil::Engine engine{startup};
    vexil::ScriptLoader loader{engine};

    explicit LoadedScript(const std::wstring& path) {
        startup.errorsToStdout = true;
        engine.setLoader(&loader);
        vexil::SourceKind kind = vexil::SourceKind::NamedFile;
        EXPECT_TRUE(loader.loadScript(path, kind));
        EXPECT_TRUE(loader.tokeniseAll());
        engine.setScript(kind, path);
        EXPECT_TRUE(engine.checkBlocks());
        EXPECT_TRUE(engine.buildFunctionTable());
    }
};
