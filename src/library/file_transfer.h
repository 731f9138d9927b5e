#pragma once
// Copying and moving one file by full paths, such that nothing is lost on the way: an existing
// target is replaced only by a complete copy, and a source leaves its place only once it is
// safely at the target. Each returns 0 or the system error.
#include <cstdint>
#include <string>

namespace vexil {

// Copies `source` to `target`. An existing target is an error without `replace`; with it the
// copy is made beside the target under a temporary name and renamed over it, so a copy that
// fails leaves the old target as it was.
uint32_t copyFileTo(const std::wstring& source, const std::wstring& target, bool replace);

// Moves `source` to `target`: a rename on one volume (replacing an existing target with
// `replace`), across volumes a copy as above and then the removal of the source.
uint32_t moveFileTo(const std::wstring& source, const std::wstring& target, bool replace);

// Removes a file, read-only or not.
uint32_t removeFile(const std::wstring& path);

// A fresh name beside `target` for a file being made.
std::wstring scratchNameBeside(const std::wstring& target);
// Renames the finished `made` over `target`.
uint32_t putInPlace(const std::wstring& made, const std::wstring& target);

// Makes a new file with `make(name)` beside `target` and renames it over `target` once it is
// complete: how an existing file is replaced without being lost when making the new one fails.
template <typename Make>
uint32_t makeThenReplace(const std::wstring& target, Make make) {
    std::wstring scratch = scratchNameBeside(target);
    uint32_t error = make(scratch);
    if (error == 0) error = putInPlace(scratch, target);
    if (error != 0) removeFile(scratch);
    return error;
}

} // namespace vexil
