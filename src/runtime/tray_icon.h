#pragma once
// The icon in the notification area: shown, hidden, its tooltip, its balloon tips and the
// 750 ms tick that makes it flash and shows the pause icon.
#include "runtime/tray_state.h"

namespace vexil {

// An icon named by the script: "blank", a system icon's name, or a file's icon; none for "".
TrayIconImage trayIconByName(const TrayState& tray, const std::wstring& name, int32_t number);
// The script's icon numbers: -1 the first icon of the file, -2 the second..., 1 the first too;
// other numbers are resource ids.
int32_t trayIconIndex(int32_t number);

void showTrayIcon(BuiltinContext& context, TrayState& tray);
void hideTrayIcon(TrayState& tray);
void refreshTrayTip(BuiltinContext& context, TrayState& tray);
void trayTick(BuiltinContext& context, TrayState& tray);
bool showTrayBalloon(TrayState& tray, std::wstring_view title, std::wstring_view text, uint32_t timeoutMs,
                     uint32_t flags);

} // namespace vexil
