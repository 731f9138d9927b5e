#pragma once
// Names from the program's own tables (structure and native call types, registry value types) are
// ASCII and match in any case: any other unit matches nothing.
#include <string_view>

namespace vexil {

// `name` as written against a table's lower-case `lower`.
inline bool sameNameAnyCase(std::wstring_view lower, std::wstring_view name) {
    if (lower.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        wchar_t c = name[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != lower[i]) return false;
    }
    return true;
}

} // namespace vexil
