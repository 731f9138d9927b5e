#include "library/file_names.h"

#include "base/paths.h"
#include "engine/builtins/builtin_api.h"

#include <windows.h>

namespace vexil {

namespace {

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The first "*" of a pattern part takes `fill`, later ones go, other characters stay.
std::wstring fillPattern(std::wstring_view pattern, std::wstring_view fill) {
    std::wstring out;
    bool filled = false;
    for (wchar_t c : pattern) {
        if (c != L'*') {
            out += c;
        } else if (!filled) {
            out += fill;
            filled = true;
        }
    }
    return out;
}

// "notes.txt" → "notes" and "txt"; a name without a dot has no extension.
void splitExtension(std::wstring_view name, std::wstring_view& base, std::wstring_view& extension) {
    size_t dot = name.find_last_of(L'.');
    base = dot == std::wstring_view::npos ? name : name.substr(0, dot);
    extension = dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot + 1);
}

bool isRoot(std::wstring_view path) {
    return (path.size() == 3 && path[1] == L':' && isSeparator(path[2])) || path == L"\\";
}

} // namespace

std::wstring fullPathOf(std::wstring_view name) {
    if (name.empty() || name.find(L'\0') != std::wstring_view::npos || name.size() >= kMaxPathChars) return {};
    std::wstring in(name);
    std::wstring out(kMaxPathChars, L'\0');
    DWORD n = GetFullPathNameW(in.c_str(), static_cast<DWORD>(out.size()), out.data(), nullptr);
    if (n == 0 || n >= out.size()) return {};
    out.resize(n);
    return out;
}

std::wstring systemPath(const std::wstring& fullPath) {
    // Below this every call takes the plain form (CreateDirectoryW's own limit is 248).
    constexpr size_t kPlainLimit = 240;
    if (fullPath.size() < kPlainLimit || fullPath.starts_with(L"\\\\?\\") || fullPath.starts_with(L"\\\\.\\"))
        return fullPath;
    if (fullPath.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + fullPath.substr(2);
    if (fullPath.size() >= 3 && fullPath[1] == L':' && fullPath[2] == L'\\') return L"\\\\?\\" + fullPath;
    return fullPath;
}

bool hasWildcards(std::wstring_view name) { return name.find_first_of(L"*?") != std::wstring_view::npos; }

std::wstring folderPartOf(std::wstring_view path) {
    size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring_view::npos) cut = path.size() >= 2 && path[1] == L':' ? 1 : std::wstring_view::npos;
    return cut == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, cut + 1));
}

std::wstring namePartOf(std::wstring_view path) { return std::wstring(path.substr(folderPartOf(path).size())); }

std::wstring withoutTrailingSeparators(std::wstring path) {
    while (path.size() > 1 && isSeparator(path.back()) && !isRoot(path)) path.pop_back();
    return path;
}

std::wstring expandTarget(std::wstring_view pattern, std::wstring_view sourceName) {
    if (pattern.find(L'*') == std::wstring_view::npos) return std::wstring(pattern);
    std::wstring out = folderPartOf(pattern);
    std::wstring_view patternName, patternExtension, sourceBase, sourceExtension;
    splitExtension(pattern.substr(out.size()), patternName, patternExtension);
    splitExtension(sourceName, sourceBase, sourceExtension);
    out += fillPattern(patternName, sourceBase);
    std::wstring extension = fillPattern(patternExtension, sourceExtension);
    if (extension.empty()) extension = sourceExtension;
    if (!extension.empty()) out += L'.' + extension;
    return out;
}

std::wstring volumeRootOf(const std::wstring& fullPath) {
    std::wstring root(kMaxPathChars, L'\0');
    if (GetVolumePathNameW(systemPath(fullPath).c_str(), root.data(), static_cast<DWORD>(root.size()))) {
        root.resize(wcslen(root.c_str()));
        if (root.starts_with(L"\\\\?\\") && root.size() > 5 && root[5] == L':') root.erase(0, 4);
        return root;
    }
    // The drive, or the server and share of a network name.
    if (fullPath.size() >= 2 && fullPath[1] == L':') return fullPath.substr(0, 2) + L'\\';
    size_t share = fullPath.starts_with(L"\\\\") ? fullPath.find(L'\\', 2) : std::wstring::npos;
    size_t end = share == std::wstring::npos ? std::wstring::npos : fullPath.find(L'\\', share + 1);
    return end == std::wstring::npos ? fullPath : fullPath.substr(0, end + 1);
}

bool sameVolume(const std::wstring& a, const std::wstring& b) { return samePathName(volumeRootOf(a), volumeRootOf(b)); }

uint32_t attributesOf(const std::wstring& fullPath) {
    return fullPath.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(systemPath(fullPath).c_str());
}

bool isFolder(const std::wstring& fullPath) {
    uint32_t attributes = attributesOf(fullPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool pathExists(const std::wstring& fullPath) { return attributesOf(fullPath) != INVALID_FILE_ATTRIBUTES; }

bool createFolderPath(const std::wstring& fullPath) {
    std::wstring path = withoutTrailingSeparators(fullPath);
    uint32_t attributes = attributesOf(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) return attributes & FILE_ATTRIBUTE_DIRECTORY;
    std::wstring parent = withoutTrailingSeparators(folderPartOf(path));
    if (parent.empty() || parent.size() >= path.size()) return false;
    if (!createFolderPath(parent)) return false;
    return CreateDirectoryW(systemPath(path).c_str(), nullptr) || isFolder(path);
}

bool samePathName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool isInsideFolder(std::wstring_view path, std::wstring_view folder) {
    std::wstring base = withoutTrailingSeparators(std::wstring(folder));
    if (base.empty()) return false;
    size_t cut = isSeparator(base.back()) ? base.size() : base.size() + 1; // a root keeps its backslash
    return path.size() > cut && samePathName(path.substr(0, base.size()), base) &&
           (cut == base.size() || isSeparator(path[base.size()]));
}

bool mayChange(const BuiltinContext& context, const std::wstring& fullPath) {
    return !context.fenced() || (!fullPath.empty() && isInsideFolder(fullPath, currentDirectory()));
}

} // namespace vexil
