#include "base/regex.h"

#include "base/utf16.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace vexil {

namespace {

// The pattern is checked when it compiles; subjects are made valid once in setSubject, since a
// check at every match call would make a loop over the matches quadratic.
constexpr uint32_t kCompileOptions = PCRE2_UTF;
constexpr uint32_t kMatchOptions = PCRE2_NO_UTF_CHECK;
constexpr uint32_t kRetryOptions = PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;

// Bounds that turn catastrophic backtracking and runaway memory into a failure instead of a hang.
constexpr uint32_t kMatchLimit = 10'000'000;
constexpr uint32_t kHeapLimitKiB = 256 * 1024;
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 64 * 1024 * 1024;

// An empty view may carry no pointer, which PCRE2 refuses even with a length of 0.
PCRE2_SPTR16 units(std::wstring_view text) { return reinterpret_cast<PCRE2_SPTR16>(text.empty() ? L"" : text.data()); }

// DJB hash over the pattern's units as little-endian bytes.
uint32_t patternHash(std::wstring_view pattern) {
    uint32_t hash = 5381;
    for (wchar_t unit : pattern) {
        hash = hash * 33 + (static_cast<uint32_t>(unit) & 0xFF);
        hash = hash * 33 + (static_cast<uint32_t>(unit) >> 8);
    }
    return hash;
}

// One match context (limits and JIT stack) serves every match: only the script thread matches.
class MatchSettings {
public:
    MatchSettings() {
        context_ = pcre2_match_context_create(nullptr);
        if (!context_) return; // out of memory: PCRE2's defaults apply
        pcre2_set_match_limit(context_, kMatchLimit);
        pcre2_set_heap_limit(context_, kHeapLimitKiB);
        jitStack_ = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
        if (jitStack_) pcre2_jit_stack_assign(context_, nullptr, jitStack_);
    }
    ~MatchSettings() {
        pcre2_match_context_free(context_);
        pcre2_jit_stack_free(jitStack_);
    }
    MatchSettings(const MatchSettings&) = delete;
    MatchSettings& operator=(const MatchSettings&) = delete;
    pcre2_match_context* context() const { return context_; }

private:
    pcre2_match_context* context_ = nullptr;
    pcre2_jit_stack* jitStack_ = nullptr;
};

pcre2_match_context* matchContext() {
    static MatchSettings settings;
    return settings.context();
}

// A replacement template parsed once: literal runs and group references, in order.
class ReplacementTemplate {
public:
    explicit ReplacementTemplate(std::wstring_view text) {
        size_t i = 0;
        while (i < text.size()) {
            wchar_t c = text[i];
            if (c == L'\\') {
                if (i + 1 < text.size() && isDigit(text[i + 1])) {
                    i = addReference(text, i + 1);
                    continue;
                }
                // "\\" and "\$" give the character; before anything else the backslash is dropped.
                ++i;
                if (i < text.size() && (text[i] == L'\\' || text[i] == L'$')) addLiteral(text[i++]);
                continue;
            }
            if (c == L'$' && i + 1 < text.size()) {
                if (isDigit(text[i + 1])) {
                    i = addReference(text, i + 1);
                    continue;
                }
                size_t close = bracedReferenceEnd(text, i + 1);
                if (close != 0) {
                    addReference(text, i + 2);
                    i = close + 1;
                    continue;
                }
            }
            addLiteral(c);
            ++i;
        }
    }

    size_t references() const { return references_; }

    void expand(const Regex& regex, WString& out) const {
        for (const Piece& piece : pieces_) {
            if (piece.group < 0)
                out.append(std::wstring_view(literals_).substr(piece.start, piece.length));
            else
                out.append(regex.group(piece.group));
        }
    }

private:
    struct Piece {
        int group; // -1: literal text
        size_t start;
        size_t length;
    };

    static bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

    // Position of the "}" closing "{digits}" at `open`, or 0 when there is no such reference.
    static size_t bracedReferenceEnd(std::wstring_view text, size_t open) {
        if (text[open] != L'{') return 0;
        size_t i = open + 1;
        while (i < text.size() && isDigit(text[i])) ++i;
        return i > open + 1 && i < text.size() && text[i] == L'}' ? i : 0;
    }

    // Reads the digits at `i` as a group number; returns the position after them.
    size_t addReference(std::wstring_view text, size_t i) {
        int64_t number = 0;
        for (; i < text.size() && isDigit(text[i]); ++i)
            number = std::min<int64_t>(number * 10 + (text[i] - L'0'), INT32_MAX); // past any group
        pieces_.push_back({static_cast<int>(number), 0, 0});
        ++references_;
        return i;
    }

    void addLiteral(wchar_t c) {
        if (pieces_.empty() || pieces_.back().group >= 0) pieces_.push_back({-1, literals_.size(), 0});
        literals_.push_back(c);
        ++pieces_.back().length;
    }

    std::vector<Piece> pieces_;
    std::wstring literals_;
    size_t references_ = 0;
};

} // namespace

PatternRef PatternCache::get(std::wstring_view pattern, size_t& errorOffset) {
    uint32_t hash = patternHash(pattern);
    for (size_t i = 0; i < kSlots; ++i)
        if (hashes_[i] == hash && slots_[i].pattern && slots_[i].text == pattern) return slots_[i].pattern;

    int errorCode = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(units(pattern), pattern.size(), kCompileOptions, &errorCode, &offset, nullptr);
    if (!code) {
        errorOffset = offset;
        return nullptr;
    }
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE); // without JIT the interpreter matches
    uint32_t captures = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &captures);
    auto compiled = std::make_shared<const CompiledPattern>(code, captures);

    hashes_[next_] = hash;
    Slot& slot = slots_[next_];
    next_ = (next_ + 1) % kSlots;
    slot.text.assign(pattern);
    slot.pattern = compiled;
    return compiled;
}

PatternCache& patternCache() {
    static PatternCache cache;
    return cache;
}

Regex::~Regex() { releaseMatchData(); }

void Regex::releaseMatchData() {
    if (matchData_ && pattern_ && !pattern_->spareMatchData) pattern_->spareMatchData = matchData_;
    else pcre2_match_data_free(matchData_);
    matchData_ = nullptr;
}

bool Regex::compile(std::wstring_view pattern, size_t& errorOffset) {
    releaseMatchData();
    ovector_ = nullptr;
    lastResult_ = 0;
    retryOptions_ = 0;
    failureCode_ = 0;
    pattern_ = patternCache().get(pattern, errorOffset);
    if (!pattern_) return false;
    matchData_ = std::exchange(pattern_->spareMatchData, nullptr);
    if (!matchData_) matchData_ = pcre2_match_data_create_from_pattern(pattern_->code, nullptr);
    if (!matchData_) {
        pattern_.reset();
        errorOffset = 0;
        return false;
    }
    ovector_ = pcre2_get_ovector_pointer(matchData_);
    return true;
}

void Regex::setSubject(const WString& subject) {
    subject_ = subject;
    // Lone surrogates are matched as U+FFFD: one unit for one, so offsets and groups (taken from
    // the subject itself) are unchanged.
    matchText_ = subject;
    std::wstring_view text = subject.view();
    bool anySurrogate = std::any_of(text.begin(), text.end(), [](wchar_t c) { return (c & 0xF800) == 0xD800; });
    wchar_t* own = nullptr;
    for (size_t i = 0; anySurrogate && i < text.size(); ++i) {
        if (isSurrogatePair(text, i)) {
            ++i;
        } else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i])) {
            if (!own) own = matchText_.resize(text.size());
            own[i] = 0xFFFD;
        }
    }
    lastResult_ = 0;
    retryOptions_ = 0;
    failureCode_ = 0;
}

int Regex::nextMatch(size_t& offset, bool advanceOverEmpty) {
    std::wstring_view subject = matchText_.view();
    for (;;) {
        if (!pattern_ || offset == kNoOffset || offset > subject.size()) return lastResult_ = 0;
        if (offset > 0 && isSurrogatePair(subject, offset - 1)) ++offset; // no match starts inside a character
        int rc = pcre2_match(pattern_->code, units(subject), subject.size(), offset, kMatchOptions | retryOptions_,
                             matchData_, matchContext());
        if (rc > 0) {
            retryOptions_ = 0;
            lastResult_ = rc;
            size_t start = ovector_[0], end = std::max<size_t>(ovector_[1], offset);
            offset = end;
            if (advanceOverEmpty && start == end) {
                if (end == subject.size())
                    offset = subject.size() + 1;
                else
                    retryOptions_ = kRetryOptions;
            }
            return rc;
        }
        if (rc == PCRE2_ERROR_NOMATCH && retryOptions_ != 0) {
            retryOptions_ = 0;
            ++offset; // past a whole pair at the top of the loop
            continue;
        }
        if (rc != PCRE2_ERROR_NOMATCH) {
            failureCode_ = rc;
            failureOffset_ = offset;
        }
        return lastResult_ = 0;
    }
}

std::wstring_view Regex::group(int i) const {
    if (i < 0 || i >= lastResult_) return {};
    PCRE2_SIZE start = ovector_[2 * i], end = ovector_[2 * i + 1];
    if (start == PCRE2_UNSET || end < start) return {};
    return subject_.view().substr(start, end - start);
}

namespace {

// The template of the last replace, kept parsed: a replace in a loop mostly repeats its template.
const ReplacementTemplate& parsedTemplate(std::wstring_view text) {
    static std::wstring lastText;
    static ReplacementTemplate last{std::wstring_view()};
    if (text != lastText) {
        last = ReplacementTemplate(text);
        lastText.assign(text);
    }
    return last;
}

} // namespace

int64_t Regex::replace(std::wstring_view replacementTemplate, int64_t limit, WString& out) {
    const ReplacementTemplate& expansion = parsedTemplate(replacementTemplate);
    std::wstring_view subject = subject_.view();
    out.clear();
    out.reserve(subject.size() + 1);
    size_t offset = 0, copied = 0;
    int64_t replaced = 0;
    while ((limit <= 0 || replaced < limit) && nextMatch(offset, true) > 0) {
        size_t start = std::max(matchStart(), copied);
        out.append(subject.substr(copied, start - copied));
        expansion.expand(*this, out);
        copied = std::max(matchEnd(), start);
        ++replaced;
    }
    out.append(subject.substr(copied));
    return replaced * static_cast<int64_t>(std::max<size_t>(expansion.references(), 1));
}

} // namespace vexil
