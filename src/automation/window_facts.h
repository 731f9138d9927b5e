#pragma once
// What the window matcher asks about one window. The platform side reads each fact from the
// system only when asked (a search by title never reads child texts); tests answer from records.
#include <cstdint>
#include <string_view>

namespace vexil {

struct WindowRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

class WindowFacts {
public:
    virtual ~WindowFacts() = default;
    virtual std::wstring_view className() = 0;
    virtual std::wstring_view title() = 0;
    // A child window's text contains `needle` (upper-cased already when not case-sensitive, and
    // the child texts are then upper-cased too); children that are not visible count only with
    // `hiddenToo`. A window that does not answer has no text.
    virtual bool childTextContains(std::wstring_view needle, bool caseSensitive, bool hiddenToo) = 0;
    virtual WindowRect rect() = 0;
};

} // namespace vexil
