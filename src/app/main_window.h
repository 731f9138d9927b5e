#pragma once
// The hidden main window: owner of hot keys and tray notifications, target of close requests.
#include <windows.h>

namespace vexil {

struct StartupState;
class Engine;

struct MainWindowOwner {
    StartupState* startup;
    Engine* engine;
};

inline constexpr wchar_t kMainWindowClass[] = L"Vexil v3";
inline constexpr wchar_t kMainWindowTitle[] = L"Vexil v3";
constexpr UINT kTrayNotifyMessage = WM_USER + 1;
// Sent by OPT when "TrayIconHide" changed.
constexpr UINT kTrayVisibilityMessage = WM_USER + 2;

bool registerMainWindowClass(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance, StartupState& startup, Engine& engine);
// Destroys the window and lets the queue run dry up to its WM_QUIT.
void destroyMainWindow(HWND window);

} // namespace vexil
