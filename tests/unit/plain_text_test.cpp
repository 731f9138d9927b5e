// The shortcut of the locale comparisons for plain texts must say what the platform says.
#include "base/text_search.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <random>
#include <string>
#include <vector>

namespace vexil {
namespace {

bool platformEqual(std::wstring_view a, std::wstring_view b, LCID locale) {
    return CompareStringW(locale, NORM_IGNORECASE, a.empty() ? L"" : a.data(), static_cast<int>(a.size()),
                          b.empty() ? L"" : b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::wstring plainUnits() {
    std::wstring units;
    for (wchar_t c = 0x20; c < 0x7F; ++c)
        if (c != L'-' && c != L'\'') units += c;
    return units;
}

// The modes whose plain texts take the shortcut, with the locale the platform compares them in.
std::vector<std::pair<CompareMode, LCID>> shortcutModes() {
    std::vector<std::pair<CompareMode, LCID>> modes = {{CompareMode::English, 1033}};
    if (foldsPlainTextAsAscii(CompareMode::Locale)) modes.push_back({CompareMode::Locale, LOCALE_USER_DEFAULT});
    return modes;
}

std::wstring randomText(std::mt19937& rng, std::wstring_view alphabet, size_t maxLength) {
    std::wstring text(rng() % (maxLength + 1), L' ');
    for (wchar_t& c : text) c = alphabet[rng() % alphabet.size()];
    return text;
}

TEST(PlainText, WhatIsPlain) {
    EXPECT_TRUE(isPlainText(L""));
    EXPECT_TRUE(isPlainText(L"Untitled  Notepad! 09_~"));
    EXPECT_FALSE(isPlainText(L"co-op"));
    EXPECT_FALSE(isPlainText(L"it's"));
    EXPECT_FALSE(isPlainText(std::wstring(L"a\x01")));
    EXPECT_FALSE(isPlainText(std::wstring(1, L'\0')));
    EXPECT_FALSE(isPlainText(L"caf\u00E9"));
    EXPECT_FALSE(isPlainText(L"\x7F"));
}

TEST(PlainText, EveryPairOfPlainUnitsIsEqualAsThePlatformSays) {
    const std::wstring units = plainUnits();
    for (auto [mode, locale] : shortcutModes()) {
        for (wchar_t a : units) {
            for (wchar_t b : units) {
                std::wstring_view x(&a, 1), y(&b, 1);
                ASSERT_EQ(textsEqual(x, y, mode), platformEqual(x, y, locale))
                    << "units " << int(a) << " and " << int(b) << " in mode " << int(mode);
            }
        }
    }
}

TEST(PlainText, RandomTextsAreEqualAsThePlatformSays) {
    std::mt19937 rng(20261210);
    const std::wstring alphabet = L"aAbBzZqQ09 _.~@`[{|\\";
    for (auto [mode, locale] : shortcutModes()) {
        int equalPairs = 0;
        for (int i = 0; i < 20000; ++i) {
            std::wstring a = randomText(rng, alphabet, 6);
            std::wstring b = a;
            // Half the pairs differ only by case, so that equal pairs are common.
            if (i % 2) b = randomText(rng, alphabet, 6);
            else
                for (wchar_t& c : b)
                    if (rng() % 2 && std::iswalpha(c)) c ^= 0x20;
            bool expected = platformEqual(a, b, locale);
            equalPairs += expected;
            ASSERT_EQ(textsEqual(a, b, mode), expected) << "mode " << int(mode);
        }
        EXPECT_GT(equalPairs, 5000);
    }
}

TEST(PlainText, SearchesFindWhatThePlatformFinds) {
    std::mt19937 rng(7);
    const std::wstring alphabet = L"aAbB ._";
    for (auto [mode, locale] : shortcutModes()) {
        for (int i = 0; i < 5000; ++i) {
            std::wstring haystack = randomText(rng, alphabet, 24), needle = randomText(rng, alphabet, 3);
            if (needle.empty()) needle = L"a";
            size_t expected = TextFinder::npos;
            for (size_t p = 0; p + needle.size() <= haystack.size() && expected == TextFinder::npos; ++p)
                if (platformEqual(std::wstring_view(haystack).substr(p, needle.size()), needle, locale)) expected = p;
            TextFinder finder(haystack, needle, mode);
            ASSERT_EQ(finder.first(0, haystack.size()), expected) << "mode " << int(mode);
        }
    }
}

} // namespace
} // namespace vexil
