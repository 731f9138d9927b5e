#include "interop/element_name_index.h"

#include <cwctype>

namespace vexil {

namespace {

// ASCII, which nearly every name is, without the C runtime's table.
wchar_t folded(wchar_t c) {
    if (c < 0x80) return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
    return static_cast<wchar_t>(std::towupper(c));
}

} // namespace

size_t ElementNameIndex::FoldedHash::operator()(std::wstring_view name) const {
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (wchar_t c : name) hash = (hash ^ static_cast<uint16_t>(folded(c))) * 1099511628211ull;
    return static_cast<size_t>(hash);
}

bool ElementNameIndex::FoldedEqual::operator()(std::wstring_view a, std::wstring_view b) const {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && folded(a[i]) != folded(b[i])) return false;
    return true;
}

} // namespace vexil
