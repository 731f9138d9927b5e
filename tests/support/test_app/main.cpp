// The test application: a main window full of controls, a menu, and other top-level windows on
// request, that reports what happened to it on standard output when it closes (see README.md).
#include "controls.h"
#include "report.h"

#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

namespace test_app {

namespace {

constexpr wchar_t kMainClass[] = L"VexilTestApp";
constexpr wchar_t kSecondClass[] = L"VexilTestAppSecond";
constexpr wchar_t kExtraClass[] = L"VexilTestAppExtra";
// The class of the system's thumbnail previews, which carry their window's title.
constexpr wchar_t kThumbnailClass[] = L"ThumbnailClass";

enum MenuCommand : int { kMenuOpen = 201, kMenuSecond = 202, kMenuExit = 203, kMenuCopy = 211, kMenuPaste = 212, kMenuAbout = 221 };

struct Settings {
    std::wstring title = L"Vexil Test App";
    bool second = false;
    int extraWindows = 0;
    bool hangOnClose = false;
    bool thumbnail = false;
};

Settings settings;
HWND mainWindow = nullptr;
HWND secondWindow = nullptr;
WNDPROC editProcedure = nullptr;

HMENU buildMenu() {
    const HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kMenuOpen, L"&Open...");
    AppendMenuW(file, MF_STRING, kMenuSecond, L"&Second window");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kMenuExit, L"E&xit");
    const HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, kMenuCopy, L"&Copy");
    AppendMenuW(edit, MF_STRING, kMenuPaste, L"&Paste");
    const HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kMenuAbout, L"&About");
    const HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return bar;
}

void openSecondWindow() {
    if (secondWindow) return;
    const std::wstring title = settings.title + L" - Second";
    secondWindow = CreateWindowExW(0, kSecondClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 300, 200,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CreateWindowExW(0, L"Static", L"Second window text", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, secondWindow, nullptr,
                    GetModuleHandleW(nullptr), nullptr);
    record(L"second opened");
}

// Keys that reach an edit control.
LRESULT CALLBACK editHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const wchar_t* name = controlName(GetDlgCtrlID(window));
    if (message == WM_KEYDOWN) recordf(L"key %ls: 0x%02X", name, static_cast<unsigned>(wParam));
    if (message == WM_CHAR && wParam >= 32) recordf(L"char %ls: %lc", name, static_cast<wchar_t>(wParam));
    return CallWindowProcW(editProcedure, window, message, wParam, lParam);
}

void hookEdits(HWND parent) {
    for (int id : {kEdit, kMultiLineEdit}) {
        const HWND edit = GetDlgItem(parent, id);
        editProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editHook)));
    }
}

void onCommand(HWND window, WORD id, WORD code, HWND control) {
    if (!control) { // a menu command or an accelerator
        wchar_t text[128] = L"?";
        GetMenuStringW(GetMenu(window), id, text, 128, MF_BYCOMMAND);
        recordf(L"menu %u %ls", id, text);
        if (id == kMenuSecond) openSecondWindow();
        if (id == kMenuExit) PostMessageW(window, WM_CLOSE, 0, 0);
        return;
    }
    const wchar_t* name = controlName(id);
    if (!name) return;
    if (code == BN_CLICKED && (id == kOkButton || id == kCancelButton || id == kCheckBox || id == kRadioA || id == kRadioB))
        recordf(L"click %ls", name);
    if (code == CBN_SELCHANGE && id == kCombo) {
        wchar_t text[128] = {};
        GetWindowTextW(control, text, 128);
        recordf(L"select combo: %ls", text);
    }
    if (code == LBN_SELCHANGE && id == kListBox) recordf(L"select list: %d", static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0)));
}

void onNotify(const NMHDR& header) {
    const wchar_t* name = controlName(static_cast<int>(header.idFrom));
    if (!name) return;
    if (header.code == TCN_SELCHANGE) recordf(L"select tab: %d", TabCtrl_GetCurSel(header.hwndFrom));
    if (header.code == TVN_SELCHANGEDW) record(L"select tree");
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) recordf(L"select listview: %d", change.iItem);
    }
}

LRESULT CALLBACK mainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        createControls(window);
        hookEdits(window);
        return 0;
    case WM_COMMAND: onCommand(window, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case WM_NOTIFY: onNotify(*reinterpret_cast<const NMHDR*>(lParam)); return 0;
    case WM_SETFOCUS:
        // Keys sent to the activated window reach the edit box, as in a dialog.
        SetFocus(GetDlgItem(window, kEdit));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        recordf(L"mouse %ls %d,%d", message == WM_LBUTTONDOWN ? L"left" : L"right", static_cast<short>(LOWORD(lParam)),
                static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_CLOSE:
        record(L"close");
        if (settings.hangOnClose) {
            // Stops answering, as a hung program does, until it is ended.
            Sleep(INFINITE);
        }
        DestroyWindow(window);
        return 0;
    case WM_DESTROY: {
        recordFinalStates(window);
        wchar_t title[512] = {};
        GetWindowTextW(window, title, 512);
        recordf(L"final title: %ls", title);
        PostQuitMessage(0);
        return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK secondProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY && window == secondWindow) {
        record(L"second closed");
        secondWindow = nullptr;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW windowClass{sizeof(windowClass)};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

void readArguments(int count, wchar_t** arguments) {
    for (int i = 1; i < count; ++i) {
        const std::wstring argument = arguments[i];
        if (argument == L"/second") settings.second = true;
        else if (argument == L"/hang-on-close") settings.hangOnClose = true;
        else if (argument == L"/thumbnail") settings.thumbnail = true;
        else if (argument == L"/windows" && i + 1 < count) settings.extraWindows = _wtoi(arguments[++i]);
        else settings.title = argument;
    }
}

void openExtraWindows() {
    for (int i = 1; i <= settings.extraWindows; ++i) {
        const std::wstring title = settings.title + L" - Extra " + std::to_wstring(i);
        CreateWindowExW(0, kExtraClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20 + i % 50, 20 + i % 50, 160, 80, nullptr,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    }
}

} // namespace

int run(int count, wchar_t** arguments) {
    readArguments(count, arguments);
    registerClass(kMainClass, mainProcedure);
    registerClass(kSecondClass, secondProcedure);
    registerClass(kExtraClass, DefWindowProcW);
    openExtraWindows();
    mainWindow = CreateWindowExW(0, kMainClass, settings.title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 560, 440, nullptr,
                                 buildMenu(), GetModuleHandleW(nullptr), nullptr);
    if (!mainWindow) return 1;
    if (settings.second) openSecondWindow();
    if (settings.thumbnail) {
        registerClass(kThumbnailClass, DefWindowProcW);
        CreateWindowExW(0, kThumbnailClass, settings.title.c_str(), WS_POPUP | WS_VISIBLE, 700, 100, 120, 90, mainWindow, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    flushReport();
    return 0;
}

} // namespace test_app

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return test_app::run(__argc, __wargv); }
