// "Exit" asks the run to end as a close request does; "Script Paused" toggles the pause.
#include "runtime/tray_commands.h"

#include "engine/startup_state.h"

namespace vexil {

bool handleTrayCommand(StartupState& startup, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case kTrayExitCommand:
        startup.exitMethod = ExitMethod::TrayExit;
        startup.closeRequested = 1;
        return true;
    case kTrayPauseCommand:
        startup.paused = !startup.paused;
        // Keeps a double click on the entry from pausing and resuming at once.
        Sleep(500);
        return true;
    default:
        return false;
    }
}

} // namespace vexil
