// Attributes and times of files, read from one path or changed on every match of a pattern (and
// below it with recursion). A change that fails ends the run with @ERROR 1 and the system's error
// in @EXTENDED; the matches not reached keep what they had.
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"
#include "library/file_attributes.h"
#include "library/file_failure.h"
#include "library/file_matches.h"
#include "library/file_names.h"
#include "library/file_times.h"

#include <windows.h>

#include <cwchar>

namespace vexil {

namespace {

// Runs `act` over the matches of the pattern argument; the result is 1 when something matched and
// nothing failed.
int changeMatches(BuiltinContext& context, BuiltinArgs args, Variant& result, bool recurse, const MatchAction& act) {
    result = Variant::int32(0);
    const std::wstring pattern = fullPathOf(textArg(args, 0).view());
    if (pattern.empty()) return failWithSystemError(context, result, Variant::int32(0), ERROR_INVALID_NAME);
    WalkOutcome outcome = forEachMatch(folderPartOf(pattern), namePartOf(pattern), recurse,
                                       [&](const std::wstring& path, const FoundEntry& entry) -> uint32_t {
                                           if (!mayChange(context, path)) return ERROR_ACCESS_DENIED;
                                           return act(path, entry);
                                       });
    if (outcome.error) return failWithSystemError(context, result, Variant::int32(0), outcome.error);
    result = Variant::int32(outcome.handled > 0 ? 1 : 0);
    return 0;
}

// Which time: 0 modified, 1 created, 2 accessed; anything else counts as modified.
int timeKind(BuiltinArgs args, size_t i) {
    int which = optInt(args, i, 0);
    return which == 1 || which == 2 ? which : 0;
}

std::wstring twoDigits(int n) {
    wchar_t text[8];
    swprintf(text, 8, L"%02d", n);
    return text;
}

} // namespace

int builtinFileGetAttrib(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    uint32_t attributes = attributesOf(fullPathOf(textArg(args, 0).view()));
    if (attributes == INVALID_FILE_ATTRIBUTES) return context.fail(result, textValue(L""));
    result = textValue(attributeLetters(attributes));
    return 0;
}

int builtinFileSetAttrib(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    AttributeChange change;
    if (!parseAttributeChange(textArg(args, 1).view(), change))
        return failWithSystemError(context, result, Variant::int32(0), ERROR_INVALID_PARAMETER);
    return changeMatches(context, args, result, optInt(args, 2, 0) == 1,
                         [&](const std::wstring& path, const FoundEntry& entry) -> uint32_t {
                             return SetFileAttributesW(systemPath(path).c_str(), change.applyTo(entry.attributes)) ? 0 : GetLastError();
                         });
}

int builtinFileGetTime(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring path = fullPathOf(textArg(args, 0).view());
    WIN32_FILE_ATTRIBUTE_DATA data;
    SYSTEMTIME local;
    const int which = timeKind(args, 1);
    const FILETIME& time = which == 1 ? data.ftCreationTime : which == 2 ? data.ftLastAccessTime : data.ftLastWriteTime;
    if (path.empty() || !GetFileAttributesExW(systemPath(path).c_str(), GetFileExInfoStandard, &data) ||
        !toLocalTime(time, local))
        return context.fail(result, textValue(L""));
    wchar_t year[8];
    swprintf(year, 8, L"%4d", local.wYear);
    const std::wstring parts[] = {year, twoDigits(local.wMonth), twoDigits(local.wDay), twoDigits(local.wHour),
                                  twoDigits(local.wMinute), twoDigits(local.wSecond)};
    if (optInt(args, 2, 0) == 1) {
        std::wstring joined;
        for (const std::wstring& part : parts) joined += part;
        result = textValue(joined);
        return 0;
    }
    std::vector<Variant> items;
    for (const std::wstring& part : parts) items.push_back(textValue(part));
    result = arrayOf(std::move(items));
    return 0;
}

int builtinFileSetTime(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    SYSTEMTIME local;
    FILETIME time;
    if (!parseLocalTime(textArg(args, 1).view(), local) || !fromLocalTime(local, time))
        return failWithSystemError(context, result, Variant::int32(0), ERROR_INVALID_PARAMETER);
    const int which = timeKind(args, 2);
    return changeMatches(context, args, result, optInt(args, 3, 0) == 1,
                         [&](const std::wstring& path, const FoundEntry&) -> uint32_t {
                             HANDLE file = CreateFileW(systemPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
                             if (file == INVALID_HANDLE_VALUE) return GetLastError();
                             BOOL ok = SetFileTime(file, which == 1 ? &time : nullptr, which == 2 ? &time : nullptr,
                                                   which == 0 ? &time : nullptr);
                             uint32_t error = ok ? 0 : GetLastError();
                             CloseHandle(file);
                             return error;
                         });
}

} // namespace vexil
