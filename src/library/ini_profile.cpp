#include "library/ini_profile.h"

#include <windows.h>


namespace vexil {

namespace {

constexpr DWORD kFirstBuffer = 4096;
// The profile functions take a DWORD size; past this a result cannot be read whole anyway.
constexpr DWORD kLargestBuffer = 1u << 30;

// Calls `read(buffer, size)` with a growing buffer until the result leaves room: the functions
// report a cut result as size - 1 (one string) or size - 2 (a list of strings).
template <class Read>
std::wstring readWhole(DWORD cutMargin, Read read) {
    std::wstring buffer;
    for (DWORD size = kFirstBuffer;; size *= 2) {
        buffer.assign(size, L'\0');
        const DWORD n = read(buffer.data(), size);
        if (n + cutMargin < size || size >= kLargestBuffer) {
            buffer.resize(n < size ? n : size);
            return buffer;
        }
    }
}

// A list of strings, each ended by a zero.
std::vector<std::wstring> splitList(const std::wstring& list) {
    std::vector<std::wstring> items;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(L'\0', start);
        if (end == std::wstring::npos) end = list.size();
        if (end > start) items.emplace_back(list, start, end - start);
        start = end + 1;
    }
    return items;
}

bool flushed(const std::wstring& path) {
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    return true;
}

} // namespace

bool sameIniName(std::wstring_view a, std::wstring_view b) {
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool iniValue(const std::wstring& path, const std::wstring& section, const std::wstring& key, std::wstring& value) {
    value = readWhole(1, [&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer, size, path.c_str());
    });
    if (!value.empty()) return true;
    // Empty: a key written "key=" or no key at all.
    std::wstring wanted = key;
    while (!wanted.empty() && (wanted.back() == L' ' || wanted.back() == L'\t')) wanted.pop_back();
    for (const std::wstring& name : iniKeyNames(path, section))
        if (sameIniName(name, wanted)) return true;
    return false;
}

std::vector<std::wstring> iniSectionLines(const std::wstring& path, const std::wstring& section) {
    return splitList(readWhole(2, [&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileSectionW(section.c_str(), buffer, size, path.c_str());
    }));
}

std::vector<std::wstring> iniSectionNames(const std::wstring& path) {
    return splitList(readWhole(2, [&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileSectionNamesW(buffer, size, path.c_str());
    }));
}

std::vector<std::wstring> iniKeyNames(const std::wstring& path, const std::wstring& section) {
    return splitList(readWhole(2, [&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer, size, path.c_str());
    }));
}

bool iniWrite(const std::wstring& path, const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    return WritePrivateProfileStringW(section, key, value, path.c_str()) && flushed(path);
}

bool iniWriteSection(const std::wstring& path, const std::wstring& section, const std::vector<std::wstring>& lines) {
    std::wstring list;
    for (const std::wstring& line : lines) {
        list += line;
        list += L'\0';
    }
    list += L'\0';
    return WritePrivateProfileSectionW(section.c_str(), list.c_str(), path.c_str()) && flushed(path);
}

} // namespace vexil
