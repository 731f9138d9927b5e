#pragma once
// What the main window receives for the tray: the icon's mouse notifications and the menu's
// commands.
#include "engine/builtins/builtin_api.h"

#include <windows.h>

namespace vexil {

constexpr UINT kTrayExitCommand = 3;
constexpr UINT kTrayPauseCommand = 4;

// True when the command was the tray's.
bool handleTrayCommand(BuiltinContext& context, WPARAM wParam, LPARAM lParam);
// A mouse action on the icon: its event queued and, when the action opens it, the menu shown.
void handleTrayNotification(BuiltinContext& context, LPARAM lParam);

} // namespace vexil
