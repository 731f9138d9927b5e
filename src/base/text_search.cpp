#include "base/text_search.h"

#include "base/wstring.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace vexil {

namespace {

const wchar_t* lowerCaseTable() {
    static const std::vector<wchar_t> table = [] {
        std::vector<wchar_t> t(65536);
        for (size_t c = 0; c < t.size(); ++c) t[c] = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
        return t;
    }();
    return table.data();
}

// table[i]: the length of the longest proper prefix of units 0..i that is also their suffix.
template <typename At> void fillPrefixTable(uint32_t* table, size_t n, At at) {
    if (n == 0) return;
    table[0] = 0;
    uint32_t k = 0;
    for (size_t i = 1; i < n; ++i) {
        while (k > 0 && at(i) != at(k)) k = table[k - 1];
        if (at(i) == at(k)) ++k;
        table[i] = k;
    }
}

} // namespace

CompareMode compareModeOf(int32_t value) {
    return value >= 0 && value <= 3 ? static_cast<CompareMode>(value) : CompareMode::Locale;
}

int compareText(std::wstring_view a, std::wstring_view b, CompareMode mode) {
    switch (mode) {
    case CompareMode::Ordinal: {
        int r = a.compare(b);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    case CompareMode::Basic: return WString::compare(a, b, 2);
    case CompareMode::English: return WString::compare(a, b, 1);
    case CompareMode::Locale: break;
    }
    return WString::compare(a, b, 0);
}

bool isPlainText(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t c) { return c >= 0x20 && c < 0x7F && c != L'-' && c != L'\''; });
}

bool foldsPlainTextAsAscii(CompareMode mode) {
    static const bool userLocaleIsEnglish = PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) == LANG_ENGLISH;
    return mode == CompareMode::Basic || mode == CompareMode::English ||
           (mode == CompareMode::Locale && userLocaleIsEnglish);
}

bool textsEqual(std::wstring_view a, std::wstring_view b, CompareMode mode) {
    if (foldsPlainTextAsAscii(mode) && isPlainText(a) && isPlainText(b)) {
        auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; };
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                                  [&](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
    }
    return compareText(a, b, mode) == 0;
}

namespace {

// A locale search between plain texts is a basic one, which scans with a prefix table.
CompareMode searchMode(std::wstring_view haystack, std::wstring_view needle, CompareMode mode) {
    return foldsPlainTextAsAscii(mode) && isPlainText(needle) && isPlainText(haystack) ? CompareMode::Basic : mode;
}

} // namespace

TextFinder::TextFinder(std::wstring_view haystack, std::wstring_view needle, CompareMode mode)
    : haystack_(haystack), needle_(needle), mode_(searchMode(haystack, needle, mode)) {
    if (needle.size() > UINT32_MAX) needle_ = {}; // never found rather than a table that wraps
    if (mode_ == CompareMode::Basic) {
        fold_ = lowerCaseTable();
        foldedNeedle_.resize(needle_.size());
        std::transform(needle_.begin(), needle_.end(), foldedNeedle_.begin(), [this](wchar_t c) { return unit(c); });
        needle_ = foldedNeedle_;
    }
    if (!byTable()) return;
    // Short needles, the usual case, keep their table inside the finder: no allocation per search.
    if (needle_.size() > shortTable_.size()) longTable_.resize(needle_.size());
    forwardTable_ = needle_.size() > shortTable_.size() ? longTable_.data() : shortTable_.data();
    fillPrefixTable(forwardTable_, needle_.size(), [this](size_t i) { return needle_[i]; });
}

bool TextFinder::matchesAt(size_t position) const {
    return textsEqual(haystack_.substr(position, needle_.size()), needle_, mode_);
}

size_t TextFinder::first(size_t from, size_t end) const {
    size_t n = needle_.size();
    end = std::min(end, haystack_.size());
    if (n == 0 || from > end || end - from < n) return npos;
    if (byTable()) return scanForward(from, end);
    for (size_t p = from; p <= end - n; ++p)
        if (matchesAt(p)) return p;
    return npos;
}

size_t TextFinder::last(size_t from, size_t lowest) const {
    size_t n = needle_.size();
    if (n == 0 || n > haystack_.size()) return npos;
    from = std::min(from, haystack_.size() - n);
    if (from < lowest) return npos;
    if (byTable()) return scanBackward(from + n - 1, lowest);
    for (size_t p = from + 1; p-- > lowest;)
        if (matchesAt(p)) return p;
    return npos;
}

size_t TextFinder::scanForward(size_t from, size_t end) const {
    const size_t n = needle_.size();
    const wchar_t* h = haystack_.data();
    size_t j = 0; // units of the needle matched so far
    for (size_t i = from; i < end; ++i) {
        if (end - i < n - j) return npos;
        if (j == 0 && !fold_) { // nothing matched: jump to the next possible first unit
            const wchar_t* next = std::wmemchr(h + i, needle_[0], end - i);
            if (!next) return npos;
            i = static_cast<size_t>(next - h);
        }
        wchar_t c = unit(h[i]);
        while (j > 0 && c != needle_[j]) j = forwardTable_[j - 1];
        if (c == needle_[j]) ++j;
        if (j == n) return i + 1 - n;
    }
    return npos;
}

// The same scan run leftwards from unit `top`, with the needle read from its end.
size_t TextFinder::scanBackward(size_t top, size_t lowest) const {
    const size_t n = needle_.size();
    auto reversed = [this, n](size_t i) { return needle_[n - 1 - i]; };
    if (backwardTable_.empty()) {
        backwardTable_.resize(n);
        fillPrefixTable(backwardTable_.data(), n, reversed);
    }
    size_t j = 0;
    for (size_t i = top + 1; i-- > lowest;) {
        wchar_t c = unit(haystack_[i]);
        while (j > 0 && c != reversed(j)) j = backwardTable_[j - 1];
        if (c == reversed(j)) ++j;
        if (j == n) return i;
    }
    return npos;
}

size_t findOccurrence(const TextFinder& finder, int64_t occurrence, int64_t start, int64_t count) {
    const int64_t length = static_cast<int64_t>(finder.haystackSize());
    const int64_t n = static_cast<int64_t>(finder.needleSize());
    if (n == 0 || length == 0 || occurrence == 0) return TextFinder::npos;
    if (occurrence > 0) {
        start = std::max<int64_t>(start, 0);
        if (start >= length) return TextFinder::npos;
        if (count < 0 || count > length - start) count = length - start;
        const auto end = static_cast<size_t>(start + count);
        size_t position = static_cast<size_t>(start);
        for (int64_t found = 1;; ++found) {
            size_t match = finder.first(position, end);
            if (match == TextFinder::npos || found == occurrence) return match;
            position = match + static_cast<size_t>(n); // matches never overlap
        }
    }
    int64_t top = start >= 0 && start < length ? start + 1 - n : length - n; // the match ends by `start`
    if (top < 0) return TextFinder::npos;
    if (count < 0 || count > top + 1) count = top + 1;
    const auto lowest = static_cast<size_t>(top - count + 1);
    size_t position = static_cast<size_t>(top);
    for (int64_t found = 1;; ++found) {
        size_t match = finder.last(position, lowest);
        if (match == TextFinder::npos || -found == occurrence) return match;
        if (match < lowest + static_cast<size_t>(n)) return TextFinder::npos;
        position = match - static_cast<size_t>(n);
    }
}

} // namespace vexil
