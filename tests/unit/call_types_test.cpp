// The type names of native calls: every name of the table, the forms around them, and the texts
// that are no type; and the cache that parses each text once.
#include "interop/call_type_cache.h"
#include "interop/call_types.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexil;

namespace {

// The names of each class.
const struct {
    CallClass valueClass;
    std::vector<std::wstring> names;
} kEveryName[] = {
    {CallClass::Byte, {L"byte", L"ubyte", L"boolean"}},
    {CallClass::Short, {L"short"}},
    {CallClass::UShort, {L"ushort", L"word"}},
    {CallClass::Int, {L"int", L"bool", L"long"}},
    {CallClass::UInt, {L"uint", L"ulong", L"dword"}},
    {CallClass::Str, {L"str"}},
    {CallClass::WStr, {L"wstr"}},
    {CallClass::Pointer, {L"ptr", L"hwnd", L"handle"}},
    {CallClass::Float, {L"float"}},
    {CallClass::Double, {L"double"}},
    {CallClass::IntPtr, {L"lresult", L"lparam", L"int_ptr", L"long_ptr"}},
    {CallClass::UIntPtr, {L"wparam", L"uint_ptr", L"ulong_ptr", L"dword_ptr"}},
    {CallClass::Int64, {L"int64"}},
    {CallClass::UInt64, {L"uint64"}},
    {CallClass::IDispatch, {L"idispatch"}},
    {CallClass::Struct, {L"struct"}},
};

std::wstring upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towupper(c));
    return text;
}

// Each name, as written, upper-cased and between spaces, by value and with "*"; as a return type
// (with a convention too) every one but "struct".
void expectNameOfClass(const std::wstring& name, CallClass valueClass) {
    const std::string shown(name.begin(), name.end());
    for (const std::wstring& written : {name, upper(name), L" " + name + L" "}) {
        EXPECT_EQ(parseArgumentType(written), (CallType{valueClass, false})) << shown;
        EXPECT_EQ(parseArgumentType(written + L"*"), (CallType{valueClass, true})) << shown;
        EXPECT_EQ(parseArgumentType(written + L" *"), (CallType{valueClass, true})) << shown;
    }
    const bool returnable = valueClass != CallClass::Struct;
    EXPECT_EQ(parseReturnType(name).has_value(), returnable) << shown;
    if (!returnable) return;
    EXPECT_EQ(parseReturnType(name), (CallType{valueClass, false})) << shown;
    EXPECT_EQ(parseReturnType(upper(name) + L":cdecl"), (CallType{valueClass, false})) << shown;
}

} // namespace

TEST(CallTypes, EveryNameInAnyCaseByValueAndByReference) {
    for (const auto& row : kEveryName)
        for (const std::wstring& name : row.names) expectNameOfClass(name, row.valueClass);
}

TEST(CallTypes, ReturnTypesTakeNoneAndAConvention) {
    const struct {
        const wchar_t* text;
        bool valid;
    } rows[] = {
        {L"none", true},       {L"NONE:CDECL", true},  {L"int:stdcall", true}, {L"double : WinApi", true},
        {L"int:fastcall", false}, {L"int:", false},    {L":cdecl", false},     {L"int:cdecl:cdecl", false},
        {L"int*", false},      {L"struct", false},     {L"", false},           {L"none*", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseReturnType(row.text).has_value(), row.valid) << std::string(row.text, row.text + wcslen(row.text));
}

TEST(CallTypes, TextsThatAreNoArgumentType) {
    for (const wchar_t* text : {L"", L" ", L"*", L"none", L"int**", L"integer", L"in t", L"int:cdecl", L"int;int",
                                L"int32", L"char", L"wchar", L"*int", L"ptr\u00a0"})
        EXPECT_FALSE(parseArgumentType(text).has_value()) << std::string(text, text + wcslen(text));
}

TEST(CallTypeCache, SameAnswersAsTheParserAndBounded) {
    CallTypeCache cache;
    for (const wchar_t* text : {L"int", L"INT*", L"nonsense", L"double:cdecl", L"none"}) {
        for (int pass = 0; pass < 2; ++pass) {
            EXPECT_EQ(cache.argumentType(text), parseArgumentType(text));
            EXPECT_EQ(cache.returnType(text), parseReturnType(text));
        }
    }
    // A script making ever new texts never grows the cache past its bound.
    for (size_t i = 0; i < 3 * CallTypeCache::kMostEntries; ++i) {
        const std::wstring text = L"no type " + std::to_wstring(i);
        EXPECT_FALSE(cache.argumentType(text).has_value());
        EXPECT_FALSE(cache.returnType(text).has_value());
    }
    EXPECT_LE(cache.size(), 2 * CallTypeCache::kMostEntries);
    EXPECT_EQ(cache.argumentType(L"wstr*"), (CallType{CallClass::WStr, true}));
}
