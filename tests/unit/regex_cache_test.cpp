// The compiled-pattern cache, which scripts see only through speed: hits, round-robin eviction,
// hash collisions, and patterns kept alive for the Regex objects still using them.
#include "base/regex.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace vexil;

namespace {

// Patterns no other test uses, so the process-wide cache holds them only through this test.
std::wstring uniquePattern(const wchar_t* test, int n) { return std::wstring(L"(") + test + L")" + std::to_wstring(n); }

PatternRef compiled(const std::wstring& pattern) {
    size_t errorOffset = 0;
    PatternRef ref = patternCache().get(pattern, errorOffset);
    EXPECT_TRUE(ref) << "does not compile: " << testing::PrintToString(pattern);
    return ref;
}

} // namespace

TEST(RegexCache, HoldsTheLast64PatternsAndEvictsRoundRobin) {
    std::wstring first = uniquePattern(L"evict", 0);
    PatternRef original = compiled(first);
    EXPECT_EQ(compiled(first), original);
    for (int i = 1; i < static_cast<int>(PatternCache::kSlots); ++i) compiled(uniquePattern(L"evict", i));
    EXPECT_EQ(compiled(first), original) << "63 newer patterns leave it in place";
    compiled(uniquePattern(L"evict", static_cast<int>(PatternCache::kSlots)));
    EXPECT_NE(compiled(first), original) << "the 64th newer pattern takes its slot";
    EXPECT_EQ(compiled(uniquePattern(L"evict", 1)), compiled(uniquePattern(L"evict", 1)));
}

TEST(RegexCache, EqualHashesOfDifferentTextsAreDifferentPatterns) {
    // As little-endian bytes U+2141 is 41 21 and "B" is 42 00: 0x41 * 33 + 0x21 == 0x42 * 33.
    PatternRef turned = compiled(L"\u2141");
    PatternRef letter = compiled(L"B");
    EXPECT_NE(turned, letter);
    Regex regex;
    size_t errorOffset = 0;
    ASSERT_TRUE(regex.compile(L"B", errorOffset));
    regex.setSubject(WString(L"\u2141B"));
    size_t offset = 0;
    ASSERT_EQ(regex.nextMatch(offset, false), 1);
    EXPECT_EQ(regex.matchStart(), 1u);
}

TEST(RegexCache, ARegexKeepsItsPatternAfterEviction) {
    Regex regex;
    size_t errorOffset = 0;
    ASSERT_TRUE(regex.compile(L"(k)(e+)p", errorOffset));
    for (int i = 0; i <= static_cast<int>(PatternCache::kSlots); ++i) compiled(uniquePattern(L"keep", i));
    regex.setSubject(WString(L"xkeeep"));
    size_t offset = 0;
    ASSERT_EQ(regex.nextMatch(offset, false), 3);
    EXPECT_EQ(regex.group(2), L"eee");
    EXPECT_EQ(offset, 6u);
}

TEST(RegexCache, PatternsAreJitCompiled) {
    PatternRef ref = compiled(L"(\\w+)\\s+(\\d+)");
    size_t jitSize = 0;
    ASSERT_EQ(pcre2_pattern_info(ref->code, PCRE2_INFO_JITSIZE, &jitSize), 0);
    EXPECT_GT(jitSize, 0u);
}

TEST(RegexCache, RegexesOfOnePatternKeepTheirOwnMatches) {
    // A finished Regex hands its match data back to the pattern for the next one; a Regex still
    // in use keeps its own, so two at once never share groups.
    const wchar_t* pattern = L"(\\d+)-(\\d+)";
    size_t errorOffset = 0;
    auto first = std::make_unique<Regex>();
    Regex second;
    ASSERT_TRUE(first->compile(pattern, errorOffset));
    ASSERT_TRUE(second.compile(pattern, errorOffset));
    first->setSubject(WString(L"a 12-34"));
    second.setSubject(WString(L"5-6 b"));
    size_t a = 0, b = 0;
    ASSERT_EQ(first->nextMatch(a, false), 3);
    ASSERT_EQ(second.nextMatch(b, false), 3);
    first.reset();
    Regex third;
    ASSERT_TRUE(third.compile(pattern, errorOffset));
    third.setSubject(WString(L"7-8"));
    size_t c = 0;
    ASSERT_EQ(third.nextMatch(c, false), 3);
    EXPECT_EQ(second.group(1), L"5");
    EXPECT_EQ(second.group(2), L"6");
    EXPECT_EQ(third.group(1), L"7");
    EXPECT_EQ(third.group(2), L"8");
}
