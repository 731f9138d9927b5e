#include "automation/window_record.h"
#include "automation/window_matcher.h"
#include "automation/window_text_case.h"

namespace vexil {

bool RecordFacts::childTextContains(std::wstring_view needle, bool caseSensitive, bool hiddenToo) {
    if (!record_.answers) return false;
    std::wstring text;
    for (const WindowRecord::Child& child : record_.children) {
        if (!child.visible && !hiddenToo) continue;
        text = child.text;
        if (!caseSensitive) upperCaseInPlace(text);
        if (text.find(needle) != std::wstring::npos) return true;
    }
    return false;
}

std::vector<size_t> matchRecords(const WindowQuery& query, std::span<const WindowRecord> records, bool firstOnly,
                                 bool detectHiddenText) {
    WindowMatcher matcher(query, detectHiddenText);
    std::vector<size_t> found;
    for (size_t i = 0; i < records.size(); ++i) {
        RecordFacts facts(records[i]);
        if (!matcher.matches(facts)) continue;
        found.push_back(i);
        if (firstOnly) break;
    }
    return found;
}

} // namespace vexil
