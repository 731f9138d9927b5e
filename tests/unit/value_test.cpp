// Conversions of the kinds that scripts cannot make yet (Binary, Ptr) and value sharing.
#include "engine/front/keywords.h"
#include "engine/values/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace vexil;

namespace {
std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s += static_cast<char>(b);
    return s;
}
} // namespace

TEST(Value, BinaryConversions) {
    Variant two = Variant::binary(bytes({1, 2}));
    EXPECT_EQ(two.text().view(), L"0x0102");
    EXPECT_EQ(Variant::binary("").text().view(), L"");
    EXPECT_EQ(Variant::binary(bytes({1, 0, 0, 0})).toInt32(), 1);
    EXPECT_EQ(Variant::binary(bytes({0xFF, 0xFF, 0xFF, 0xFF})).toInt64(), -1);          // four bytes: sign-extended
    EXPECT_EQ(Variant::binary(bytes({0xFF, 0xFF, 0xFF, 0xFF, 0})).toInt64(), 4294967295); // five: 64-bit
    EXPECT_EQ(Variant::binary(std::string(9, '\1')).toInt32(), 0);
    EXPECT_EQ(Variant::binary(bytes({1})).toDouble(), 0.0);
    EXPECT_TRUE(Variant::binary(bytes({0})).toBool());
    EXPECT_FALSE(Variant::binary("").toBool());
}

TEST(Value, ToBinaryOfEveryKind) {
    EXPECT_EQ(Variant::int32(0x01020304).toBytes(), bytes({4, 3, 2, 1}));
    EXPECT_EQ(Variant::int64(1).toBytes().size(), 8u);
    EXPECT_EQ(Variant::boolean(true).toBytes(), bytes({1}));
    EXPECT_EQ(Variant::string(L"0x0AfF").toBytes(), bytes({0x0A, 0xFF}));
    EXPECT_EQ(Variant::string(L"0xABC").toBytes(), "0xABC"); // odd digit count: the text in ANSI
    EXPECT_EQ(Variant::string(L"0xZZ").toBytes(), "0xZZ");
    EXPECT_EQ(Variant::string(L"h\u00e9").toBytes(), "h\xE9");
    EXPECT_EQ(Variant::keyword(static_cast<int32_t>(Keyword::Default), 7, L"Default").toBytes(), bytes({7, 0, 0, 0}));
    Variant v = Variant::int32(5);
    v.makeBinary();
    EXPECT_EQ(v.kind(), VarKind::Binary);
    EXPECT_EQ(v.binaryLength(), 4u);
}

TEST(Value, BinaryArithmeticAndComparison) {
    Variant a = Variant::binary(bytes({1}));
    Variant shared = a;
    a.add(Variant::binary(bytes({2})));
    EXPECT_EQ(a.text().view(), L"0x0102");
    EXPECT_EQ(shared.text().view(), L"0x01"); // the copy keeps its value
    EXPECT_TRUE(Variant::equal(Variant::binary(bytes({0x41})), Variant::string(L"A")));
    EXPECT_TRUE(Variant::equal(Variant::binary(bytes({1, 0, 0, 0})), Variant::int32(1)));
    Variant b = Variant::binary(bytes({3}));
    b.subtract(Variant::int32(1)); // Binary on the left of "-" is made Double (0.0)
    EXPECT_EQ(b.kind(), VarKind::Double);
    EXPECT_EQ(b.doubleValue(), -1.0);
}

TEST(Value, PointerText) {
    EXPECT_EQ(Variant::pointer(0xABCDEF).text().view(), L"0x0000000000ABCDEF");
    Variant p = Variant::pointer(16);
    p.add(Variant::int32(4));
    EXPECT_EQ(p.kind(), VarKind::Ptr);
    EXPECT_EQ(p.toPointer(), 20u);
    p.multiply(Variant::int32(2)); // a pointer is not multiplied
    EXPECT_EQ(p.toPointer(), 20u);
    EXPECT_TRUE(Variant::lessThan(Variant::pointer(1), Variant::pointer(~0ull))); // unsigned
}

TEST(Value, DoubleToIntegerEdges) {
    EXPECT_EQ(Variant::real(2.9999999999999996).toInt64(), 3);
    EXPECT_EQ(Variant::real(-2.9999999999999996).toInt64(), -3);
    EXPECT_EQ(Variant::real(2.5).toInt64(), 2);
    EXPECT_EQ(Variant::real(-0.0).toInt64(), 0);
    EXPECT_EQ(Variant::real(1e300).toInt64(), INT64_MIN);
    EXPECT_EQ(Variant::real(NAN).toInt64(), INT64_MIN);
    EXPECT_EQ(Variant::real(NAN).toInt32(), INT32_MIN);
    EXPECT_EQ(Variant::real(3e9).toInt32(), INT32_MIN);
    EXPECT_EQ(Variant::real(-2147483648.9).toInt32(), INT32_MIN);
    EXPECT_EQ(Variant::real(-7.9).toInt32(), -7);
}

TEST(Value, TextIsSharedAndCopiedOnChange) {
    WString a = L"abc";
    WString b = a;
    EXPECT_EQ(a.c_str(), b.c_str());
    b.append(L"d");
    EXPECT_EQ(a.view(), L"abc");
    EXPECT_EQ(b.view(), L"abcd");
    WString self = L"xy";
    self.append(self.view()); // appending a string to itself
    EXPECT_EQ(self.view(), L"xyxy");
    WString shared = self; // "$s &= $s": the text appended is the string's own, held twice
    self.append(shared.view());
    EXPECT_EQ(self.view(), L"xyxyxyxy");
    EXPECT_EQ(shared.view(), L"xyxy");
    self.append(std::wstring_view(self.c_str() + 1, 2)); // a part of its own unshared buffer
    EXPECT_EQ(self.view(), L"xyxyxyxyyx");
    WString built;
    for (int i = 0; i < 10000; ++i) built.append(L'z');
    EXPECT_EQ(built.size(), 10000u);
    EXPECT_EQ(WString::compare(L"abc", L"ABD", 2), -1);
    EXPECT_EQ(WString::compare(L"ab", L"abc", 2), -1);
    EXPECT_EQ(WString::compare(L"ABC", L"abc", 0), 0);
}

TEST(Value, DroppedTextBlocksServeNewTextsWhole) {
    // Short texts reuse the blocks of dropped ones: texts of every length made, half dropped and
    // remade with other content, and one built up unit by unit, keep exactly their own text.
    auto textOf = [](size_t length, wchar_t fill) { return std::wstring(length, fill); };
    std::vector<WString> texts;
    for (size_t n = 1; n <= 300; ++n) texts.emplace_back(textOf(n, L'a'));
    for (size_t n = 1; n <= 300; n += 2) texts[n - 1] = WString();
    for (size_t n = 1; n <= 300; n += 2) texts[n - 1] = WString(textOf(n, L'b'));
    WString grown;
    for (int i = 0; i < 200; ++i) grown.append(L'c');
    for (size_t n = 1; n <= 300; ++n) EXPECT_EQ(texts[n - 1].view(), textOf(n, n % 2 ? L'b' : L'a')) << n;
    EXPECT_EQ(grown.view(), textOf(200, L'c'));
}

TEST(Value, KindNames) {
    EXPECT_STREQ(Variant::reference(nullptr).kindName(), "Reference");
    EXPECT_STREQ(Variant::pointer(0).kindName(), "Ptr");
    EXPECT_STREQ(Variant::function(VarKind::UserFunction, L"F", 0).kindName(), "UserFunction");
    EXPECT_STREQ(Variant().kindName(), "Int32");
}
