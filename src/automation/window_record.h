#pragma once
// A window as plain data, and the matcher run over a list of them: the window rules without a
// desktop (the unit tests use it).
#include "automation/window_facts.h"
#include "automation/window_query.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vexil {

struct WindowRecord {
    struct Child {
        std::wstring text;
        bool visible = true;
    };
    uint64_t handle = 0;
    std::wstring title;
    std::wstring className;
    WindowRect rect;
    std::vector<Child> children;
    bool answers = true; // false: a hung window, which shows no text
};

class RecordFacts final : public WindowFacts {
public:
    explicit RecordFacts(const WindowRecord& record) : record_(record) {}
    std::wstring_view className() override { return record_.className; }
    std::wstring_view title() override { return record_.title; }
    bool childTextContains(std::wstring_view needle, bool caseSensitive, bool hiddenToo) override;
    WindowRect rect() override { return record_.rect; }

private:
    const WindowRecord& record_;
};

// The positions of the records that match, in order; with `firstOnly` at most one.
std::vector<size_t> matchRecords(const WindowQuery& query, std::span<const WindowRecord> records, bool firstOnly,
                                 bool detectHiddenText);

} // namespace vexil
