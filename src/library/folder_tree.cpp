#include "library/folder_tree.h"

#include "library/file_matches.h"
#include "library/file_names.h"
#include "library/file_transfer.h"

#include <windows.h>

#include <vector>

namespace vexil {

namespace {

std::wstring below(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

uint32_t makeFolder(const std::wstring& path) {
    if (isFolder(path)) return 0;
    return CreateDirectoryW(systemPath(path).c_str(), nullptr) ? 0 : GetLastError();
}

uint32_t removeEmptyFolder(const std::wstring& path) {
    std::wstring name = systemPath(path);
    if (RemoveDirectoryW(name.c_str())) return 0;
    uint32_t error = GetLastError();
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (RemoveDirectoryW(name.c_str())) return 0;
        error = GetLastError();
        SetFileAttributesW(name.c_str(), attributes);
    }
    return error;
}

// The start of every walk from one folder into another: `to` made, what `from` holds read.
uint32_t startWalkInto(const std::wstring& from, const std::wstring& to, std::vector<FoundEntry>& entries) {
    if (uint32_t error = makeFolder(to)) return error;
    return listFolder(from, entries);
}

} // namespace

uint32_t copyFolderInto(const std::wstring& from, const std::wstring& to) {
    std::vector<FoundEntry> entries;
    if (uint32_t error = startWalkInto(from, to, entries)) return error;
    for (const FoundEntry& entry : entries) {
        const std::wstring source = below(from, entry.name), target = below(to, entry.name);
        uint32_t error = !entry.isFolder() ? copyFileTo(source, target, true)
                         : entry.isLink()  ? makeFolder(target)
                                           : copyFolderInto(source, target);
        if (error) return error;
    }
    return 0;
}

uint32_t mergeFolderInto(const std::wstring& from, const std::wstring& to) {
    std::vector<FoundEntry> entries;
    if (uint32_t error = startWalkInto(from, to, entries)) return error;
    for (const FoundEntry& entry : entries) {
        const std::wstring source = below(from, entry.name), target = below(to, entry.name);
        uint32_t error = entry.isFolder() && isFolder(target) && !entry.isLink() ? mergeFolderInto(source, target)
                                                                                 : moveFileTo(source, target, true);
        if (error) return error;
    }
    return removeEmptyFolder(from);
}

uint32_t removeFolderTree(const std::wstring& folder) {
    std::vector<FoundEntry> entries;
    if (uint32_t error = listFolder(folder, entries)) return error;
    for (const FoundEntry& entry : entries) {
        const std::wstring path = below(folder, entry.name);
        uint32_t error = !entry.isFolder() ? removeFile(path)
                         : entry.isLink()  ? removeEmptyFolder(path)
                                           : removeFolderTree(path);
        if (error) return error;
    }
    return removeEmptyFolder(folder);
}

bool measureFolder(const std::wstring& folder, bool descend, FolderSize& size, const std::function<bool()>& keepGoing) {
    std::wstring pattern = below(folder, L"*");
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(systemPath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return true; // a folder that cannot be read adds nothing
    bool going = true;
    uint32_t sinceAsked = 0;
    do {
        std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (++sinceAsked == 256) {
            sinceAsked = 0;
            if (!keepGoing()) going = false;
        }
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            size.bytes += static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
            ++size.files;
            continue;
        }
        ++size.folders;
        if (descend && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            going = measureFolder(below(folder, std::wstring(name)), true, size, keepGoing) && going;
    } while (going && FindNextFileW(find, &data));
    FindClose(find);
    return going;
}

} // namespace vexil
