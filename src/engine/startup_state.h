#pragma once
// The process-wide start-up record: what the command line asked for and how the run ends.
#include "engine/front/source_kind.h"

#include <cstdint>
#include <string>

namespace vexil {

// How the run ended, as exit functions see it in @EXITMETHOD.
namespace ExitMethod {
constexpr int32_t Natural = 0;
constexpr int32_t ExitStatement = 1;
constexpr int32_t TrayExit = 2;
constexpr int32_t LogOff = 3;
constexpr int32_t Shutdown = 4;
} // namespace ExitMethod

struct StartupState {
    std::wstring scriptPath;  // the file to load
    std::wstring programPath; // this program's own full path
    std::wstring lineText;    // the code of /Vexil3ExecuteLine
    SourceKind sourceKind = SourceKind::OwnFile;
    bool noTrayIcon = false;
    bool errorsToStdout = false;
    bool debugOutput = false;
    bool elevationMarker = false; // the argument text began with "!" (an elevated relaunch)
    std::wstring argumentText;    // as this process received it
    int32_t exitCode = 0;
    int32_t exitMethod = ExitMethod::Natural;
    volatile long closeRequested = 0;
    volatile long paused = 0; // no line, Adlib or event function runs while set
    // The tray's state as macros read it.
    bool trayIconVisible = false;
    bool trayIconFlashing = false;
};

} // namespace vexil
