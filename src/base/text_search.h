#pragma once
// Comparing and searching texts in the comparison modes of the string built-ins (their
// case-sensitivity argument).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexil {

enum class CompareMode {
    Locale = 0,  // without case, the user's locale
    Ordinal = 1, // code units as unsigned numbers
    Basic = 2,   // unit by unit, a differing pair lower-cased before it decides
    English = 3, // without case, English (United States)
};

// A case-sensitivity argument: values outside 0–3 mean Locale.
CompareMode compareModeOf(int32_t value);

// -1, 0 or 1.
int compareText(std::wstring_view a, std::wstring_view b, CompareMode mode);

// Whether two texts are equal in a comparison mode: compareText(a, b, mode) == 0, but where both
// texts are plain (below) in an English sort, without the platform's comparison.
bool textsEqual(std::wstring_view a, std::wstring_view b, CompareMode mode);

// Printable ASCII but the hyphen and the apostrophe, which the word sort weighs apart. Between
// plain texts, the English sort without case is ASCII case folding: no unit is ignored, none
// expands, and only letters differ by case.
bool isPlainText(std::wstring_view text);
// Whether a mode compares plain texts as ASCII case folding: the basic mode always, English
// always, the user's locale when its language is English (others may join letters, as Hungarian
// does, or case them otherwise, as Turkish does).
bool foldsPlainTextAsAscii(CompareMode mode);

// Finds a needle in one haystack. The ordinal and basic modes scan with a prefix table, so a
// search never looks at a unit twice; the locale modes compare each candidate position once.
class TextFinder {
public:
    static constexpr size_t npos = std::wstring_view::npos;

    TextFinder(std::wstring_view haystack, std::wstring_view needle, CompareMode mode);
    TextFinder(const TextFinder&) = delete; // may point into itself
    TextFinder& operator=(const TextFinder&) = delete;

    // The first match at or after `from` that ends at or before `end`.
    size_t first(size_t from, size_t end) const;
    // The last match that starts at or before `from` and at or after `lowest`.
    size_t last(size_t from, size_t lowest) const;

    size_t haystackSize() const { return haystack_.size(); }
    size_t needleSize() const { return needle_.size(); }

private:
    bool byTable() const { return mode_ == CompareMode::Ordinal || mode_ == CompareMode::Basic; }
    wchar_t unit(wchar_t c) const { return fold_ ? fold_[c] : c; }
    bool matchesAt(size_t position) const;
    size_t scanForward(size_t from, size_t end) const;
    size_t scanBackward(size_t top, size_t lowest) const;

    std::wstring_view haystack_;
    std::wstring_view needle_; // folded in the basic mode
    std::wstring foldedNeedle_;
    CompareMode mode_;
    const wchar_t* fold_ = nullptr; // lower-casing table of the basic mode
    uint32_t* forwardTable_ = nullptr; // shortTable_ or longTable_
    std::array<uint32_t, 16> shortTable_;
    std::vector<uint32_t> longTable_;
    mutable std::vector<uint32_t> backwardTable_; // built on the first backward search
};

// The occurrence-th non-overlapping match (counted from the right when occurrence < 0) as a
// 0-based position, or npos. Forward, the match lies within `count` units from `start`; backward,
// it ends at or before unit `start` and is one of the `count` candidate positions nearest it.
// A negative start or count means the whole text.
size_t findOccurrence(const TextFinder& finder, int64_t occurrence, int64_t start = -1, int64_t count = -1);

} // namespace vexil
