#pragma once
// Bringing a window to the foreground even when the system would rather not let this program
// take the focus.
#include <windows.h>

namespace vexil {

// How the window came forward: 1 it already was the foreground window (and not minimised), 2 at
// the first request, 3 with input attached to the threads involved, 4 after Alt presses; 0 it
// did not.
int activateWindow(HWND window);

// While it lives, this thread's input is attached to `window`'s thread (when they differ).
class AttachedInput {
public:
    explicit AttachedInput(HWND window);
    AttachedInput(const AttachedInput&) = delete;
    AttachedInput& operator=(const AttachedInput&) = delete;
    ~AttachedInput();

private:
    DWORD self_ = 0, other_ = 0;
    bool attached_ = false;
};

} // namespace vexil
