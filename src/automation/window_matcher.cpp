#include "automation/window_matcher.h"
#include "automation/window_text_case.h"

namespace vexil {

namespace {

// Thumbnail previews carry their window's title; a title alone never finds them.
constexpr std::wstring_view kThumbnailClass = L"ThumbnailClass";

} // namespace

bool WindowMatcher::titleMatches(std::wstring_view title) {
    if (!query_.caseSensitive) {
        upperTitle_.assign(title);
        upperCaseInPlace(upperTitle_);
        title = upperTitle_;
    }
    const std::wstring_view wanted = query_.title;
    switch (query_.titleMode) {
    case 2: return title.find(wanted) != std::wstring_view::npos;
    case 3: return title == wanted;
    default: return title.starts_with(wanted);
    }
}

bool WindowMatcher::regexMatches(Regex& regex, std::wstring_view subject) {
    regex.setSubject(WString(subject));
    size_t offset = 0;
    return regex.nextMatch(offset, false) > 0;
}

bool WindowMatcher::rectMatches(WindowFacts& window) const {
    constexpr uint32_t kPlace = kCriterionX | kCriterionY | kCriterionW | kCriterionH;
    const uint32_t criteria = query_.criteria;
    if (!(criteria & kPlace)) return true;
    const WindowRect r = window.rect();
    if ((criteria & kCriterionX) && r.left != query_.x) return false;
    if ((criteria & kCriterionY) && r.top != query_.y) return false;
    if ((criteria & kCriterionW) && r.right - r.left != query_.w) return false;
    if ((criteria & kCriterionH) && r.bottom - r.top != query_.h) return false;
    return true;
}

// Every criterion must be met, so the first that fails decides; the costly ones (child texts,
// the instance count) come last.
bool WindowMatcher::matches(WindowFacts& window) {
    const uint32_t criteria = query_.criteria;
    if ((criteria & kCriterionClass) && window.className() != query_.className) return false;
    const bool byTitle = criteria & (kCriterionTitle | kCriterionRegexpTitle);
    if ((criteria & kCriterionTitle) && !titleMatches(window.title())) return false;
    if ((criteria & kCriterionRegexpTitle) && !regexMatches(*query_.titleRegex, window.title())) return false;
    if (byTitle && !(criteria & (kCriterionClass | kCriterionRegexpClass)) && window.className() == kThumbnailClass)
        return false;
    if ((criteria & kCriterionRegexpClass) && !regexMatches(*query_.classRegex, window.className())) return false;
    if ((criteria & kCriterionText) && !query_.text.empty() &&
        !window.childTextContains(query_.text, query_.caseSensitive, hiddenText_))
        return false;
    if (!rectMatches(window)) return false;
    if (criteria & kCriterionInstance) return ++instanceCount_ == query_.instance;
    return true;
}

} // namespace vexil
