// Folders: creating, copying, moving, removing and measuring them. A failure gives 0 (or -1 for
// DIRGETSIZE) with @ERROR 1 and the system's error in @EXTENDED; a move across volumes removes
// its source only once the copy is complete.
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"
#include "library/file_failure.h"
#include "library/file_names.h"
#include "library/folder_tree.h"

#include <windows.h>

namespace vexil {

namespace {

// The full path of a folder argument, trailing separators dropped; empty when it has none.
std::wstring folderArgument(BuiltinArgs args, size_t i) { return withoutTrailingSeparators(fullPathOf(textArg(args, i).view())); }

int succeedUnless(BuiltinContext& context, Variant& result, uint32_t error) {
    if (error) return failWithSystemError(context, result, Variant::int32(0), error);
    result = Variant::int32(1);
    return 0;
}

// Two names of one folder that differ in letter case: the folder takes the new spelling.
int renameCase(BuiltinContext& context, Variant& result, const std::wstring& from, const std::wstring& to) {
    if (from == to) return failWithSystemError(context, result, Variant::int32(0), ERROR_ALREADY_EXISTS);
    if (!mayChange(context, from)) return failWithSystemError(context, result, Variant::int32(0), ERROR_ACCESS_DENIED);
    return succeedUnless(context, result, MoveFileW(systemPath(from).c_str(), systemPath(to).c_str()) ? 0 : GetLastError());
}

// A folder copied or moved into itself would never end.
bool intoItself(const std::wstring& from, const std::wstring& to) { return samePathName(from, to) || isInsideFolder(to, from); }

} // namespace

int builtinDirCreate(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring path = folderArgument(args, 0);
    if (path.empty()) return failWithSystemError(context, result, Variant::int32(0), ERROR_INVALID_NAME);
    if (pathExists(path)) return succeedUnless(context, result, isFolder(path) ? 0 : ERROR_ALREADY_EXISTS);
    if (!mayChange(context, path)) return failWithSystemError(context, result, Variant::int32(0), ERROR_ACCESS_DENIED);
    return succeedUnless(context, result, createFolderPath(path) ? 0 : GetLastError());
}

int builtinDirCopy(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring from = folderArgument(args, 0), to = folderArgument(args, 1);
    const bool overwrite = optInt(args, 2, 0) != 0;
    if (from.empty() || to.empty()) return failWithSystemError(context, result, Variant::int32(0), ERROR_INVALID_NAME);
    if (samePathName(from, to)) {
        if (overwrite && isFolder(from)) return renameCase(context, result, from, to);
        return failWithSystemError(context, result, Variant::int32(0), ERROR_ALREADY_EXISTS);
    }
    if (!isFolder(from)) return failWithSystemError(context, result, Variant::int32(0), ERROR_PATH_NOT_FOUND);
    if (intoItself(from, to) || !mayChange(context, to))
        return failWithSystemError(context, result, Variant::int32(0), ERROR_ACCESS_DENIED);
    if (pathExists(to) && (!overwrite || !isFolder(to)))
        return failWithSystemError(context, result, Variant::int32(0), ERROR_ALREADY_EXISTS);
    if (!createFolderPath(to)) return failWithSystemError(context, result, Variant::int32(0), GetLastError());
    return succeedUnless(context, result, copyFolderInto(from, to));
}

int builtinDirMove(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring from = folderArgument(args, 0);
    std::wstring to = folderArgument(args, 1);
    const bool overwrite = optInt(args, 2, 0) != 0;
    if (from.empty() || to.empty()) return failWithSystemError(context, result, Variant::int32(0), ERROR_INVALID_NAME);
    if (!isFolder(from)) return failWithSystemError(context, result, Variant::int32(0), ERROR_PATH_NOT_FOUND);
    if (pathExists(to)) {
        if (!overwrite) return failWithSystemError(context, result, Variant::int32(0), ERROR_ALREADY_EXISTS);
        if (samePathName(from, to)) return renameCase(context, result, from, to);
        to += L'\\' + namePartOf(from); // an existing folder takes the source inside it
    }
    if (intoItself(from, to) || !mayChange(context, from) || !mayChange(context, to))
        return failWithSystemError(context, result, Variant::int32(0), ERROR_ACCESS_DENIED);
    if (!createFolderPath(withoutTrailingSeparators(folderPartOf(to))))
        return failWithSystemError(context, result, Variant::int32(0), ERROR_PATH_NOT_FOUND);
    if (!sameVolume(from, to)) {
        // Across volumes: the source goes only once the whole copy stands.
        if (uint32_t error = copyFolderInto(from, to)) return failWithSystemError(context, result, Variant::int32(0), error);
        return succeedUnless(context, result, removeFolderTree(from));
    }
    if (!pathExists(to))
        return succeedUnless(context, result, MoveFileW(systemPath(from).c_str(), systemPath(to).c_str()) ? 0 : GetLastError());
    if (!isFolder(to)) return failWithSystemError(context, result, Variant::int32(0), ERROR_ALREADY_EXISTS);
    return succeedUnless(context, result, mergeFolderInto(from, to));
}

int builtinDirRemove(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring path = folderArgument(args, 0);
    const bool recurse = optInt(args, 1, 0) != 0;
    if (path.empty() || !isFolder(path)) return failWithSystemError(context, result, Variant::int32(0), ERROR_PATH_NOT_FOUND);
    if (!mayChange(context, path)) return failWithSystemError(context, result, Variant::int32(0), ERROR_ACCESS_DENIED);
    if (recurse) return succeedUnless(context, result, removeFolderTree(path));
    return succeedUnless(context, result, RemoveDirectoryW(systemPath(path).c_str()) ? 0 : GetLastError());
}

int builtinDirGetSize(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring path = folderArgument(args, 0);
    const int32_t flags = optInt(args, 1, 0);
    if (path.empty() || !isFolder(path)) return context.fail(result, Variant::int64(-1));
    const UINT savedMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    ULONGLONG lastPoll = GetTickCount64();
    FolderSize size;
    bool complete = measureFolder(path, !(flags & 2), size, [&] {
        ULONGLONG now = GetTickCount64();
        if (now - lastPoll < 10) return true;
        lastPoll = now;
        return context.stayResponsive();
    });
    SetErrorMode(savedMode);
    if (!complete) return context.fail(result, Variant::int64(-1));
    if (!(flags & 1)) {
        result = Variant::int64(size.bytes);
        return 0;
    }
    result = arrayOf({Variant::int64(size.bytes), Variant::int64(size.files), Variant::int64(size.folders)});
    return 0;
}

} // namespace vexil
