#include "library/drive_names.h"

#include "library/file_names.h"

namespace vexil {

std::wstring driveRootOf(std::wstring_view path) {
    if (path.size() == 2 && path[1] == L':') return std::wstring(path) + L'\\';
    std::wstring full = fullPathOf(path);
    if (full.empty()) return {};
    std::wstring root = volumeRootOf(full);
    if (!root.empty() && root.back() != L'\\') root += L'\\';
    return root;
}

} // namespace vexil
