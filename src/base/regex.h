#pragma once
// Regular expressions: a compiled pattern shared through a process-wide cache of 64 patterns,
// and the Regex object that runs one pattern over one subject (the match loop with its handling
// of empty matches, group extraction, and replacement-template expansion). Offsets are in UTF-16
// code units, 0-based. Only the script thread uses these.
#include "base/wstring.h"

#include <pcre2.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vexil {

struct CompiledPattern {
    pcre2_code* code = nullptr;
    uint32_t captureCount = 0;
    // Match data sized for this pattern that a finished Regex handed back, so that a pattern
    // used call after call does not allocate it each time.
    mutable pcre2_match_data* spareMatchData = nullptr;
    CompiledPattern(pcre2_code* compiled, uint32_t captures) : code(compiled), captureCount(captures) {}
    CompiledPattern(const CompiledPattern&) = delete;
    CompiledPattern& operator=(const CompiledPattern&) = delete;
    ~CompiledPattern() {
        pcre2_match_data_free(spareMatchData);
        pcre2_code_free(code);
    }
};

// Shared so that a pattern evicted from the cache stays alive while a Regex still uses it.
using PatternRef = std::shared_ptr<const CompiledPattern>;

class PatternCache {
public:
    static constexpr size_t kSlots = 64;
    // The compiled pattern, from the cache or compiled into the next slot (round-robin); nullptr
    // when it does not compile, with the 0-based offset of the fault in `errorOffset`.
    PatternRef get(std::wstring_view pattern, size_t& errorOffset);

private:
    struct Slot {
        std::wstring text;
        PatternRef pattern;
    };
    std::array<uint32_t, kSlots> hashes_{}; // apart from the slots: a lookup scans only these
    std::array<Slot, kSlots> slots_;
    size_t next_ = 0;
};

PatternCache& patternCache();

class Regex {
public:
    static constexpr size_t kNoOffset = static_cast<size_t>(-1);

    Regex() = default;
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;
    ~Regex();

    // False when the pattern does not compile, with the 0-based offset of the fault.
    bool compile(std::wstring_view pattern, size_t& errorOffset);
    void setSubject(const WString& subject);

    // Finds the next match at or after `offset` and moves `offset` to its end. With
    // `advanceOverEmpty` an empty match makes the following call look for a non-empty match at the
    // same place before moving on, so a loop of calls always ends. Returns the highest group that
    // took part + 1, or 0 when there is no further match or matching failed (see failed()).
    int nextMatch(size_t& offset, bool advanceOverEmpty);

    // Of the last match: group i's text (empty when it did not take part or i is out of range),
    // and the span of the whole match.
    std::wstring_view group(int i) const;
    size_t matchStart() const { return ovector_ ? ovector_[0] : 0; }
    size_t matchEnd() const { return ovector_ ? ovector_[1] : 0; }
    uint32_t captureCount() const { return pattern_ ? pattern_->captureCount : 0; }

    // A match could not be completed (a backtracking or memory limit was hit); matching stopped.
    bool failed() const { return failureCode_ != 0; }
    // The offset at which the failed attempt started.
    size_t failureOffset() const { return failureOffset_; }

    // Replaces the matches (at most `limit` of them when it is positive) by the expanded
    // template into `out`. Returns the replacement count: per replaced match, the number of group
    // references in the template, or 1 when it has none.
    int64_t replace(std::wstring_view replacementTemplate, int64_t limit, WString& out);

private:
    void releaseMatchData();

    PatternRef pattern_;
    pcre2_match_data* matchData_ = nullptr;
    const PCRE2_SIZE* ovector_ = nullptr;
    WString subject_;
    WString matchText_; // the subject, or a copy made valid UTF-16 for PCRE2
    int lastResult_ = 0;
    uint32_t retryOptions_ = 0;
    int failureCode_ = 0;
    size_t failureOffset_ = 0;
};

} // namespace vexil
