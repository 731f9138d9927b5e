#pragma once
// The tray menu's built-in entries, as the main window receives their commands.
#include <windows.h>

namespace vexil {

struct StartupState;

constexpr UINT kTrayExitCommand = 3;
constexpr UINT kTrayPauseCommand = 4;

// True when the command was the tray's own.
bool handleTrayCommand(StartupState& startup, WPARAM wParam);

} // namespace vexil
