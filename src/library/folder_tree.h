#pragma once
// Whole folders by full paths: copying, moving on one volume, removing, measuring. Each stops at
// the first failure and returns 0 or the system error; what it had not reached stays as it was.
// Links to folders elsewhere are never walked into: a removal removes the link only.
#include <cstdint>
#include <functional>
#include <string>

namespace vexil {

// Everything inside `from` into the folder `to` (made when missing), files there replaced.
uint32_t copyFolderInto(const std::wstring& from, const std::wstring& to);
// Everything inside `from` into `to` on the same volume by renames, files there replaced; the
// emptied `from` is removed at the end.
uint32_t mergeFolderInto(const std::wstring& from, const std::wstring& to);
// A folder and everything in it, read-only files included.
uint32_t removeFolderTree(const std::wstring& folder);

struct FolderSize {
    int64_t bytes = 0;
    int64_t files = 0;
    int64_t folders = 0;
};
// Adds up what lies in a folder, and below it with `descend`. `keepGoing` is asked now and then
// and stops the walk by answering false; the result is then false.
bool measureFolder(const std::wstring& folder, bool descend, FolderSize& size, const std::function<bool()>& keepGoing);

} // namespace vexil
