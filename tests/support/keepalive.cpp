// vexil-keepalive.exe: a hidden window that lives for a while. While a GUI program runs in the
// Wine prefix, Wine keeps its desktop process up, so each script started meanwhile skips the
// desktop's start-up (about 150 ms a run). It ends by itself after thirty minutes.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"VexilKeepAlive";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    SetTimer(window, 1, 30 * 60 * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        DispatchMessageW(&msg);
    }
    return 0;
}
