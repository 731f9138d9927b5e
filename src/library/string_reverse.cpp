// STRINGREVERSE: a text backwards by user-perceived characters (extended grapheme clusters), or
// by code units.
#include "base/utf16.h"
#include "engine/builtins/builtin_api.h"

#include <pcre2.h>

#include <algorithm>
#include <vector>

namespace vexil {

namespace {


// The cluster pattern, compiled once for the run (the script thread is the only user).
class ClusterPattern {
public:
    ClusterPattern() {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(u"(*UCP)\\X"), PCRE2_ZERO_TERMINATED, PCRE2_UTF, &error,
                              &offset, nullptr);
        if (!code_) return;
        pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE);
        match_ = pcre2_match_data_create_from_pattern(code_, nullptr);
    }
    ~ClusterPattern() {
        pcre2_match_data_free(match_);
        pcre2_code_free(code_);
    }
    ClusterPattern(const ClusterPattern&) = delete;
    ClusterPattern& operator=(const ClusterPattern&) = delete;

    // The length of the cluster at `at` in `text`, which must be valid UTF-16.
    size_t clusterAt(std::wstring_view text, size_t at) {
        if (match_ && pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), at,
                                  PCRE2_NO_UTF_CHECK, match_, nullptr) > 0) {
            const PCRE2_SIZE* found = pcre2_get_ovector_pointer(match_);
            if (found[0] == at && found[1] > at) return found[1] - at;
        }
        return isSurrogatePair(text, at) ? 2 : 1; // a code point at least
    }

private:
    pcre2_code* code_ = nullptr;
    pcre2_match_data* match_ = nullptr;
};

// The end of the run of well-formed UTF-16 that starts at `at`. A lone surrogate ends a run and
// stands alone: the pattern may only see well-formed text, and a lone surrogate is a cluster of
// its own anyway.
size_t validRunEnd(std::wstring_view text, size_t at) {
    while (at < text.size()) {
        if (isSurrogatePair(text, at)) at += 2;
        else if (isHighSurrogate(text[at]) || isLowSurrogate(text[at])) break;
        else ++at;
    }
    return at;
}

std::vector<size_t> clusterStarts(std::wstring_view text) {
    static ClusterPattern pattern;
    std::vector<size_t> starts;
    for (size_t at = 0; at < text.size();) {
        size_t end = validRunEnd(text, at);
        if (end == at) { // a lone surrogate
            starts.push_back(at++);
            continue;
        }
        std::wstring_view run = text.substr(at, end - at);
        for (size_t i = 0; i < run.size(); i += pattern.clusterAt(run, i)) starts.push_back(at + i);
        at = end;
    }
    return starts;
}

} // namespace

int builtinStringReverse(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text();
    const bool byUnits = optInt(args, 1, 0) == 1;
    WString reversed;
    if (text.empty()) {
        result = Variant::string(std::move(reversed));
        return 0;
    }
    wchar_t* out = reversed.resize(text.size());
    if (byUnits) {
        std::reverse_copy(text.begin(), text.end(), out);
    } else {
        std::vector<size_t> starts = clusterStarts(text);
        size_t end = text.size();
        for (size_t i = starts.size(); i-- > 0;) {
            out = std::copy(text.begin() + starts[i], text.begin() + end, out);
            end = starts[i];
        }
    }
    result = Variant::string(std::move(reversed));
    return 0;
}

} // namespace vexil
