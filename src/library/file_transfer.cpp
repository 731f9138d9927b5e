#include "library/file_transfer.h"

#include "library/file_names.h"

#include <windows.h>

namespace vexil {

namespace {

uint32_t lastErrorUnless(BOOL ok) { return ok ? 0 : GetLastError(); }

// A read-only target is never replaced (some file systems would let a rename replace it).
bool isReadOnly(const std::wstring& path) {
    uint32_t attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

uint32_t plainCopy(const std::wstring& source, const std::wstring& target) {
    return lastErrorUnless(CopyFileExW(systemPath(source).c_str(), systemPath(target).c_str(), nullptr, nullptr,
                                       nullptr, COPY_FILE_FAIL_IF_EXISTS | COPY_FILE_ALLOW_DECRYPTED_DESTINATION));
}

} // namespace

std::wstring scratchNameBeside(const std::wstring& target) {
    static uint32_t counter = 0;
    return folderPartOf(target) + L"~vexil" + std::to_wstring(GetCurrentProcessId()) + L'-' +
           std::to_wstring(GetTickCount()) + L'-' + std::to_wstring(++counter) + L".tmp";
}

uint32_t putInPlace(const std::wstring& made, const std::wstring& target) {
    return lastErrorUnless(MoveFileExW(systemPath(made).c_str(), systemPath(target).c_str(), MOVEFILE_REPLACE_EXISTING));
}

uint32_t removeFile(const std::wstring& path) {
    std::wstring name = systemPath(path);
    if (DeleteFileW(name.c_str())) return 0;
    uint32_t error = GetLastError();
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return error;
    SetFileAttributesW(name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileW(name.c_str())) return 0;
    error = GetLastError();
    SetFileAttributesW(name.c_str(), attributes);
    return error;
}

uint32_t copyFileTo(const std::wstring& source, const std::wstring& target, bool replace) {
    // Tried as a new file first: most targets are, and an existing one is left untouched.
    uint32_t error = plainCopy(source, target);
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
    if (!replace) return ERROR_FILE_EXISTS;
    if (isFolder(target) || isReadOnly(target)) return ERROR_ACCESS_DENIED;
    return makeThenReplace(target, [&](const std::wstring& scratch) { return plainCopy(source, scratch); });
}

uint32_t moveFileTo(const std::wstring& source, const std::wstring& target, bool replace) {
    const bool targetExists = pathExists(target) && !samePathName(source, target);
    if (targetExists && !replace) return ERROR_FILE_EXISTS;
    if (targetExists && isReadOnly(target)) return ERROR_ACCESS_DENIED;
    if (sameVolume(source, target))
        return lastErrorUnless(MoveFileExW(systemPath(source).c_str(), systemPath(target).c_str(),
                                           targetExists ? MOVEFILE_REPLACE_EXISTING : 0));
    if (uint32_t error = copyFileTo(source, target, replace)) return error;
    return removeFile(source);
}

} // namespace vexil
