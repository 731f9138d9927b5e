#include "automation/system_key_sinks.h"

#include "automation/precise_delay.h"
#include "automation/window_activation.h"

namespace vexil {

namespace {

constexpr uint8_t kShift = 16, kCtrl = 17, kAlt = 18, kLShift = 160, kRShift = 161;

void inject(WORD vk, WORD scan, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

bool isLockKey(uint8_t vk) { return vk == 20 || vk == 144 || vk == 145; }

} // namespace

void InputStreamSink::key(const KeyStroke& stroke) {
    DWORD flags = 0;
    if (stroke.extended) flags |= KEYEVENTF_EXTENDEDKEY;
    if (stroke.up) flags |= KEYEVENTF_KEYUP;
    inject(stroke.vk, stroke.scan, flags);
}

void InputStreamSink::character(wchar_t c, bool up) {
    inject(0, c, KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0));
}

void InputStreamSink::mouseButton(uint8_t vk, bool up) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    switch (vk) {
    case 1: input.mi.dwFlags = up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN; break;
    case 2: input.mi.dwFlags = up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN; break;
    case 4: input.mi.dwFlags = up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN; break;
    default:
        input.mi.dwFlags = up ? MOUSEEVENTF_XUP : MOUSEEVENTF_XDOWN;
        input.mi.mouseData = vk == 5 ? XBUTTON1 : XBUTTON2;
        break;
    }
    SendInput(1, &input, sizeof(input));
}

void InputStreamSink::physicalModifier(uint8_t vk, bool up) {
    inject(vk, scanCode(vk), (up ? KEYEVENTF_KEYUP : 0) | (vk == 91 || vk == 92 ? KEYEVENTF_EXTENDEDKEY : 0));
}

void InputStreamSink::beforeCharacter() {
    if (!keepActive_ || !*keepActive_) return;
    HWND window = *keepActive_;
    if (!IsWindow(window)) {
        *keepActive_ = nullptr;
        return;
    }
    for (int attempt = 0; attempt < 3 && GetForegroundWindow() != window; ++attempt) {
        activateWindow(window);
        Sleep(15);
    }
}

void ControlMessageSink::setKeyState(uint8_t vk, bool down) {
    BYTE state[256];
    if (!GetKeyboardState(state)) return;
    auto set = [&](uint8_t key) { state[key] = static_cast<BYTE>(down ? state[key] | 0x80 : state[key] & ~0x80); };
    set(vk);
    // Either Shift is Shift; the same for Ctrl and Alt.
    if (vk == kLShift || vk == kRShift) set(kShift);
    if (vk == kShift) set(kLShift);
    if (vk == 162 || vk == 163) set(kCtrl);
    if (vk == 164 || vk == 165) set(kAlt);
    SetKeyboardState(state);
}

void ControlMessageSink::key(const KeyStroke& stroke) {
    if (isLockKey(stroke.vk)) return stream_.key(stroke);
    setKeyState(stroke.vk, !stroke.up);
    // A control sees a Shift as Shift, whichever side.
    const uint8_t vk = stroke.vk == kLShift || stroke.vk == kRShift ? kShift : stroke.vk;
    LPARAM lParam = (static_cast<LPARAM>(stroke.scan) << 16) + 1;
    if (stroke.extended) lParam |= 0x1000000;
    if (stroke.up) lParam |= 0xC0000000;
    UINT message = stroke.up ? WM_KEYUP : WM_KEYDOWN;
    if (stroke.altOnly) {
        message = stroke.up ? WM_SYSKEYUP : WM_SYSKEYDOWN;
        lParam |= 0x20000000;
    }
    post(message, vk, lParam);
}

void ControlMessageSink::post(UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(target_, message, wParam, lParam);
    if (!ownThread_) return;
    MSG msg;
    while (PeekMessageW(&msg, target_, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void ControlMessageSink::character(wchar_t c, bool up) {
    if (!up) post(WM_CHAR, c, 1);
}

void ControlMessageSink::mouseButton(uint8_t vk, bool up) {
    UINT message;
    WPARAM wParam = 0;
    switch (vk) {
    case 1: message = up ? WM_LBUTTONUP : WM_LBUTTONDOWN; break;
    case 2: message = up ? WM_RBUTTONUP : WM_RBUTTONDOWN; break;
    case 4: message = up ? WM_MBUTTONUP : WM_MBUTTONDOWN; break;
    default:
        message = up ? WM_XBUTTONUP : WM_XBUTTONDOWN;
        wParam = MAKEWPARAM(0, vk == 5 ? XBUTTON1 : XBUTTON2);
        break;
    }
    post(message, wParam, 0);
}

bool ControlMessageSink::physicallyDown(uint8_t vk) {
    BYTE state[256];
    return GetKeyboardState(state) && (state[vk] & 0x80);
}

void ControlMessageSink::physicalModifier(uint8_t vk, bool up) { setKeyState(vk, !up); }

void SystemKeySink::pause(int32_t ms) { preciseDelay(ms); }


} // namespace vexil
