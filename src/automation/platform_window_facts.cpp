#include "automation/platform_window_facts.h"
#include "automation/window_text.h"
#include "automation/window_text_case.h"

namespace vexil {

std::wstring_view PlatformWindowFacts::className() { return class_.get(window_, GetClassNameW); }

std::wstring_view PlatformWindowFacts::title() { return title_.get(window_, GetWindowTextW); }

bool PlatformWindowFacts::childTextContains(std::wstring_view needle, bool caseSensitive, bool hiddenToo) {
    if (!windowAnswers(window_)) return false;
    bool found = false;
    forEachChildWindow(window_, [&](HWND child) {
        if (!hiddenToo && !IsWindowVisible(child)) return true;
        readWindowTextInto(child, childText_);
        if (!caseSensitive) upperCaseInPlace(childText_);
        found = childText_.find(needle) != std::wstring::npos;
        return !found;
    });
    return found;
}

WindowRect PlatformWindowFacts::rect() {
    RECT r{};
    GetWindowRect(window_, &r);
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace vexil
