#pragma once
// What a search pattern matches, read in full before anything acts on it, so that files an
// operation makes in the same folder never join its own run.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vexil {

struct FoundEntry {
    std::wstring name;
    uint32_t attributes = 0;
    uint64_t size = 0;
    bool isFolder() const { return attributes & 0x10; }
    // A link to a folder elsewhere: removed or counted, never walked into.
    bool isLink() const { return attributes & 0x400; }
};

// The entries a pattern (a full path, wildcards in its last part) matches, "." and ".." left
// out, in name order. Returns 0, or the system error of a search that could not start (ERROR_FILE_NOT_FOUND
// and the like when nothing matched).
uint32_t listMatches(const std::wstring& pattern, std::vector<FoundEntry>& entries);

// The entries of a folder ("\*" below it).
uint32_t listFolder(const std::wstring& folder, std::vector<FoundEntry>& entries);

// Calls `act` on every entry `namePattern` matches in `folder` and, with `recurse`, in every
// folder below it; ends at the first error `act` returns, or at a folder that cannot be read.
struct WalkOutcome {
    int handled = 0;
    uint32_t error = 0;
};
using MatchAction = std::function<uint32_t(const std::wstring& path, const FoundEntry& entry)>;
WalkOutcome forEachMatch(const std::wstring& folder, const std::wstring& namePattern, bool recurse, const MatchAction& act);

} // namespace vexil
