#include "interop/struct_element_types.h"

#include "base/ascii_case.h"

#include <iterator>

namespace vexil {

namespace {

using enum DllElementKind;
using enum StructWord;

constexpr StructElementType kTypes[] = {
    {L"align", Align, 0, Unsigned},
    {L"struct", Open, 0, Unsigned},
    {L"endstruct", Close, 0, Unsigned},
    {L"byte", Data, 1, Unsigned},
    {L"ubyte", Data, 1, Unsigned},
    {L"boolean", Data, 1, Unsigned},
    {L"char", Data, 1, AnsiChar},
    {L"wchar", Data, 2, WideChar},
    {L"short", Data, 2, Signed},
    {L"ushort", Data, 2, Unsigned},
    {L"dword", Data, 4, Unsigned},
    {L"word", Data, 2, Unsigned},
    {L"long", Data, 4, Signed},
    {L"ulong", Data, 4, Unsigned},
    {L"int", Data, 4, Signed},
    {L"bool", Data, 4, Signed},
    {L"uint", Data, 4, Unsigned},
    {L"int64", Data, 8, Signed},
    {L"uint64", Data, 8, Unsigned},
    {L"ptr", Data, 8, Pointer},
    {L"hwnd", Data, 8, Pointer},
    {L"handle", Data, 8, Pointer},
    {L"float", Data, 4, Float},
    {L"double", Data, 8, Float},
    {L"int_ptr", Data, 8, Signed},
    {L"uint_ptr", Data, 8, Unsigned},
    {L"long_ptr", Data, 8, Signed},
    {L"ulong_ptr", Data, 8, Unsigned},
    {L"dword_ptr", Data, 8, Unsigned},
    {L"lresult", Data, 8, Signed},
    {L"lparam", Data, 8, Signed},
    {L"wparam", Data, 8, Unsigned},
};
static_assert(std::size(kTypes) == 32);

} // namespace

const StructElementType* findStructElementType(std::wstring_view name) {
    for (const StructElementType& type : kTypes)
        if (sameNameAnyCase(type.name, name)) return &type;
    return nullptr;
}

} // namespace vexil
