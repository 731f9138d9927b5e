#pragma once
// What a window search looks for, made from a built-in's title and text arguments: either a
// direct target (the foreground window, the last found one, a handle) or a set of criteria
// that each window is tested against.
#include "base/regex.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vexil {

// The criteria a search applies, as bits.
enum WindowCriterion : uint32_t {
    kCriterionTitle = 1,
    kCriterionRegexpTitle = 2,
    kCriterionText = 4,
    kCriterionClass = 8,
    kCriterionRegexpClass = 16,
    kCriterionInstance = 32,
    kCriterionAll = 64,
    kCriterionX = 128,
    kCriterionY = 256,
    kCriterionW = 512,
    kCriterionH = 1024,
};

enum class WindowTarget : uint8_t { Criteria, Foreground, Last, Handle };

// Why a title argument names no search at all; the value is the @ERROR it gives.
enum class DescriptorError : int32_t {
    None = 0,
    Malformed = 1,     // an unknown key, or a value given to LAST, ACTIVE or ALL
    BadPattern = 2,    // a REGEXPTITLE or REGEXPCLASS that does not compile
    RegexpAfterTitle = 3,
    TitleAfterRegexp = 4,
};

struct WindowQuery {
    WindowTarget target = WindowTarget::Criteria;
    DescriptorError error = DescriptorError::None;
    uint32_t criteria = 0;
    bool caseSensitive = true;
    int32_t titleMode = 1; // 1 prefix, 2 anywhere, 3 whole title
    std::wstring title;    // upper-cased when not case-sensitive
    std::wstring text;     // likewise
    std::wstring className;
    std::unique_ptr<Regex> titleRegex;
    std::unique_ptr<Regex> classRegex;
    int32_t instance = 1;
    int32_t x = 0, y = 0, w = 0, h = 0;
    uint64_t handle = 0; // of [HANDLE:...]
};

} // namespace vexil
