// Automation values both ways, for what no script can send: VARIANTs a server hands back by
// reference, null references, types with no script form, dates before 1900; and the parser of
// interface descriptions.
#include "engine/values/containers.h"
#include "interop/com_interface_description.h"
#include "interop/com_variant.h"

#include <gtest/gtest.h>

namespace vexil {
namespace {

Variant converted(VARIANT v) {
    Variant out = Variant::int32(-1);
    fromVariant(v, out);
    return out;
}

TEST(ComConversion, ByReferenceValuesAreReadThrough) {
    LONG number = 42;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_I4;
    v.plVal = &number;
    EXPECT_EQ(converted(v).int32Value(), 42);
    VARIANT inner;
    VariantInit(&inner);
    inner.vt = VT_R8;
    inner.dblVal = 2.5;
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = &inner;
    EXPECT_EQ(converted(v).doubleValue(), 2.5);
}

TEST(ComConversion, NullReferenceAndUnknownTypesGiveEmptyText) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_I4;
    v.plVal = nullptr;
    Variant out;
    EXPECT_FALSE(fromVariant(v, out));
    EXPECT_TRUE(out.is(VarKind::String) && out.text().empty());
    v.vt = VT_RECORD;
    v.pvRecord = nullptr;
    EXPECT_FALSE(fromVariant(v, out));
    EXPECT_TRUE(out.is(VarKind::String));
}

TEST(ComConversion, DatesAsFourteenDigits) {
    struct Case {
        DATE date;
        const wchar_t* text;
    } cases[] = {
        {42067.0 + 18367.0 / 86400.0, L"20150304050607"},
        {0.0, L"18991230000000"},
        {-1.25, L"18991229060000"},          // before the epoch: the fraction is still the time of day
        {36585.0, L"20000229000000"},        // a leap day
        {2.0 - 0.1 / 86400.0, L"19000101000000"}, // rounds to the next second, and day
    };
    for (const Case& c : cases) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_DATE;
        v.date = c.date;
        EXPECT_EQ(std::wstring(converted(v).text().view()), c.text) << c.date;
    }
}

TEST(ComConversion, UnsignedThirtyTwoBitsWrap) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_UI4;
    v.ulVal = 4294967295u;
    EXPECT_EQ(converted(v).int32Value(), -1);
}

TEST(ComConversion, ArraysGoOutAsVariantSafeArraysOfTheSameShape) {
    auto* body = new ArrayBody();
    body->dims = 2;
    body->sizes[0] = 2;
    body->sizes[1] = 3;
    for (int i = 0; i < 6; ++i) body->elements.push_back(Variant::int32(i));
    const Variant array = Variant::container(VarKind::Array, body);
    VARIANT v;
    VariantInit(&v);
    toVariant(array, v);
    ASSERT_EQ(v.vt, VT_ARRAY | VT_VARIANT);
    ASSERT_EQ(SafeArrayGetDim(v.parray), 2u);
    LONG index[2] = {1, 0};
    VARIANT element;
    VariantInit(&element);
    ASSERT_EQ(SafeArrayGetElement(v.parray, index, &element), S_OK);
    EXPECT_EQ(element.lVal, 3); // row 1, column 0 of the row-major script array
    Variant back;
    ASSERT_TRUE(fromVariant(v, back));
    const ArrayBody* returned = arrayBody(back);
    ASSERT_TRUE(returned);
    EXPECT_EQ(returned->dims, 2);
    EXPECT_EQ(returned->elements[5].int32Value(), 5);
    VariantClear(&v);
}

TEST(InterfaceDescription, MethodsTypesAndConventions) {
    std::vector<DescribedMethod> methods;
    ASSERT_TRUE(parseInterfaceDescription(L"Count hresult(int*); Name bstr:cdecl(); Move none(double; HWND ; ptr^)", methods));
    ASSERT_EQ(methods.size(), 3u);
    EXPECT_EQ(methods[0].name, L"Count");
    EXPECT_EQ(methods[0].returnType, VT_I4);
    ASSERT_EQ(methods[0].parameters.size(), 1u);
    EXPECT_EQ(methods[0].parameters[0], VT_I4 | VT_BYREF);
    EXPECT_TRUE(methods[1].isCdecl);
    EXPECT_EQ(methods[1].returnType, VT_BSTR);
    EXPECT_TRUE(methods[1].parameters.empty());
    EXPECT_EQ(methods[2].returnType, VT_EMPTY);
    EXPECT_EQ(methods[2].parameters, (std::vector<VARTYPE>{VT_R8, VT_UI8, VT_UI8 | VT_BYREF}));
}

TEST(InterfaceDescription, MalformedOnesFail) {
    for (const wchar_t* text : {L"Count(int)", L"Count hresult(int", L"Count nosuchtype()", L"Count hresult(int) extra",
                                L"Count hresult(none)"}) {
        std::vector<DescribedMethod> methods;
        EXPECT_FALSE(parseInterfaceDescription(text, methods)) << text;
    }
}

} // namespace
} // namespace vexil
