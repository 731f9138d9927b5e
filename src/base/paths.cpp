#include "base/paths.h"

#include "base/text_search.h"

#include <windows.h>

namespace vexil {

std::wstring fullPathName(std::wstring_view path) {
    std::wstring in(path);
    std::wstring out(kMaxPathChars, L'\0');
    DWORD n = GetFullPathNameW(in.c_str(), static_cast<DWORD>(out.size()), out.data(), nullptr);
    if (n == 0 || n >= out.size()) return in;
    out.resize(n);
    while (out.size() > 1 && out.back() == L'\\') out.pop_back();
    return out;
}

std::wstring longPathName(const std::wstring& path) {
    std::wstring out(kMaxPathChars, L'\0');
    DWORD n = GetLongPathNameW(path.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (n == 0 || n >= out.size()) return path;
    out.resize(n);
    return out;
}

std::wstring programPath() {
    std::wstring out(kMaxPathChars, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, out.data(), static_cast<DWORD>(out.size()));
    out.resize(n < out.size() ? n : 0);
    return fullPathName(out);
}

std::wstring folderOf(std::wstring_view path) {
    size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, cut));
}

std::wstring fileNameOf(std::wstring_view path) {
    size_t cut = path.find_last_of(L"\\/");
    return std::wstring(cut == std::wstring_view::npos ? path : path.substr(cut + 1));
}

bool fileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring currentDirectory() {
    std::wstring out(kMaxPathChars, L'\0');
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(out.size()), out.data());
    out.resize(n < out.size() ? n : 0);
    return out;
}

bool samePath(std::wstring_view a, std::wstring_view b) { return textsEqual(a, b, CompareMode::Locale); }

} // namespace vexil
