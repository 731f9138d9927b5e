// Structure definitions read and laid out: offsets, sizes, nesting, and every refusal.
#include "interop/dll_struct.h"
#include "interop/struct_definition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexil;

namespace {

std::wstring repeated(std::wstring_view piece, int times) {
    std::wstring out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

std::vector<uint32_t> offsetsOf(const StructLayout& layout) {
    std::vector<uint32_t> offsets;
    for (const DllStructElement& e : layout.elements) offsets.push_back(e.offset);
    return offsets;
}

} // namespace

TEST(StructDefinition, LaysOutOffsetsAndSize) {
    struct Case {
        std::wstring_view definition;
        std::vector<uint32_t> offsets;
        size_t size;
    };
    const Case cases[] = {
        {L"byte a; int b; short c", {0, 4, 8}, 12},
        {L"align 1;byte a;int b;short c", {0, 1, 5}, 7},
        {L"align;byte a;int b", {0, 4}, 8}, // "align" alone is 8
        {L"byte a; align 2; int b; double c", {0, 2, 6}, 14},
        {L"align 16; byte a; double b", {0, 8}, 16},
        {L"char s[5]; double d", {0, 8}, 16},
        {L"int a[3]; byte b", {0, 12}, 16},
        {L"wchar w[3]; int64 x; ", {0, 8}, 16}, // a trailing ";" and blanks
        {L"BYTE A;Int B", {0, 4}, 8},
        {L"  int  a  [ 2 ] ;\tbyte\tb\t", {0, 8}, 12},
        // Nested: the block starts at its largest member's alignment and is padded to it.
        {L"byte a; struct; byte b; int c; endstruct; byte d", {0, 4, 8, 12}, 16},
        {L"byte a; struct; byte b; struct; short c; endstruct; endstruct; byte d", {0, 2, 4, 6}, 8},
        {L"align 2; byte a; struct; byte b; double c; endstruct", {0, 2, 4}, 12},
        {L"struct; endstruct; byte a", {0}, 1},
        {L"struct;byte a;endstruct;struct;byte b;int64 c;endstruct", {0, 8, 16}, 24},
    };
    for (const Case& c : cases) {
        const StructLayout layout = layOutStruct(c.definition);
        const std::string name(c.definition.begin(), c.definition.end());
        ASSERT_EQ(layout.error, StructDefinitionError::None) << name;
        EXPECT_EQ(offsetsOf(layout), c.offsets) << name;
        EXPECT_EQ(layout.size, c.size) << name;
    }
}

TEST(StructDefinition, EveryTypeHasItsSizeAndKind) {
    using enum DllElementKind;
    struct Case {
        std::wstring_view type;
        uint32_t size;
        DllElementKind kind;
        bool wholeArray; // an array of it is one string or Binary
    };
    const Case cases[] = {
        {L"byte", 1, Unsigned, true},      {L"ubyte", 1, Unsigned, true},    {L"boolean", 1, Unsigned, true},
        {L"char", 1, AnsiChar, true},      {L"wchar", 2, WideChar, true},    {L"short", 2, Signed, false},
        {L"ushort", 2, Unsigned, false},   {L"word", 2, Unsigned, false},    {L"dword", 4, Unsigned, false},
        {L"long", 4, Signed, false},       {L"ulong", 4, Unsigned, false},   {L"int", 4, Signed, false},
        {L"bool", 4, Signed, false},       {L"uint", 4, Unsigned, false},    {L"int64", 8, Signed, false},
        {L"uint64", 8, Unsigned, false},   {L"ptr", 8, Pointer, false},      {L"hwnd", 8, Pointer, false},
        {L"handle", 8, Pointer, false},    {L"float", 4, Float, false},      {L"double", 8, Float, false},
        {L"int_ptr", 8, Signed, false},    {L"long_ptr", 8, Signed, false},  {L"lresult", 8, Signed, false},
        {L"lparam", 8, Signed, false},     {L"uint_ptr", 8, Unsigned, false}, {L"ulong_ptr", 8, Unsigned, false},
        {L"dword_ptr", 8, Unsigned, false}, {L"wparam", 8, Unsigned, false},
    };
    for (const Case& c : cases) {
        const std::string name(c.type.begin(), c.type.end());
        const StructLayout array = layOutStruct(std::wstring(c.type) + L" x[3]; " + std::wstring(c.type) + L" y");
        ASSERT_EQ(array.error, StructDefinitionError::None) << name;
        ASSERT_EQ(array.elements.size(), 2u) << name;
        const DllStructElement& x = array.elements[0];
        EXPECT_EQ(x.name, L"x") << name;
        EXPECT_EQ(x.itemSize, c.size) << name;
        EXPECT_EQ(x.count, 3u) << name;
        EXPECT_EQ(x.kind, c.kind) << name;
        EXPECT_EQ(x.wholeValue, c.wholeArray) << name;
        EXPECT_FALSE(array.elements[1].wholeValue) << name << ": no brackets, no array";
        EXPECT_EQ(array.elements[1].offset, 3 * c.size) << name;
    }
}

TEST(StructDefinition, NamesAndCounts) {
    const StructLayout layout = layOutStruct(L"int[2]; char s[1]; byte b; int x;int X");
    ASSERT_EQ(layout.error, StructDefinitionError::None);
    ASSERT_EQ(layout.elements.size(), 5u);
    EXPECT_EQ(layout.elements[0].name, L"");
    EXPECT_EQ(layout.elements[0].count, 2u);
    EXPECT_TRUE(layout.elements[1].wholeValue); // an array of one char is still a string
    EXPECT_EQ(layout.elements[4].name, L"X");

    DllStructRecord record(layout.elements, layout.size, nullptr);
    EXPECT_EQ(record.findElement(L"S"), &record.elements()[1]);
    EXPECT_EQ(record.findElement(L"x"), &record.elements()[3]); // the first of a name
    EXPECT_EQ(record.findElement(L""), nullptr);
    EXPECT_EQ(record.findElement(L"y"), nullptr);
    EXPECT_EQ(record.elementAt(1), &record.elements()[0]);
    EXPECT_EQ(record.elementAt(5), &record.elements()[4]);
    EXPECT_EQ(record.elementAt(0), nullptr);
    EXPECT_EQ(record.elementAt(6), nullptr);
    EXPECT_EQ(record.elementAt(-1), nullptr);
}

TEST(StructDefinition, RefusesBadDefinitions) {
    using enum StructDefinitionError;
    struct Case {
        std::wstring definition;
        StructDefinitionError error;
    };
    const Case cases[] = {
        {L"int a[0]", BadElement},
        {L"align 3;int a", BadElement},
        {L"align 0;int a", BadElement},
        {L"align x;int a", BadElement},
        {L"align 4[2];int a", BadElement},
        {L"foo a", BadElement},
        {L"int a[", BadElement},
        {L"int a[4", BadElement},
        {L"int a[4 5]", BadElement},
        {L"int a[x]", BadElement},
        {L"int a[]", BadElement},
        {L"int a[-1]", BadElement},
        {L"", BadElement}, // nothing to lay out
        {L" ; ", BadElement},
        {L"align 4", BadElement},
        {L"struct;endstruct", BadElement},
        {L"int a;;int b", BadElement}, // an empty element
        {L"struct;int a", BadElement},
        {L"endstruct;int a", BadElement},
        {L"int a;endstruct", BadElement},
        {L"struct x;int a;endstruct", BadElement},
        {L"struct;int a;endstruct[2]", BadElement},
        {L"int a b", TrailingText},
        {L"int a[2]b", TrailingText},
        {L"int a[2] b", TrailingText},
        {L"int a]", TrailingText},
        {L"align 16 x;int a", TrailingText},
        {L"int a b; foo c", TrailingText}, // the first fault counts
        // Sizes: 2^28 bytes at most, whatever the arithmetic would overflow into.
        {L"byte a[2000000000]", BadElement},
        {L"int a[99999999999]", BadElement},
        {L"int64 a[99999999999999999999999999999999]", BadElement},
        {L"byte a[268435457]", BadElement},
        {L"int a[67108865]", BadElement},
        {L"byte a[134217728];byte b[134217729]", BadElement},
        {L"byte a[268435455]; short b", BadElement},
        {L"byte a[268435455]; int64 b", BadElement},
        {L"struct;byte a[268435456];endstruct;byte b", BadElement},
        {L"byte a[268435455];struct;byte b;short c;endstruct", BadElement},
        {repeated(L"struct;", 100000) + L"byte a", BadElement},
        {L"byte a;" + repeated(L"endstruct;", 100000), BadElement},
    };
    for (const Case& c : cases) {
        const StructLayout layout = layOutStruct(c.definition);
        const std::string name(c.definition.begin(), c.definition.begin() + std::min<size_t>(c.definition.size(), 60));
        EXPECT_EQ(layout.error, c.error) << name;
        EXPECT_TRUE(layout.elements.empty()) << name;
        EXPECT_EQ(layout.size, 0u) << name;
    }
}

TEST(StructDefinition, LargestSizesAndDeepNesting) {
    EXPECT_EQ(layOutStruct(L"byte a[268435456]").size, kMaxStructSize);
    EXPECT_EQ(layOutStruct(L"int a[67108864]").size, kMaxStructSize);
    EXPECT_EQ(layOutStruct(L"byte a[268435454]; short b").size, kMaxStructSize);

    // A hundred thousand levels, each holding a byte before the next: one byte apart, unpadded.
    const StructLayout deep = layOutStruct(repeated(L"struct;byte a;", 100000) + repeated(L"endstruct;", 100000));
    ASSERT_EQ(deep.error, StructDefinitionError::None);
    ASSERT_EQ(deep.elements.size(), 100000u);
    EXPECT_EQ(deep.elements.back().offset, 99999u);
    EXPECT_EQ(deep.size, 100000u);

    // The same with an int at the bottom: every level takes its alignment of 4.
    const StructLayout aligned =
        layOutStruct(repeated(L"struct;byte a;", 1000) + L"int b;" + repeated(L"endstruct;", 1000));
    ASSERT_EQ(aligned.error, StructDefinitionError::None);
    EXPECT_EQ(aligned.elements[1].offset, 4u);
    EXPECT_EQ(aligned.elements[999].offset, 999u * 4);
    EXPECT_EQ(aligned.elements[1000].offset, 1000u * 4);
    EXPECT_EQ(aligned.size, 1001u * 4);
}

TEST(StructDefinition, TheValueCarriesTheStructureSize) {
    StructLayout layout = layOutStruct(L"byte a; int b; short c");
    const Variant value = dllStructValue(new DllStructRecord(std::move(layout.elements), layout.size, nullptr));
    const Variant copy = value;
    EXPECT_EQ(copy.binaryLength(), 12u);
    EXPECT_EQ(dllStructOf(copy), dllStructOf(value)); // one record for every copy
    EXPECT_EQ(copy.text().view(), L"");
    EXPECT_FALSE(copy.toBool());
}
