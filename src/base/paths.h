#pragma once
// Path helpers shared by start-up, the loader and the file built-ins.
#include <string>
#include <string_view>

namespace vexil {

constexpr size_t kMaxPathChars = 32767;

// Absolute form (GetFullPathNameW) without trailing backslashes; the input when that fails.
std::wstring fullPathName(std::wstring_view path);
// Long form of an existing path; the input when that fails.
std::wstring longPathName(const std::wstring& path);
// The full path of this program's file.
std::wstring programPath();
// The part before the last backslash (or slash); empty when there is none.
std::wstring folderOf(std::wstring_view path);
// The part after the last backslash (or slash).
std::wstring fileNameOf(std::wstring_view path);
bool fileExists(const std::wstring& path); // an existing file, not a folder
std::wstring currentDirectory();
// Case-insensitive in the user's locale, as file names compare.
bool samePath(std::wstring_view a, std::wstring_view b);

} // namespace vexil
