#include "library/file_matches.h"

#include "library/file_names.h"

#include <windows.h>

#include <algorithm>

namespace vexil {

uint32_t listMatches(const std::wstring& pattern, std::vector<FoundEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(systemPath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return GetLastError();
    do {
        std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back({std::wstring(name), data.dwFileAttributes,
                           (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    // In name order whatever the file system's own order: a run that stops part way stops at
    // the same place everywhere.
    std::sort(entries.begin(), entries.end(), [](const FoundEntry& a, const FoundEntry& b) {
        return CompareStringOrdinal(a.name.data(), static_cast<int>(a.name.size()), b.name.data(),
                                    static_cast<int>(b.name.size()), TRUE) == CSTR_LESS_THAN;
    });
    return 0;
}

uint32_t listFolder(const std::wstring& folder, std::vector<FoundEntry>& entries) {
    std::wstring pattern = withoutTrailingSeparators(folder);
    if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
    uint32_t error = listMatches(pattern + L'*', entries);
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error;
}

namespace {

void walkMatches(const std::wstring& folder, const std::wstring& namePattern, bool recurse, const MatchAction& act,
                 WalkOutcome& outcome) {
    std::vector<FoundEntry> entries;
    uint32_t error = listMatches(folder + namePattern, entries);
    if (error && error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) {
        outcome.error = error;
        return;
    }
    for (const FoundEntry& entry : entries) {
        if ((outcome.error = act(folder + entry.name, entry))) return;
        ++outcome.handled;
    }
    if (!recurse) return;
    if ((outcome.error = listFolder(folder, entries))) return;
    for (const FoundEntry& entry : entries) {
        if (!entry.isFolder() || entry.isLink()) continue;
        walkMatches(folder + entry.name + L'\\', namePattern, true, act, outcome);
        if (outcome.error) return;
    }
}

} // namespace

WalkOutcome forEachMatch(const std::wstring& folder, const std::wstring& namePattern, bool recurse, const MatchAction& act) {
    WalkOutcome outcome;
    std::wstring base = folder;
    if (base.empty() || base.back() != L'\\') base += L'\\';
    walkMatches(base, namePattern, recurse, act, outcome);
    return outcome;
}

} // namespace vexil
