#include "app/entry.h"

#include "app/command_line.h"
#include "app/elevation.h"
#include "app/main_window.h"
#include "base/paths.h"
#include "engine/engine.h"
#include "engine/front/loader.h"
#include "engine/front/script_container.h"
#include "engine/os_info.h"
#include "engine/startup_state.h"

namespace vexil {

namespace {

// Lets the script bring windows to the foreground for the length of the run.
class ForegroundLockTimeout {
public:
    ForegroundLockTimeout() {
        SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved_, 0);
        SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    }
    ~ForegroundLockTimeout() {
        SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(saved_)),
                              SPIF_SENDCHANGE);
    }

private:
    DWORD saved_ = 0;
};

bool prepareLines(ScriptLoader& loader, Engine& engine) {
    return loader.tokeniseAll() && engine.checkBlocks() && engine.buildFunctionTable();
}

void runLoadedScript(HINSTANCE instance, StartupState& startup, Engine& engine) {
    if (!registerMainWindowClass(instance)) return;
    HWND window = createMainWindow(instance, startup, engine);
    engine.setMainWindow(window);
    engine.runScript();
    engine.setMainWindow(nullptr);
    destroyMainWindow(window);
}

void runScript(HINSTANCE instance, StartupState& startup, Engine& engine, ScriptLoader& loader) {
    std::wstring savedDirectory = currentDirectory();

    ScriptContainer own;
    bool packaged = own.open(startup.programPath);
    bool forbidden = packaged && own.find(kNoCmdExecuteEntryName) != nullptr;
    own.close();
    parseCommandLine(startup.argumentText, packaged, forbidden, startup, engine);

    SourceKind kind = startup.sourceKind;
    loader.setErrorsToStdout(startup.errorsToStdout);
    if (kind == SourceKind::Refused) {
        startup.exitCode = -1;
    } else {
        bool loaded = true;
        if (kind == SourceKind::Line) {
            loader.addLine(1, startup.lineText, -1);
        } else {
            // With no script named the loader asks for one: the open-file dialog browses the shell.
            if (startup.scriptPath.empty()) engine.ole().ensure();
            loaded = loader.loadScript(startup.scriptPath, kind);
            startup.noTrayIcon = startup.noTrayIcon || loader.noTrayIcon();
        }
        // The path values come first: errors found while preparing a command-line line name them.
        if (loaded) engine.setScript(kind, kind == SourceKind::Line ? startup.programPath : loader.loadedPath());
        if (!loaded || !prepareLines(loader, engine)) {
            startup.exitCode = 1;
        } else {
            if (loader.requireAdmin() && !startup.elevationMarker && !isAdministratorsMember()) {
                std::wstring parameters = L"!";
                parameters += loader.pathFromDialog() ? L"\"" + loader.loadedPath() + L"\"" : startup.argumentText;
                engine.ole().ensure(); // the shell may hand the start to an extension
                relaunchElevated(startup.programPath, parameters, savedDirectory);
            } else {
                runLoadedScript(instance, startup, engine);
            }
        }
        loader.reset();
    }
    SetCurrentDirectoryW(savedDirectory.c_str());
}

} // namespace

int runEntryFunction(HINSTANCE instance, std::wstring_view argumentText, const OsInfo& os, StartupState& startup,
                     Engine& engine, ScriptLoader& loader) {
    if (!os.supported) return 1;
    startup.exitCode = 0;
    startup.exitMethod = ExitMethod::Natural;
    startup.programPath = programPath();
    startup.argumentText.assign(argumentText);
    {
        ForegroundLockTimeout foreground;
        runScript(instance, startup, engine, loader);
    }
    return startup.exitCode;
}

} // namespace vexil
