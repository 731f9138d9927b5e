#pragma once
// WindowFacts of a desktop window, each read from the system on first use and kept for the rest
// of the test of that window. One object serves a whole enumeration: its buffers are reused.
#include "automation/window_facts.h"

#include <windows.h>

#include <string>

namespace vexil {

class PlatformWindowFacts final : public WindowFacts {
public:
    void reset(HWND window) {
        window_ = window;
        haveClass_ = haveTitle_ = false;
    }
    std::wstring_view className() override;
    std::wstring_view title() override;
    bool childTextContains(std::wstring_view needle, bool caseSensitive, bool hiddenToo) override;
    WindowRect rect() override;

private:
    static constexpr int kNameCapacity = 1024;
    HWND window_ = nullptr;
    bool haveClass_ = false, haveTitle_ = false;
    int classLength_ = 0, titleLength_ = 0;
    wchar_t class_[kNameCapacity + 1];
    wchar_t title_[kNameCapacity + 1];
    std::wstring childText_;
};

} // namespace vexil
