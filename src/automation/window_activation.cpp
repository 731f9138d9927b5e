#include "automation/window_activation.h"

namespace vexil {

namespace {

DWORD threadOf(HWND window) { return window ? GetWindowThreadProcessId(window, nullptr) : 0; }

// One input attachment, undone by detach().
struct Attachment {
    DWORD from = 0, to = 0;
    bool made = false;
    void attach(DWORD a, DWORD b) {
        from = a;
        to = b;
        made = a && b && a != b && AttachThreadInput(a, b, TRUE);
    }
    void detach() {
        if (made) AttachThreadInput(from, to, FALSE);
        made = false;
    }
};

void pressAltTwice() {
    const BYTE scan = static_cast<BYTE>(MapVirtualKeyW(VK_MENU, MAPVK_VK_TO_VSC));
    for (int i = 0; i < 2; ++i) {
        keybd_event(VK_MENU, scan, 0, 0);
        keybd_event(VK_MENU, scan, KEYEVENTF_KEYUP, 0);
    }
}

} // namespace

int activateWindow(HWND window) {
    // A minimised window may still be the foreground window: it is restored all the same.
    if (GetForegroundWindow() == window && !IsIconic(window)) return 1;
    HWND previous = GetForegroundWindow();
    if (!previous) previous = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    if (SetForegroundWindow(window) && GetForegroundWindow() == window) return 2;

    const DWORD self = GetCurrentThreadId(), target = threadOf(window), front = threadOf(previous);
    Attachment attachments[3];
    attachments[0].attach(self, target);
    attachments[1].attach(self, front);
    attachments[2].attach(front, target);
    int code = 0;
    if (SetForegroundWindow(window) && GetForegroundWindow() == window) {
        code = 3;
    } else {
        pressAltTwice();
        if (SetForegroundWindow(window) && GetForegroundWindow() == window) code = 4;
    }
    for (Attachment& attachment : attachments) attachment.detach();
    return code;
}

AttachedInput::AttachedInput(HWND window) : self_(GetCurrentThreadId()), other_(threadOf(window)) {
    attached_ = other_ && other_ != self_ && AttachThreadInput(self_, other_, TRUE);
}

AttachedInput::~AttachedInput() {
    if (attached_) AttachThreadInput(self_, other_, FALSE);
}

} // namespace vexil
