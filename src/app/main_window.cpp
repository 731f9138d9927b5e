#include "app/main_window.h"

#include "engine/engine.h"
#include "engine/startup_state.h"
#include "runtime/hot_key_table.h"
#include "runtime/tray_commands.h"
#include "runtime/tray_icon.h"
#include "runtime/tray_state.h"

namespace vexil {

namespace {

constexpr UINT_PTR kTrayTimer = 1;
constexpr UINT kTrayTimerMs = 750;
constexpr int kEditId = 1;

struct MainWindowData {
    StartupState* startup;
    Engine* engine;
    HWND edit;
    UINT taskbarCreated;
};

MainWindowData* dataOf(HWND window) { return reinterpret_cast<MainWindowData*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

// The tray tip's default text is the script's file name.
void attachTray(HWND window, MainWindowData& data, HINSTANCE instance) {
    BuiltinContext context(*data.engine);
    const std::wstring& path = data.startup->scriptPath;
    const size_t slash = path.find_last_of(L"\\/");
    TrayState& tray = trayState(context);
    tray.attach(window, data.startup, instance, slash == std::wstring::npos ? path : path.substr(slash + 1));
    if (!data.startup->noTrayIcon) showTrayIcon(context, tray);
}

LRESULT onCreate(HWND window, const CREATESTRUCTW* create) {
    auto* owner = static_cast<const MainWindowOwner*>(create->lpCreateParams);
    auto* data = new MainWindowData{owner->startup, owner->engine, nullptr, 0};
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    SetTimer(window, kTrayTimer, kTrayTimerMs, nullptr);
    data->taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    RECT client;
    GetClientRect(window, &client);
    data->edit = CreateWindowExW(0, L"edit", L"",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_BORDER | ES_MULTILINE |
                                     ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY,
                                 0, 0, client.right, client.bottom, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), create->hInstance, nullptr);
    attachTray(window, *data, create->hInstance);
    return 0;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return onCreate(window, reinterpret_cast<CREATESTRUCTW*>(lParam));
    MainWindowData* data = dataOf(window);
    if (!data) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY: {
        KillTimer(window, kTrayTimer);
        BuiltinContext context(*data->engine);
        hideTrayIcon(trayState(context));
        return 0;
    }
    case WM_SIZE:
        MoveWindow(data->edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(data->edit);
        return 0;
    case WM_CLOSE:
        // The run loop ends the script when it sees the request; the window stays until then.
        data->startup->closeRequested = 1;
        return 0;
    case WM_QUERYENDSESSION:
        data->startup->closeRequested = 0;
        data->startup->exitMethod = (lParam & ENDSESSION_LOGOFF) ? ExitMethod::LogOff : ExitMethod::Shutdown;
        // Windows may end the process soon after: the exit functions run now.
        data->engine->exitProcessing();
        break;
    case WM_COMMAND: {
        BuiltinContext context(*data->engine);
        if (handleTrayCommand(context, wParam, lParam)) return 0;
        break;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete data;
        PostQuitMessage(0);
        return 0;
    case WM_HOTKEY:
        // A press while the script is paused is dropped.
        if (!data->startup->paused) {
            BuiltinContext context(*data->engine);
            hotKeyTable(context).queuePress(static_cast<int32_t>(wParam));
        }
        return 0;
    case WM_TIMER: {
        BuiltinContext context(*data->engine);
        if (wParam == kTrayTimer) trayTick(context, trayState(context));
        return 0;
    }
    case kTrayNotifyMessage: {
        BuiltinContext context(*data->engine);
        handleTrayNotification(context, lParam);
        return 0;
    }
    case kTrayVisibilityMessage: {
        BuiltinContext context(*data->engine);
        TrayState& tray = trayState(context);
        if (context.options().trayIconHidden) hideTrayIcon(tray);
        else showTrayIcon(context, tray);
        return 0;
    }
    default:
        if (message == data->taskbarCreated && data->startup->trayIconVisible) {
            // The shell started again: the icon must be added anew.
            BuiltinContext context(*data->engine);
            TrayState& tray = trayState(context);
            hideTrayIcon(tray);
            showTrayIcon(context, tray);
            return 0;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(99));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(99), IMAGE_ICON, 16, 16, 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND createMainWindow(HINSTANCE instance, StartupState& startup, Engine& engine) {
    MainWindowOwner owner{&startup, &engine};
    HWND window = CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 300, 100, nullptr, nullptr, instance, &owner);
    if (window) ShowWindow(window, SW_HIDE);
    return window;
}

void destroyMainWindow(HWND window) {
    if (!window) return;
    DestroyWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace vexil
