#pragma once
// Names of files and folders as the file-system built-ins use them: full paths, the form handed
// to the system (long paths get the "\\?\" prefix), the parts of a name, wildcard targets, and the
// fence of a fenced run.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil {

class BuiltinContext;

// The absolute form of a name (a buffer of 32767 units); empty when it has none: an empty name,
// one holding a zero character, one too long.
std::wstring fullPathOf(std::wstring_view name);
// The form handed to the system: "\\?\" (or "\\?\UNC\") before a full path long enough to need it.
std::wstring systemPath(const std::wstring& fullPath);
bool hasWildcards(std::wstring_view name);

// The folder part with its last separator ("C:\a\" of "C:\a\b.txt"), and the part after it.
std::wstring folderPartOf(std::wstring_view path);
std::wstring namePartOf(std::wstring_view path);
// A name without its trailing separators, unless it is a root ("C:\").
std::wstring withoutTrailingSeparators(std::wstring path);

// A destination pattern applied to a source file name: the first "*" of the pattern's name takes
// the source's name (without extension), the first "*" of its extension the source's extension,
// further "*" are dropped; an empty resulting extension keeps the source's. A pattern without "*"
// is the target itself. "C:\b\*.bak" turns "notes.txt" into "C:\b\notes.bak".
std::wstring expandTarget(std::wstring_view pattern, std::wstring_view sourceName);

// The root of the volume holding a full path ("C:\", "\\server\share\"); what a move across
// volumes is told by.
std::wstring volumeRootOf(const std::wstring& fullPath);
bool sameVolume(const std::wstring& a, const std::wstring& b);

// Attributes of a full path, or INVALID_FILE_ATTRIBUTES.
uint32_t attributesOf(const std::wstring& fullPath);
bool isFolder(const std::wstring& fullPath);
bool pathExists(const std::wstring& fullPath);
// Creates a folder and the missing folders above it; true when it exists as a folder after.
bool createFolderPath(const std::wstring& fullPath);

// Full paths compared as the file system does (case-insensitively).
bool samePathName(std::wstring_view a, std::wstring_view b);
// `path` lies strictly inside `folder` (both full paths).
bool isInsideFolder(std::wstring_view path, std::wstring_view folder);

// A fenced run changes and removes only what lies strictly inside its current folder: true when
// `fullPath` may be changed.
bool mayChange(const BuiltinContext& context, const std::wstring& fullPath);

} // namespace vexil
