#include "interop/call_types.h"

#include "base/ascii_case.h"

namespace vexil {

namespace {

struct TypeName {
    std::wstring_view name;
    CallClass valueClass;
};

constexpr TypeName kTypeNames[] = {
    {L"byte", CallClass::Byte},         {L"ubyte", CallClass::Byte},         {L"boolean", CallClass::Byte},
    {L"short", CallClass::Short},       {L"ushort", CallClass::UShort},      {L"word", CallClass::UShort},
    {L"int", CallClass::Int},           {L"bool", CallClass::Int},           {L"long", CallClass::Int},
    {L"uint", CallClass::UInt},         {L"ulong", CallClass::UInt},         {L"dword", CallClass::UInt},
    {L"str", CallClass::Str},           {L"wstr", CallClass::WStr},          {L"ptr", CallClass::Pointer},
    {L"hwnd", CallClass::Pointer},      {L"handle", CallClass::Pointer},     {L"float", CallClass::Float},
    {L"double", CallClass::Double},     {L"lresult", CallClass::IntPtr},     {L"lparam", CallClass::IntPtr},
    {L"int_ptr", CallClass::IntPtr},    {L"long_ptr", CallClass::IntPtr},    {L"wparam", CallClass::UIntPtr},
    {L"uint_ptr", CallClass::UIntPtr},  {L"ulong_ptr", CallClass::UIntPtr},  {L"dword_ptr", CallClass::UIntPtr},
    {L"int64", CallClass::Int64},       {L"uint64", CallClass::UInt64},      {L"idispatch", CallClass::IDispatch},
    {L"struct", CallClass::Struct},
};

constexpr std::wstring_view kConventions[] = {L"cdecl", L"stdcall", L"winapi"};

std::wstring_view trimmed(std::wstring_view text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::optional<CallClass> classOfName(std::wstring_view name) {
    for (const TypeName& entry : kTypeNames)
        if (sameNameAnyCase(entry.name, name)) return entry.valueClass;
    return std::nullopt;
}

} // namespace

std::optional<CallType> parseArgumentType(std::wstring_view text) {
    text = trimmed(text);
    CallType type;
    if (!text.empty() && text.back() == L'*') {
        type.byReference = true;
        text = trimmed(text.substr(0, text.size() - 1));
    }
    const std::optional<CallClass> valueClass = classOfName(text);
    if (!valueClass) return std::nullopt;
    type.valueClass = *valueClass;
    return type;
}

std::optional<CallType> parseReturnType(std::wstring_view text) {
    const size_t colon = text.find(L':');
    if (colon != std::wstring_view::npos) {
        const std::wstring_view convention = trimmed(text.substr(colon + 1));
        bool known = false;
        for (std::wstring_view name : kConventions) known = known || sameNameAnyCase(name, convention);
        if (!known) return std::nullopt;
        text = text.substr(0, colon);
    }
    text = trimmed(text);
    if (sameNameAnyCase(L"none", text)) return CallType{};
    const std::optional<CallClass> valueClass = classOfName(text);
    if (!valueClass || *valueClass == CallClass::Struct) return std::nullopt;
    return CallType{*valueClass, false};
}

} // namespace vexil
