#pragma once
// WindowFacts of a desktop window, each read from the system on first use and kept for the rest
// of the test of that window. One object serves a whole enumeration: its buffers are reused.
#include "automation/cached_name.h"
#include "automation/window_facts.h"

#include <windows.h>

#include <string>

namespace vexil {

class PlatformWindowFacts final : public WindowFacts {
public:
    void reset(HWND window) {
        window_ = window;
        class_.forget();
        title_.forget();
    }
    std::wstring_view className() override;
    std::wstring_view title() override;
    bool childTextContains(std::wstring_view needle, bool caseSensitive, bool hiddenToo) override;
    WindowRect rect() override;

private:
    HWND window_ = nullptr;
    CachedName class_, title_;
    std::wstring childText_;
};

} // namespace vexil
