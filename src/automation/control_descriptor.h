#pragma once
// Naming a control inside a window: a bracketed descriptor ("[CLASS:Edit; INSTANCE:2]",
// "[ID:101]", "[CLASSNN:Button3]" ...) or a plain "class name + ordinal" such as "Edit1", and the
// rules that test one control against it, over ControlFacts.
#include "base/regex.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vexil {

enum ControlCriterion : uint32_t {
    kControlClass = 1,
    kControlInstance = 2,
    kControlText = 4,
    kControlClassNN = 8,
    kControlRegexpClass = 16,
    kControlId = 32,
    kControlX = 64,
    kControlY = 128,
    kControlW = 256,
    kControlH = 512,
    kControlName = 1024,
};

struct ControlQuery {
    uint32_t criteria = 0;
    std::wstring className, text, classNN, name;
    std::unique_ptr<Regex> classRegex;
    int32_t instance = 1, id = 0, x = 0, y = 0, w = 0, h = 0;
};

// The query a control descriptor stands for; false when it names nothing (an unknown key, a
// pattern that does not compile). A text that is not bracketed is a CLASSNN value.
bool buildControlQuery(std::wstring_view descriptor, ControlQuery& query);

// What the matcher asks about one control, read on demand.
class ControlFacts {
public:
    virtual ~ControlFacts() = default;
    virtual std::wstring_view className() = 0;
    virtual std::wstring_view text() = 0;
    virtual int32_t id() = 0;
    // Top-left corner in the parent's client coordinates, and size.
    virtual void placement(int32_t& x, int32_t& y, int32_t& w, int32_t& h) = 0;
    // The name a Windows Forms control gives itself ("" for others).
    virtual std::wstring_view formsName() = 0;
};

// One matcher serves one walk over a window's controls in the system's order: it numbers the
// controls for CLASSNN and counts them for INSTANCE.
class ControlMatcher {
public:
    explicit ControlMatcher(const ControlQuery& query) : query_(query) {}
    bool matches(ControlFacts& control);

private:
    bool classNNMatches(std::wstring_view className);

    const ControlQuery& query_;
    uint32_t classNNCount_ = 0;
    int32_t instanceCount_ = 0;
};

// "Edit1": a control's class name and its 1-based ordinal among the controls of that class.
std::wstring classNNText(std::wstring_view className, uint32_t ordinal);

} // namespace vexil
