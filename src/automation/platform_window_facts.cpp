#include "automation/platform_window_facts.h"
#include "automation/window_text.h"
#include "automation/window_text_case.h"

namespace vexil {

std::wstring_view PlatformWindowFacts::className() {
    if (!haveClass_) {
        classLength_ = GetClassNameW(window_, class_, kNameCapacity + 1);
        if (classLength_ < 0) classLength_ = 0;
        haveClass_ = true;
    }
    return {class_, static_cast<size_t>(classLength_)};
}

std::wstring_view PlatformWindowFacts::title() {
    if (!haveTitle_) {
        titleLength_ = GetWindowTextW(window_, title_, kNameCapacity + 1);
        if (titleLength_ < 0) titleLength_ = 0;
        haveTitle_ = true;
    }
    return {title_, static_cast<size_t>(titleLength_)};
}

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
