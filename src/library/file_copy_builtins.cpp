// Copying, moving and deleting files by wildcard pattern. The matches are read in full first, so
// files made by the operation never join it; the first file that fails ends the run, reported in
// @ERROR and @EXTENDED, and the files after it stay untouched.
#include "engine/builtins/builtin_api.h"
#include "library/file_copy.h"
#include "library/file_failure.h"
#include "library/file_matches.h"
#include "library/file_names.h"
#include "library/file_transfer.h"

#include <windows.h>

namespace vexil {

namespace {

constexpr int32_t kOverwrite = 1;
constexpr int32_t kCreatePath = 8;

// A pattern naming a folder stands for everything in it.
std::wstring patternOf(std::wstring path) {
    if (!isFolder(path)) return path;
    path = withoutTrailingSeparators(path);
    if (path.back() != L'\\') path += L'\\';
    return path + L"*.*";
}

int transferBuiltin(BuiltinContext& context, BuiltinArgs args, Variant& result, FileTransfer how) {
    const int32_t flags = optInt(args, 2, 0);
    result = Variant::int32(0);
    std::wstring destination = fullPathOf(textArg(args, 1).view());
    if (destination.empty()) return failWithSystemError(context, result, Variant::int32(0), ERROR_INVALID_NAME);
    if (flags & kCreatePath) {
        std::wstring folder = withoutTrailingSeparators(folderPartOf(destination));
        if (!folder.empty() && !pathExists(folder) && (!mayChange(context, folder) || !createFolderPath(folder)))
            return failWithSystemError(context, result, Variant::int32(0), ERROR_PATH_NOT_FOUND);
    }
    TransferOutcome outcome = transferMatches(context, textArg(args, 0).view(), destination, how, flags & kOverwrite);
    if (outcome.error) return failWithSystemError(context, result, Variant::int32(0), outcome.error);
    result = Variant::int32(outcome.handled > 0 ? 1 : 0);
    return 0;
}

} // namespace

TransferOutcome transferMatches(const BuiltinContext& context, std::wstring_view sourceText,
                                const std::wstring& destination, FileTransfer how, bool replace) {
    TransferOutcome outcome;
    std::wstring source = fullPathOf(sourceText);
    if (source.empty()) {
        outcome.error = ERROR_INVALID_NAME;
        return outcome;
    }
    source = patternOf(source);
    const std::wstring target = patternOf(destination);
    std::vector<FoundEntry> matches;
    if (uint32_t error = listMatches(source, matches)) {
        if (!nothingMatched(error)) outcome.error = error;
        return outcome;
    }
    const std::wstring folder = folderPartOf(source);
    for (const FoundEntry& match : matches) {
        if (match.isFolder()) continue;
        const std::wstring from = folder + match.name, to = expandTarget(target, match.name);
        if (!mayChange(context, to) || (how == FileTransfer::Move && !mayChange(context, from))) {
            outcome.error = ERROR_ACCESS_DENIED;
        } else if (how == FileTransfer::Copy) {
            // A copy onto itself would be a copy of nothing: refused, the file kept as it is.
            outcome.error = samePathName(from, to) ? ERROR_SHARING_VIOLATION : copyFileTo(from, to, replace);
        } else if (from != to) {
            outcome.error = moveFileTo(from, to, replace);
        }
        if (outcome.error) return outcome;
        ++outcome.handled;
    }
    return outcome;
}

int builtinFileCopy(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return transferBuiltin(context, args, result, FileTransfer::Copy);
}

int builtinFileMove(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return transferBuiltin(context, args, result, FileTransfer::Move);
}

int builtinFileDelete(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(0);
    std::wstring pattern = fullPathOf(textArg(args, 0).view());
    if (pattern.empty()) return failWithSystemError(context, result, Variant::int32(0), ERROR_INVALID_NAME);
    pattern = patternOf(pattern);
    std::vector<FoundEntry> matches;
    if (uint32_t error = listMatches(pattern, matches))
        return nothingMatched(error) ? 0 : failWithSystemError(context, result, Variant::int32(0), error);
    const std::wstring folder = folderPartOf(pattern);
    int handled = 0;
    for (const FoundEntry& match : matches) {
        if (match.isFolder()) continue;
        const std::wstring path = folder + match.name;
        // A read-only file is kept: deleting it takes clearing its attribute first.
        if (!mayChange(context, path))
            return failWithSystemError(context, result, Variant::int32(0), ERROR_ACCESS_DENIED);
        if (!DeleteFileW(systemPath(path).c_str()))
            return failWithSystemError(context, result, Variant::int32(0), GetLastError());
        ++handled;
    }
    result = Variant::int32(handled > 0 ? 1 : 0);
    return 0;
}

} // namespace vexil
