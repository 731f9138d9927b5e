#pragma once
// The rules that decide whether a window meets a query's criteria, over WindowFacts. One matcher
// serves one search: it counts the windows that met every other criterion for INSTANCE.
#include "automation/window_facts.h"
#include "automation/window_query.h"

#include <string>

namespace vexil {

class WindowMatcher {
public:
    WindowMatcher(const WindowQuery& query, bool detectHiddenText) : query_(query), hiddenText_(detectHiddenText) {}
    bool matches(WindowFacts& window);

private:
    bool titleMatches(std::wstring_view title);
    bool regexMatches(Regex& regex, std::wstring_view subject);
    bool rectMatches(WindowFacts& window) const;

    const WindowQuery& query_;
    bool hiddenText_;
    int32_t instanceCount_ = 0;
    std::wstring upperTitle_; // reused across windows
};

} // namespace vexil
