#include "interop/com_interface_description.h"

#include "base/ascii_case.h"

namespace vexil {

namespace {

struct TypeName {
    std::wstring_view name; // lower case
    VARTYPE type;
};

constexpr TypeName kTypes[] = {
    {L"none", VT_EMPTY},     {L"byte", VT_UI1},       {L"boolean", VT_BOOL},   {L"bool", VT_BOOL},
    {L"short", VT_I2},       {L"ushort", VT_UI2},     {L"word", VT_UI2},       {L"dword", VT_UI4},
    {L"ulong", VT_UI4},      {L"uint", VT_UI4},       {L"long", VT_I4},        {L"int", VT_I4},
    {L"variant", VT_VARIANT}, {L"int64", VT_I8},      {L"uint64", VT_UI8},     {L"float", VT_R4},
    {L"double", VT_R8},      {L"hresult", VT_I4},     {L"str", VT_LPSTR},      {L"wstr", VT_LPWSTR},
    {L"bstr", VT_BSTR},      {L"ptr", VT_UI8},        {L"handle", VT_UI8},     {L"hwnd", VT_UI8},
    {L"int_ptr", VT_I8},     {L"long_ptr", VT_I8},    {L"lresult", VT_I8},     {L"lparam", VT_I8},
    {L"uint_ptr", VT_UI8},   {L"ulong_ptr", VT_UI8},  {L"dword_ptr", VT_UI8},  {L"wparam", VT_UI8},
    {L"idispatch", VT_DISPATCH}, {L"object", VT_DISPATCH}, {L"struct", VT_RECORD}, {L"clsid", VT_CLSID},
};

std::wstring_view trimmed(std::wstring_view text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// "Name Type(Types)", the ";" inside the parentheses already kept with it.
bool parseMethod(std::wstring_view text, DescribedMethod& method) {
    const size_t open = text.find(L'(');
    const size_t close = text.rfind(L')');
    if (open == std::wstring_view::npos || close == std::wstring_view::npos || close < open || !trimmed(text.substr(close + 1)).empty())
        return false;
    const std::wstring_view head = trimmed(text.substr(0, open));
    const size_t gap = head.find_first_of(L" \t");
    if (gap == std::wstring_view::npos) return false;
    method.name = std::wstring(head.substr(0, gap));
    std::wstring_view returned = trimmed(head.substr(gap));
    if (returned.size() > 6 && sameNameAnyCase(L":cdecl", returned.substr(returned.size() - 6))) {
        method.isCdecl = true;
        returned = trimmed(returned.substr(0, returned.size() - 6));
    }
    if (!describedType(returned, method.returnType)) return false;
    std::wstring_view parameters = text.substr(open + 1, close - open - 1);
    while (!trimmed(parameters).empty()) {
        const size_t end = parameters.find_first_of(L";,");
        VARTYPE type = VT_EMPTY;
        if (!describedType(trimmed(parameters.substr(0, end)), type) || type == VT_EMPTY) return false;
        method.parameters.push_back(type);
        parameters = end == std::wstring_view::npos ? std::wstring_view() : parameters.substr(end + 1);
    }
    return true;
}

} // namespace

bool describedType(std::wstring_view name, VARTYPE& type) {
    VARTYPE byReference = 0;
    if (!name.empty() && (name.back() == L'*' || name.back() == L'^')) {
        byReference = VT_BYREF;
        name = trimmed(name.substr(0, name.size() - 1));
    }
    for (const TypeName& entry : kTypes) {
        if (sameNameAnyCase(entry.name, name)) {
            type = static_cast<VARTYPE>(entry.type | byReference);
            return true;
        }
    }
    return false;
}

bool parseInterfaceDescription(std::wstring_view description, std::vector<DescribedMethod>& methods) {
    size_t start = 0;
    int depth = 0;
    for (size_t i = 0; i <= description.size(); ++i) {
        const wchar_t c = i < description.size() ? description[i] : L';';
        if (c == L'(') ++depth;
        else if (c == L')') --depth;
        if (c != L';' || depth > 0) continue;
        const std::wstring_view declaration = trimmed(description.substr(start, i - start));
        start = i + 1;
        if (declaration.empty()) continue;
        if (!parseMethod(declaration, methods.emplace_back())) return false;
    }
    return depth == 0;
}

} // namespace vexil
